#include "design_panel.h"

#include "code_combo_box.h"
#include "codec/design_inspection.h"
#include "operation/ride_operation.h"
#include "palette_swatch_button.h"
#include "report/field_row.h"
#include "report/field_text.h"
#include "report/field_warnings.h"
#include "rules/ride_rules.h"
#include "settings/setting_bytes.h"
#include "ui/settings/palette_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStyle>
#include <QVBoxLayout>
#include <limits>

namespace railwright {

using namespace Qt::StringLiterals;
using record::FieldDescription;

namespace {

constexpr std::size_t EveryByte = std::numeric_limits<std::size_t>::max();
const QString Missing = u"\u2014"_s; // a field the record is too short to hold

QString FieldKey(const FieldDescription& field)
{
    return QString::fromLatin1(field.key);
}

// A box keeps to its field's range but shows a stored value outside it as it is (with
// its warning) until the user changes it.
void ShowValue(QSpinBox* box, const FieldRow& row)
{
    const QSignalBlocker blocker(box);
    box->setEnabled(row.value.has_value());
    box->setRange(row.low, row.high);
    box->setValue(row.value.value_or(row.low));
}

} // namespace

DesignPanel::DesignPanel(TrackDesignDocument& document, const CodeTables& tables,
                         ColorPicker picker, QWidget* parent)
    : QWidget(parent), m_document(document), m_tables(tables),
      m_picker(picker ? std::move(picker) : PaletteDialogPicker(this))
{
    setObjectName(u"DesignPanel"_s);
    auto* hintText = new QLabel(u"Decode a design to see its ride, colours, operation and "
                                "statistics here."_s);
    hintText->setObjectName(u"DesignHint"_s);
    hintText->setWordWrap(true);
    hintText->setAlignment(Qt::AlignCenter);
    hintText->setMargin(12);
    auto* decode = new QPushButton(u"&Decode"_s);
    decode->setObjectName(u"DesignHintDecode"_s);
    connect(decode, &QPushButton::clicked, this, &DesignPanel::decodeRequested);
    m_decodeButton = decode;
    auto* hint = new QWidget;
    auto* hintLayout = new QVBoxLayout(hint);
    hintLayout->addStretch(1);
    hintLayout->addWidget(hintText);
    hintLayout->addWidget(decode, 0, Qt::AlignHCenter);
    hintLayout->addStretch(1);

    m_content = new QWidget;
    auto* contentLayout = new QVBoxLayout(m_content);
    contentLayout->setContentsMargins(4, 4, 4, 4);
    buildRideGroup();
    buildColourGroup();
    buildOperationGroup();
    buildStatisticsGroup();
    buildLayoutGroup();
    contentLayout->addStretch(1);

    // The groups go into the scroll area when the panel is first shown (showEvent): laying
    // them out now would only slow the start-up, as the panel starts hidden.
    m_scroll = new QScrollArea;
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    m_pages = new QStackedWidget(this);
    m_pages->addWidget(hint);
    m_pages->addWidget(m_scroll);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pages);

    connect(&m_document, &TrackDesignDocument::bytesChanged, this, &DesignPanel::refreshBytes);
    // The kind changes only with the whole contents, so this covers decode and encode.
    connect(&m_document, &TrackDesignDocument::contentsReplaced, this, &DesignPanel::showDocument);
    // Which vehicles and modes fit depends on the game too.
    connect(&m_document, &TrackDesignDocument::gameVersionChanged, this,
            [this] { refreshBytes(record::RideType, record::OperatingMode); });
    connect(&m_document, &TrackDesignDocument::kindChanged, this, &DesignPanel::followSelection);
    connect(&m_document.selection(), &ByteSelection::currentChanged, this,
            &DesignPanel::followSelection);
    showDocument();
}

DesignPanel::~DesignPanel()
{
    if (m_scroll->widget() == nullptr) {
        delete m_content;
    }
}

void DesignPanel::showEvent(QShowEvent* event)
{
    if (m_scroll->widget() == nullptr) {
        m_scroll->setWidget(m_content);
    }
    QWidget::showEvent(event);
}

QSize DesignPanel::sizeHint() const
{
    // Every colour name whole, but docked in a window no more than two fifths of it, so
    // the grid keeps most of its columns; a narrower panel elides the names.
    int width =
        m_content->sizeHint().width() + style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2;
    if (window() != this && window()->inherits("QMainWindow")) {
        width = std::min(width, window()->width() * 2 / 5);
    }
    return {std::max(width, minimumSizeHint().width()), 480};
}

QSize DesignPanel::minimumSizeHint() const
{
    return {m_content->minimumSizeHint().width() +
                style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2,
            120};
}

// --- Building ---------------------------------------------------------------------

QGridLayout* DesignPanel::addGroup(const QString& title)
{
    auto* group = new QGroupBox(title, m_content);
    group->setObjectName(u"DesignGroup_"_s + title);
    m_content->layout()->addWidget(group);
    m_grid = new QGridLayout(group);
    m_grid->setColumnStretch(1, 1);
    m_grid->setVerticalSpacing(2);
    return m_grid;
}

QLabel* DesignPanel::addCaption(QGridLayout* grid, int gridRow, const QString& text)
{
    auto* caption = new QLabel(text);
    grid->addWidget(caption, gridRow, 0);
    return caption;
}

QLabel* DesignPanel::makeWarning()
{
    // One picture for every mark: asking the style for it costs more than the label.
    if (m_warningPicture.isNull()) {
        const int size = style()->pixelMetric(QStyle::PM_SmallIconSize);
        m_warningPicture = style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(size, size);
    }
    auto* warning = new QLabel;
    warning->setPixmap(m_warningPicture);
    warning->hide();
    return warning;
}

int DesignPanel::addRow(Row row, std::initializer_list<QWidget*> targets)
{
    const int index = int(m_rows.size());
    if (row.field != nullptr) {
        const QString key = FieldKey(*row.field);
        if (row.warning != nullptr) {
            row.warning->setObjectName(u"Warning_"_s + key);
        }
        if (row.watchLast == 0) {
            row.watchFirst = row.field->offset;
            row.watchLast = row.field->end() - 1;
        }
    }
    // Hover and focus anywhere in the row's widgets point at its field.
    for (QWidget* target : targets) {
        if (target == nullptr) {
            continue;
        }
        QList<QWidget*> widgets = target->findChildren<QWidget*>();
        widgets.append(target);
        for (QWidget* widget : std::as_const(widgets)) {
            m_rowOf.insert(widget, index);
            widget->installEventFilter(this);
        }
    }
    m_rows.push_back(std::move(row));
    return index;
}

int DesignPanel::addFieldRow(const FieldDescription& field, QWidget* editor, Show show,
                             bool editorBelow)
{
    const int gridRow = m_grid->rowCount();
    QLabel* caption = addCaption(m_grid, gridRow, FieldLabel(field));
    caption->setObjectName(u"Caption_"_s + FieldKey(field));
    caption->setBuddy(editor);
    if (editorBelow) {
        editor->setContentsMargins(fontMetrics().averageCharWidth() * 2, 0, 0, 0);
        m_grid->addWidget(editor, gridRow + 1, 0, 1, 2);
    } else {
        m_grid->addWidget(editor, gridRow, 1);
    }
    QLabel* warning = makeWarning();
    m_grid->addWidget(warning, gridRow, 2);
    return addRow({&field, caption, warning, 0, 0, std::move(show)}, {caption, editor});
}

void DesignPanel::makeCodeCombo(const FieldDescription& field, const CodeTable& table)
{
    auto* combo = new CodeComboBox(table);
    combo->setObjectName(u"Design_"_s + FieldKey(field));
    // Vehicles and modes list what the game offers for the ride first, and warn about
    // the rest: they follow the ride type and the game version too.
    const bool followsRide = field.offset != record::RideType;
    const int row = addFieldRow(field, combo, [this, combo, &field, followsRide](ByteView record) {
        const std::optional<int> value = record::StoredValue(record, field);
        const QSignalBlocker blocker(combo);
        combo->setEnabled(value.has_value());
        const GameVersion version = m_document.gameVersion();
        if (followsRide && record.size() > record::RideType) {
            const std::uint8_t ride = record[record::RideType];
            const bool vehicle = field.offset == record::VehicleType;
            combo->setFitting([ride, version, vehicle](int code) {
                const auto fit = vehicle ? rules::VehicleFit(ride, std::uint8_t(code), version)
                                         : rules::ModeFit(ride, std::uint8_t(code));
                return fit == rules::Fit::Fits;
            });
        }
        combo->showCode(value);
        return DescribeField(record, field, version, locale()).warning;
    });
    if (followsRide) {
        m_rows[std::size_t(row)].watchFirst = record::RideType;
    }
    connect(combo, &CodeComboBox::codeChosen, this,
            [this, &field](int code) { m_document.setField(field, code); });
}

QSpinBox* DesignPanel::makeSpinBox(const FieldDescription& field)
{
    auto* box = new QSpinBox;
    box->setObjectName(u"Design_"_s + FieldKey(field));
    box->setRange(field.low, field.high);
    box->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    // A typed number is written once, on Enter or when the box loses the focus.
    box->setKeyboardTracking(false);
    if (field.unit == "s") {
        box->setSuffix(u" s"_s);
    }
    connect(box, &QSpinBox::valueChanged, this,
            [this, &field](int value) { m_document.setField(field, value); });
    return box;
}

QWidget* DesignPanel::makeSwatch(const FieldDescription& field, QLabel* caption)
{
    auto* swatch = new PaletteSwatchButton;
    swatch->setObjectName(u"Design_"_s + FieldKey(field));
    // The swatch shows its own warning: a mark beside each of 48 swatches would double
    // the widgets the start-up builds.
    addRow({&field, caption, nullptr, 0, 0,
            [this, swatch, &field](ByteView record) {
                const std::optional<int> value = record::StoredValue(record, field);
                swatch->setEnabled(value.has_value());
                swatch->setCode(value.value_or(0));
                swatch->setWarning(
                    DescribeField(record, field, m_document.gameVersion(), locale()).warning);
                return QString();
            }},
           {swatch});
    connect(swatch, &QAbstractButton::clicked, this, [this, &field] { pickColour(field); });
    return swatch;
}

void DesignPanel::buildRideGroup()
{
    addGroup(u"Ride"_s);
    makeCodeCombo(record::RideTypeField, m_tables.rideTypes);
    makeCodeCombo(record::VehicleTypeField, m_tables.vehicleTypes);
    makeCodeCombo(record::OperatingModeField, m_tables.operatingModes);
}

void DesignPanel::buildColourGroup()
{
    QGridLayout* grid = addGroup(u"Colours"_s);
    const FieldDescription& schemeField = record::VehicleColorSchemeField;
    auto* scheme = new QComboBox;
    scheme->setObjectName(u"Design_"_s + FieldKey(schemeField));
    scheme->addItems({u"All vehicles the same colour"_s, u"Trains have different colours"_s,
                      u"Each car has different colours"_s, u"Not used"_s});
    // Narrower than its longest item when the panel is (another size policy would build
    // the box's list at start-up).
    scheme->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    scheme->setMinimumWidth(fontMetrics().averageCharWidth() * 12);
    addFieldRow(schemeField, scheme, [scheme, &schemeField](ByteView record) {
        const std::optional<int> value = record::StoredValue(record, schemeField);
        const QSignalBlocker blocker(scheme);
        scheme->setEnabled(value.has_value());
        scheme->setCurrentIndex(value.value_or(-1));
        return QString();
    });
    connect(scheme, &QComboBox::activated, this,
            [this, &schemeField](int index) { m_document.setField(schemeField, index); });

    // Vehicle entries: body and trim side by side.
    auto* vehicles = new QGridLayout;
    vehicles->setVerticalSpacing(1);
    vehicles->setHorizontalSpacing(8);
    vehicles->setColumnStretch(1, 1);
    vehicles->setColumnStretch(2, 1);
    vehicles->addWidget(new QLabel(u"Vehicle"_s), 0, 0);
    vehicles->addWidget(new QLabel(u"Body"_s), 0, 1);
    vehicles->addWidget(new QLabel(u"Trim"_s), 0, 2);
    for (std::size_t entry = 0; entry < record::VehicleEntryCount; ++entry) {
        const int gridRow = int(entry) + 1;
        // Numbered from 0, as the colour menus and the convert command number them.
        QLabel* caption = addCaption(vehicles, gridRow, QString::number(entry));
        caption->setAlignment(Qt::AlignCenter);
        vehicles->addWidget(makeSwatch(record::BodyColorFields[entry], caption), gridRow, 1);
        vehicles->addWidget(makeSwatch(record::TrimColorFields[entry], caption), gridRow, 2);
    }
    grid->addLayout(vehicles, grid->rowCount(), 0, 1, 3);

    // Track: the one set of the base layout or the four schemes of the expansion's.
    auto* track = new QGridLayout;
    track->setVerticalSpacing(1);
    track->setHorizontalSpacing(8);
    for (int part = 1; part <= 3; ++part) {
        track->setColumnStretch(part, 1);
    }
    track->addWidget(new QLabel(u"Spine"_s), 0, 1);
    track->addWidget(new QLabel(u"Rail"_s), 0, 2);
    track->addWidget(new QLabel(u"Support"_s), 0, 3);
    const auto addTrackRow = [&](int gridRow, const QString& text, const FieldDescription* fields,
                                 std::vector<QWidget*>& set) {
        QLabel* caption = addCaption(track, gridRow, text);
        set.push_back(caption);
        for (int part = 0; part < 3; ++part) {
            QWidget* cell = makeSwatch(fields[part], caption);
            track->addWidget(cell, gridRow, part + 1);
            set.push_back(cell);
        }
    };
    addTrackRow(1, u"Track"_s, record::BaseTrackColorFields.data(), m_baseTrackWidgets);
    for (std::size_t set = 0; set < record::TrackColorSchemeCount; ++set) {
        addTrackRow(int(set) + 2, u"Scheme %1"_s.arg(set),
                    record::SchemeTrackColorFields.data() + 3 * set, m_schemeTrackWidgets);
    }
    grid->addLayout(track, grid->rowCount(), 0, 1, 3);
    addRow({nullptr, nullptr, nullptr, record::SchemeAndVersion, record::SchemeAndVersion,
            [this](ByteView record) {
                const bool expansion = HeaderLayoutOf(record) == RecordLayout::Expansion;
                for (QWidget* widget : m_baseTrackWidgets) {
                    widget->setVisible(!expansion);
                }
                for (QWidget* widget : m_schemeTrackWidgets) {
                    widget->setVisible(expansion);
                }
                return QString();
            }},
           {});
}

QWidget* DesignPanel::makeDepartureControl()
{
    const FieldDescription& field = record::DepartureFlagsField;
    auto* box = new QWidget;
    box->setObjectName(u"Design_"_s + FieldKey(field));
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // Each flag and the load amount is a field of its own; the document's writer keeps
    // byte 35's rule whichever is set.
    std::vector<QCheckBox*> checks;
    for (const FieldDescription& flag : record::DepartureFlagFields) {
        auto* check = new QCheckBox(FieldLabel(flag));
        check->setObjectName(u"Design_"_s + FieldKey(flag));
        layout->addWidget(check);
        checks.push_back(check);
        connect(check, &QCheckBox::clicked, this,
                [this, &flag](bool on) { m_document.setField(flag, on ? flag.mask : 0); });
    }
    auto* load = new QComboBox;
    load->setObjectName(u"Design_"_s + FieldKey(record::LoadAmountField));
    load->addItems({u"1/4 load"_s, u"1/2 load"_s, u"3/4 load"_s, u"Full load"_s, u"Any load"_s});
    layout->addWidget(load);
    connect(load, &QComboBox::activated, this,
            [this](int index) { m_document.setField(record::LoadAmountField, index); });

    addFieldRow(
        field, box,
        [box, checks, load, &field](ByteView record) {
            const std::optional<int> value = record::StoredValue(record, field);
            box->setEnabled(value.has_value());
            const int byte = value.value_or(0);
            for (std::size_t i = 0; i < checks.size(); ++i) {
                const QSignalBlocker blocker(checks[i]);
                checks[i]->setChecked((byte & record::DepartureFlagFields[i].mask) != 0);
            }
            const QSignalBlocker blocker(load);
            const int amount = byte & record::LoadAmountMask;
            // 5 to 7 name no load amount; the list then shows none.
            load->setCurrentIndex(amount <= record::LoadAmountField.high ? amount : -1);
            load->setPlaceholderText(u"Unknown load (%1)"_s.arg(amount));
            load->setEnabled((byte & record::DepartWaitForLoad) != 0);
            return QString();
        },
        true);
    return box;
}

void DesignPanel::buildOperationGroup()
{
    addGroup(u"Operation"_s);
    makeDepartureControl();

    for (const FieldDescription* field : {&record::NumTrainsField, &record::CarsPerTrainField,
                                          &record::MinWaitField, &record::MaxWaitField}) {
        QSpinBox* box = makeSpinBox(*field);
        const int row = addFieldRow(*field, box, [this, box, field](ByteView record) {
            const FieldRow shown =
                DescribeField(record, *field, m_document.gameVersion(), locale());
            ShowValue(box, shown);
            return shown.warning;
        });
        if (field->unit == "s") {
            // Each waiting time's warning depends on the other one.
            m_rows[std::size_t(row)].watchFirst = record::MinWaitTime;
            m_rows[std::size_t(row)].watchLast = record::MaxWaitTime;
        }
    }

    const FieldDescription& speedField = record::SpeedOrPeopleField;
    auto* speedBox = new QWidget;
    auto* speedLayout = new QHBoxLayout(speedBox);
    speedLayout->setContentsMargins(0, 0, 0, 0);
    QSpinBox* speed = makeSpinBox(speedField);
    auto* mph = new QLabel;
    mph->setObjectName(u"Design_speed_mph"_s);
    speedLayout->addWidget(speed);
    speedLayout->addWidget(mph, 1);
    const int row = addFieldRow(speedField, speedBox, [this, speed, mph](ByteView record) {
        const FieldRow shown =
            DescribeField(record, record::SpeedOrPeopleField, m_document.gameVersion(), locale());
        const std::optional<int> value = shown.value;
        const std::optional<int> mode = record::StoredValue(record, record::OperatingModeField);
        ShowValue(speed, shown);
        // Under the launch modes the value is a speed; otherwise a count of its own.
        mph->setText(value && mode && SpeedOrPeopleIsSpeed(*mode)
                         ? SpeedText(*value, locale()) + u" mph"_s
                         : QString());
        return QString();
    });
    m_rows[std::size_t(row)].watchFirst = record::OperatingMode;
}

void DesignPanel::buildStatisticsGroup()
{
    addGroup(u"Statistics"_s);
    for (const FieldDescription& field : record::StatisticsFields) {
        auto* value = new QLabel;
        value->setObjectName(u"Design_"_s + FieldKey(field));
        addFieldRow(field, value, [this, value, &field](ByteView record) {
            const FieldRow shown = DescribeField(record, field, m_document.gameVersion(), locale());
            value->setText(shown.value ? shown.valueText : Missing);
            return QString();
        });
    }
}

void DesignPanel::buildLayoutGroup()
{
    QGridLayout* grid = addGroup(u"Layout"_s);
    const auto addFact = [&](const QString& key, const QString& caption, std::size_t watchFirst,
                             std::size_t watchLast,
                             std::function<QString(ByteView, QLabel*)> show) {
        const int gridRow = grid->rowCount();
        addCaption(grid, gridRow, caption);
        auto* value = new QLabel;
        value->setObjectName(u"Design_"_s + key);
        grid->addWidget(value, gridRow, 1);
        QLabel* warning = makeWarning();
        warning->setObjectName(u"Warning_"_s + key);
        grid->addWidget(warning, gridRow, 2);
        addRow({nullptr, nullptr, warning, watchFirst, watchLast,
                [value, show = std::move(show)](ByteView record) { return show(record, value); }},
               {});
    };
    // The length changes only with the whole contents.
    addFact(u"record_length"_s, u"Record length"_s, EveryByte, EveryByte,
            [this](ByteView record, QLabel* value) {
                value->setText(u"%1 bytes"_s.arg(locale().toString(qulonglong(record.size()))));
                return RecordLengthWarning(InspectRecord(record));
            });
    addFact(u"layout"_s, u"Layout"_s, record::SchemeAndVersion, record::SchemeAndVersion,
            [](ByteView record, QLabel* value) {
                value->setText(HeaderLayoutOf(record) == RecordLayout::Expansion ? u"Expansion"_s
                                                                                 : u"Base"_s);
                return QString();
            });
    // Byte 7 decides where the track data of an unusual length starts.
    addFact(u"track_pieces"_s, u"Track pieces"_s, record::SchemeAndVersion, EveryByte - 1,
            [this](ByteView record, QLabel* value) {
                const RecordFacts facts = InspectRecord(record);
                value->setText(facts.trackPieces ? locale().toString(qulonglong(*facts.trackPieces))
                                                 : u"no end marker"_s);
                return EndMarkerWarning(facts);
            });
}

// --- Following the document -------------------------------------------------------

void DesignPanel::showDocument()
{
    const bool decoded = m_document.kind() == ContentKind::Decoded;
    m_pages->setCurrentIndex(decoded ? 1 : 0);
    m_decodeButton->setEnabled(m_document.kind() == ContentKind::Raw);
    if (!decoded) {
        followSelection();
        return;
    }
    const ByteBuffer record = m_document.contents();
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        refreshRow(int(row), record);
    }
}

void DesignPanel::refreshBytes(TrackDesignDocument::Index first, TrackDesignDocument::Index last)
{
    if (m_document.kind() != ContentKind::Decoded) {
        return;
    }
    // Read once, and only when a row needs it.
    ByteBuffer record;
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        const Row& r = m_rows[row];
        if (r.watchFirst <= std::size_t(last) && r.watchLast >= std::size_t(first)) {
            if (record.empty()) {
                record = m_document.contents();
            }
            refreshRow(int(row), record);
        }
    }
}

void DesignPanel::refreshRow(int row, ByteView record)
{
    Row& r = m_rows[std::size_t(row)];
    const QString warning = r.show(record);
    if (r.warning != nullptr) {
        r.warning->setToolTip(warning);
        r.warning->setVisible(!warning.isEmpty());
    }
}

// --- Pointing at fields -----------------------------------------------------------

bool DesignPanel::eventFilter(QObject* watched, QEvent* event)
{
    const auto found = m_rowOf.constFind(watched);
    if (found != m_rowOf.constEnd()) {
        switch (event->type()) {
        case QEvent::Enter:
            setHover(*found);
            break;
        case QEvent::Leave: {
            // Leaving one widget of a row for another of the same row keeps it.
            QWidget* under = QApplication::widgetAt(QCursor::pos());
            setHover(m_rowOf.value(under, -1));
            break;
        }
        case QEvent::FocusIn:
        case QEvent::MouseButtonPress:
            selectRow(*found);
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void DesignPanel::setHover(int row)
{
    if (row != m_hoverRow) {
        m_hoverRow = row;
        announceHighlight();
    }
}

void DesignPanel::selectRow(int row)
{
    // The row's field becomes the document's selection; the mark follows from there.
    const FieldDescription* field = row >= 0 ? m_rows[std::size_t(row)].field : nullptr;
    if (field == nullptr) {
        return;
    }
    const auto first = TrackDesignDocument::Index(field->offset);
    const auto last = TrackDesignDocument::Index(field->end() - 1);
    ByteSelection& selection = m_document.selection();
    if (selection.chosen() && selection.current() == first && selection.highlightFirst() == first &&
        selection.highlightLast() == last) {
        return; // already selected: a second click keeps the grid's half-typed digits
    }
    selection.selectRange(first, last);
}

int DesignPanel::markedRow() const
{
    const ByteSelection& selection = m_document.selection();
    const FieldDescription* field =
        selection.chosen() ? m_document.fieldAt(selection.current()) : nullptr;
    if (field == nullptr) {
        return -1;
    }
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        const FieldDescription* rowField = m_rows[row].field;
        if (rowField != nullptr && rowField->offset == field->offset) {
            return int(row);
        }
    }
    return -1;
}

void DesignPanel::announceHighlight()
{
    const int row = m_hoverRow >= 0 ? m_hoverRow : markedRow();
    const FieldDescription* field = row >= 0 ? m_rows[std::size_t(row)].field : nullptr;
    if (field == nullptr) {
        m_document.selection().clearHighlight();
        return;
    }
    m_document.selection().setHighlight(TrackDesignDocument::Index(field->offset),
                                        TrackDesignDocument::Index(field->end() - 1));
}

void DesignPanel::followSelection()
{
    // The panel keeps no selected row: it marks the one holding the document's byte.
    const int marked = m_document.kind() == ContentKind::Decoded ? markedRow() : -1;
    bool unmarked = false;
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        QLabel* caption = m_rows[row].caption;
        const bool on = int(row) == marked;
        if (caption == nullptr || caption->autoFillBackground() == on) {
            continue;
        }
        unmarked = unmarked || !on;
        caption->setAutoFillBackground(on);
        caption->setBackgroundRole(on ? QPalette::Highlight : QPalette::Window);
        caption->setForegroundRole(on ? QPalette::HighlightedText : QPalette::WindowText);
    }
    if (marked >= 0 && m_rows[std::size_t(marked)].caption != nullptr &&
        m_scroll->widget() != nullptr) {
        // A few rows of context around the field.
        QLabel* caption = m_rows[std::size_t(marked)].caption;
        m_scroll->ensureWidgetVisible(caption, 0, caption->height() * 4);
    }
    // The marked field's bytes are tinted; leaving a field takes its tint away.
    if (marked >= 0 || unmarked) {
        announceHighlight();
    }
}

QString DesignPanel::selectedField() const
{
    const int row = markedRow();
    return row < 0 ? QString() : FieldKey(*m_rows[std::size_t(row)].field);
}

// --- Writing ----------------------------------------------------------------------

void DesignPanel::pickColour(const FieldDescription& field)
{
    const int code = m_picker(m_document.valueAt(TrackDesignDocument::Index(field.offset)));
    if (IsPaletteCode(code)) {
        m_document.setField(field, code);
    }
}

} // namespace railwright

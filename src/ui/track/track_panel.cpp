#include "track_panel.h"

#include "codec/record_fields.h"
#include "codec/record_layout.h"
#include "codec/track_construction.h"
#include "render/track_picture.h"
#include "report/field_text.h"
#include "rules/ride_rules.h"
#include "ui/track/piece_chooser.h"
#include "ui/track/track_commands.h"
#include "ui/track/track_construction_commands.h"
#include "ui/track/track_edits.h"
#include "ui/track/track_picture_view.h"
#include "ui/track/track_piece_model.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QSplitter>
#include <QStackedWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace railwright {

using namespace Qt::StringLiterals;

namespace {

// A label under the picture shows this many lines; its tooltip all of them.
constexpr qsizetype ShownWarnings = 4;

// Shows `lines` in `label`, the first few with "…and N more" and `more` after them, all of
// them in its tooltip; hidden when there are none.
void ShowLines(QLabel* label, const QStringList& lines, const QString& prefix, const QString& more)
{
    QStringList shown = lines.mid(0, ShownWarnings);
    if (lines.size() > ShownWarnings) {
        shown.append(u"\u2026and %1 more"_s.arg(lines.size() - ShownWarnings) + more);
    }
    label->setText(shown.isEmpty() ? QString() : prefix + shown.join(u'\n'));
    label->setToolTip(lines.join(u'\n'));
    label->setVisible(!lines.isEmpty());
}

QToolButton* ViewButton(const QString& text, const char* name, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setObjectName(QString::fromLatin1(name));
    button->setCheckable(true);
    button->setAutoRaise(true);
    return button;
}

} // namespace

TrackPanel::TrackPanel(TrackDesignDocument& document, TrackCommands& commands,
                       TrackConstructionCommands* construction, QWidget* parent)
    : QWidget(parent), m_document(document), m_commands(commands), m_construction(construction)
{
    setObjectName(u"TrackPanel"_s);
    buildControls();
    // The commands read the track once for the panel and the menu; the rows are the
    // document's selection.
    connect(&m_commands, &TrackCommands::trackChanged, this, &TrackPanel::refresh);
    connect(&m_commands, &TrackCommands::rowsChanged, this, &TrackPanel::showSelection);
    refresh();
}

const TrackList& TrackPanel::trackList() const
{
    return m_commands.list();
}

TrackPanel::~TrackPanel() = default;

void TrackPanel::buildControls()
{
    m_pages = new QStackedWidget(this);
    auto* hint = new QLabel(u"Decode the file to see its track pieces."_s, m_pages);
    hint->setObjectName(u"TrackHint"_s);
    hint->setAlignment(Qt::AlignCenter);
    hint->setWordWrap(true);
    m_pages->addWidget(hint);

    auto* content = new QWidget(m_pages);
    auto* bar = new QHBoxLayout;
    m_views = new QButtonGroup(this);
    const std::pair<TrackView, QToolButton*> views[] = {
        {TrackView::Plan, ViewButton(u"Plan"_s, "TrackPlan", content)},
        {TrackView::Side, ViewButton(u"Side"_s, "TrackSide", content)},
        {TrackView::Iso, ViewButton(u"3D"_s, "Track3D", content)},
    };
    for (const auto& [view, button] : views) {
        m_views->addButton(button, int(view));
        bar->addWidget(button);
    }
    m_views->button(int(m_view))->setChecked(true);
    m_turn = new QToolButton(content);
    m_turn->setText(u"Turn"_s);
    m_turn->setObjectName(u"TrackTurn"_s);
    m_turn->setToolTip(u"Turn the 3D view a quarter turn"_s);
    m_turn->setAutoRaise(true);
    auto* fit = new QToolButton(content);
    fit->setText(u"Fit"_s);
    fit->setObjectName(u"TrackFit"_s);
    fit->setAutoRaise(true);
    bar->addWidget(m_turn);
    bar->addStretch();
    bar->addWidget(fit);

    m_picture = new TrackPictureView(content);
    m_picture->setObjectName(u"TrackPicture"_s);
    m_picture->showRowsOf(m_document.selection());
    m_statistics = new QLabel(content);
    m_statistics->setObjectName(u"TrackStatistics"_s);
    m_statistics->setWordWrap(true);
    m_statistics->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_summary = new QLabel(content);
    m_summary->setObjectName(u"TrackSummary"_s);
    m_summary->setWordWrap(true);
    m_warning = new QLabel(content);
    m_warning->setObjectName(u"TrackWarning"_s);
    m_warning->setWordWrap(true);
    m_warning->setStyleSheet(u"color: #a04000"_s);
    m_closeHint = new QLabel(content);
    m_closeHint->setObjectName(u"TrackCloseHint"_s);
    m_closeHint->setWordWrap(true);
    m_closeButton = new QPushButton(u"Close Circuit"_s, content);
    m_closeButton->setObjectName(u"TrackCloseCircuit"_s);
    m_closeButton->setToolTip(u"Build these pieces at the open end"_s);
    m_closeButton->setVisible(false);
    m_collisions = new QLabel(content);
    m_collisions->setObjectName(u"TrackCollisions"_s);
    m_collisions->setWordWrap(true);
    m_collisions->setStyleSheet(u"color: #a04000"_s);

    m_model = new TrackPieceModel(this);
    m_table = new QTableView(content);
    m_table->setObjectName(u"TrackPieces"_s);
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // The columns fit the rows in view and up to 200 around them: Qt's 1,000 would lay out
    // 6,000 cells after every edit of a long track, a third of the edit's time.
    m_table->horizontalHeader()->setResizeContentsPrecision(200);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setWordWrap(false);
    // Tab moves on to the editors below, not among the list's cells.
    m_table->setTabKeyNavigation(false);

    auto* edits = new QHBoxLayout;
    m_chain = new QPushButton(u"Chain Lift"_s, content);
    m_chain->setObjectName(u"TrackChainLift"_s);
    m_chain->setToolTip(u"Chain lift on or off for the selected pieces that can carry one"_s);
    m_scheme = new QComboBox(content);
    m_scheme->setObjectName(u"TrackScheme"_s);
    for (int s = 0; s < 4; ++s) {
        m_scheme->addItem(u"Scheme %1"_s.arg(s));
    }
    m_speed = new QSpinBox(content);
    m_speed->setObjectName(u"TrackSpeed"_s);
    m_speed->setRange(0, 15);
    m_speed->setPrefix(u"Speed "_s);
    m_speed->setKeyboardTracking(false);
    m_stationBit = new QCheckBox(u"Departure"_s, content);
    m_stationBit->setObjectName(u"TrackStationBit"_s);
    m_stationBit->setToolTip(u"The station whose departure settings apply"_s);
    edits->addWidget(m_chain);
    edits->addWidget(m_scheme);
    edits->addWidget(m_speed);
    edits->addWidget(m_stationBit);
    edits->addStretch();
    if (m_construction != nullptr) {
        const TrackConstructionCommands::Actions& actions = m_construction->actions();
        for (QAction* action : {actions.insertAfter, actions.remove}) {
            auto* button = new QToolButton(content);
            button->setDefaultAction(action);
            button->setObjectName(action->objectName() + u"Button"_s);
            edits->addWidget(button);
        }
        m_table->setContextMenuPolicy(Qt::ActionsContextMenu);
        m_table->addActions({actions.insertBefore, actions.insertAfter, actions.replace,
                             actions.remove, actions.cut, actions.copy, actions.paste});
        m_table->installEventFilter(this);
        connect(m_closeButton, &QPushButton::clicked, this,
                [this] { m_construction->closeCircuit(m_closingRun); });
    }

    auto* top = new QWidget(content);
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addLayout(bar);
    topLayout->addWidget(m_picture, 1);
    topLayout->addWidget(m_statistics);
    topLayout->addWidget(m_summary);
    topLayout->addWidget(m_warning);
    auto* closing = new QHBoxLayout;
    closing->addWidget(m_closeHint, 1);
    closing->addWidget(m_closeButton);
    topLayout->addLayout(closing);
    topLayout->addWidget(m_collisions);
    auto* bottom = new QWidget(content);
    auto* bottomLayout = new QVBoxLayout(bottom);
    bottomLayout->setContentsMargins(0, 0, 0, 0);
    bottomLayout->addWidget(m_table, 1);
    bottomLayout->addLayout(edits);
    m_split = new QSplitter(Qt::Vertical, content);
    m_split->setObjectName(u"TrackSplit"_s);
    m_split->addWidget(top);
    m_split->addWidget(bottom);
    // The picture is what a player reads: it takes most of the height, the list the rest.
    m_split->setStretchFactor(0, 7);
    m_split->setStretchFactor(1, 3);
    m_split->setChildrenCollapsible(false);
    auto* contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    contentLayout->addWidget(m_split);
    m_pages->addWidget(content);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(m_pages);

    connect(m_views, &QButtonGroup::idClicked, this, [this](int id) {
        m_view = TrackView(id);
        rebuildScene();
        m_picture->fit();
    });
    connect(m_turn, &QToolButton::clicked, this, [this] {
        m_turns = (m_turns + 1) % 4;
        rebuildScene();
        m_picture->fit();
    });
    connect(fit, &QToolButton::clicked, m_picture, &TrackPictureView::fit);
    connect(m_picture, &TrackPictureView::pieceClicked, this, [this](std::size_t row, bool extend) {
        std::vector<std::size_t> rows = extend ? selectedRows() : std::vector<std::size_t>{};
        rows.push_back(row);
        m_commands.selectRows(std::move(rows));
    });
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (m_selecting) {
            return;
        }
        std::vector<std::size_t> rows;
        for (const QModelIndex& row : m_table->selectionModel()->selectedRows()) {
            rows.push_back(std::size_t(row.row()));
        }
        // The list already shows what the user chose; it must not scroll away from it.
        const QScopedValueRollback<bool> fromList(m_listChoosing, true);
        m_commands.selectRows(std::move(rows));
    });
    connect(m_chain, &QPushButton::clicked, &m_commands, &TrackCommands::toggleChainLift);
    connect(m_scheme, &QComboBox::activated, &m_commands, &TrackCommands::setScheme);
    connect(m_speed, &QSpinBox::valueChanged, this, [this](int speed) {
        if (!m_selecting) {
            m_commands.setSpeed(speed);
        }
    });
    connect(m_stationBit, &QCheckBox::clicked, &m_commands, &TrackCommands::setDeparture);
}

void TrackPanel::refresh()
{
    const TrackList& list = m_commands.list();
    if (m_document.kind() != ContentKind::Decoded) {
        m_pages->setCurrentIndex(0);
        m_walk = {};
        m_collisionsFound = {};
        {
            const QScopedValueRollback<bool> quiet(m_selecting, true);
            m_model->setTrack(list, m_walk, 0);
        }
        m_picture->setScene(nullptr);
        updateEditors();
        return;
    }
    m_pages->setCurrentIndex(1);
    const ByteBuffer record = m_document.contents();
    m_walk = WalkTrack(list);
    // Found once per change of the track: the picture's rings and the lines under it agree.
    m_collisionsFound = list.maze || list.pieces.empty()
                            ? TrackCollisions{}
                            : FindCollisions(list, m_walk, RideClearance(list.rideType));
    {
        const QScopedValueRollback<bool> quiet(m_selecting, true);
        m_model->setTrack(list, m_walk, list.rideType);
    }
    rebuildScene();
    m_summary->setText(QString::fromStdString(TrackSummary(list, m_walk)));
    // As stored by the game when the design was saved: the field table's names and units.
    const QLocale locale;
    // The ratings on one line, speed and length on the next, so neither breaks mid-value.
    QStringList lines;
    for (const auto& line :
         {std::initializer_list<const record::FieldDescription*>{
              &record::ExcitementField, &record::IntensityField, &record::NauseaField},
          std::initializer_list<const record::FieldDescription*>{&record::MaxSpeedField,
                                                                 &record::RideLengthField}}) {
        QStringList values;
        for (const record::FieldDescription* field : line) {
            const QString value = FieldValueText(record, *field, locale);
            if (!value.isEmpty()) {
                values.append(QString::fromUtf8(field->name.data(), qsizetype(field->name.size())) +
                              u": "_s + value);
            }
        }
        lines.append(values.join(u"   "_s));
    }
    m_statistics->setText(lines.join(u'\n'));
    // The list marks every piece the line names.
    ShowLines(m_warning, rules::TrackWarnings(record, list, m_walk), u"\u26A0 "_s,
              u", each marked in the piece list"_s);
    showRepairs();
    showSelection();
}

// What closes an open track, and where pieces run into each other.
void TrackPanel::showRepairs()
{
    const TrackList& list = m_commands.list();
    m_closingRun.clear();
    QString hint;
    if (!list.maze && !list.pieces.empty() && !m_walk.complete) {
        const std::vector<std::vector<std::uint8_t>> runs = ClosingPieces(list, m_walk);
        // The ride's own run first: one the player can build without a cheat.
        const auto own = std::find_if(runs.begin(), runs.end(), [&list](const auto& run) {
            return std::all_of(run.begin(), run.end(), [&list](std::uint8_t code) {
                return RideBuildsPiece(list.rideType, code);
            });
        });
        if (!runs.empty()) {
            m_closingRun = own != runs.end() ? *own : runs.front();
            QStringList names;
            for (const std::uint8_t code : m_closingRun) {
                names.append(QString::fromStdString(TrackPieceName(code)));
            }
            hint = u"Close Circuit: "_s + names.join(u", then "_s);
        } else {
            hint = u"No one or two pieces close this track: its end is "_s +
                   QString::fromStdString(DescribeGap(m_walk.end));
        }
    }
    m_closeHint->setText(hint);
    m_closeHint->setVisible(!hint.isEmpty());
    m_closeButton->setVisible(m_construction != nullptr && !m_closingRun.empty());

    QStringList lines;
    for (const std::string& line : CollisionLines(m_collisionsFound)) {
        lines.append(u"Collision: "_s + QString::fromStdString(line));
    }
    ShowLines(m_collisions, lines, {}, {});
}

// In the piece list, the keys of Edit's Cut, Copy, Paste and Delete act on its pieces.
bool TrackPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_table && m_construction != nullptr &&
        (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const TrackConstructionCommands::Actions& actions = m_construction->actions();
        // Only these keys: Shift+Insert (another Paste on some desktops) is Insert Before.
        const QKeyCombination pressed = key->keyCombination();
        QAction* action = pressed == (Qt::CTRL | Qt::Key_X)            ? actions.cut
                          : pressed == (Qt::CTRL | Qt::Key_C)          ? actions.copy
                          : pressed == (Qt::CTRL | Qt::Key_V)          ? actions.paste
                          : pressed == QKeyCombination(Qt::Key_Delete) ? actions.remove
                                                                       : nullptr;
        if (action != nullptr) {
            event->accept();
            if (event->type() == QEvent::KeyPress && action->isEnabled()) {
                action->trigger();
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TrackPanel::rebuildScene()
{
    if (m_document.kind() != ContentKind::Decoded) {
        return;
    }
    m_turn->setEnabled(m_view == TrackView::Iso);
    const TrackList& list = m_commands.list();
    // The ride as the record has it: its colours, trains and cars, so that any such edit
    // (undo included: each one changes bytes and reads the track anew) shows at once.
    m_picture->setScene(
        std::make_unique<TrackScene>(list, m_walk, ReadRideLook(m_document.contents(), list.layout),
                                     m_view, m_turns),
        m_walk.footprint.minZ);
    std::vector<std::pair<std::size_t, std::size_t>> pairs;
    for (const TrackCollision& crossing : m_collisionsFound.crossings) {
        pairs.emplace_back(crossing.first, crossing.second);
    }
    m_picture->setCollisions(std::move(pairs));
}

QImage TrackPanel::drawPicture(int longerSide) const
{
    if (m_document.kind() != ContentKind::Decoded) {
        return {};
    }
    return DrawTrackPicture(m_commands.list(), m_walk, m_document.contents(), m_view, longerSide,
                            m_turns);
}

// The picture's share of the split: the dock may come back at another height.
QByteArray TrackPanel::layoutState() const
{
    const QList<int> sizes = m_split->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    return total > 0 ? QByteArray::number(double(sizes.value(0)) / total) : QByteArray();
}

void TrackPanel::restoreLayout(const QByteArray& state)
{
    constexpr int Parts = 10000;
    constexpr double FirstShare = 0.7;
    bool ok = false;
    double share = state.toDouble(&ok);
    if (!ok || share <= 0 || share >= 1) {
        share = FirstShare;
    }
    // Sizes in proportion: the splitter shares out its height by their weights.
    m_split->setSizes({int(share * Parts), Parts - int(share * Parts)});
}

QString TrackPanel::statistics() const
{
    return m_statistics->text();
}

std::vector<std::size_t> TrackPanel::selectedRows() const
{
    return m_commands.selectedRows();
}

// The list shows the document's rows; the picture reads them itself.
void TrackPanel::showSelection()
{
    QItemSelection selection;
    for (const std::size_t row : selectedRows()) {
        if (int(row) < m_model->rowCount()) {
            selection.select(m_model->index(int(row), 0),
                             m_model->index(int(row), TrackPieceModel::ColumnCount - 1));
        }
    }
    if (!m_listChoosing) {
        const QScopedValueRollback<bool> quiet(m_selecting, true);
        m_table->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
        if (!selection.isEmpty()) {
            m_table->scrollTo(selection.first().topLeft());
        }
    }
    updateEditors();
}

void TrackPanel::updateEditors()
{
    const TrackCommands::Offer offer = m_commands.offer();
    const QScopedValueRollback<bool> quiet(m_selecting, true);
    m_chain->setEnabled(offer.chainOn || offer.chainOff);
    m_scheme->setEnabled(offer.scheme);
    m_scheme->setCurrentIndex(offer.schemeValue);
    m_speed->setEnabled(offer.speed.has_value());
    if (offer.speed) {
        const QSignalBlocker block(m_speed);
        m_speed->setValue(*offer.speed);
    }
    m_stationBit->setEnabled(offer.departure.has_value());
    m_stationBit->setChecked(offer.departure.value_or(false));
}

QString TrackPanel::summary() const
{
    return m_summary->text();
}

QString TrackPanel::warning() const
{
    return m_warning->toolTip();
}

QString TrackPanel::closeHint() const
{
    return m_closeHint->text();
}

QString TrackPanel::collisions() const
{
    return m_collisions->toolTip();
}

} // namespace railwright

#include "track_panel.h"

#include "codec/record_layout.h"
#include "rules/ride_rules.h"
#include "ui/track/track_picture_view.h"
#include "ui/track/track_piece_model.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
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

namespace railwright {

using namespace Qt::StringLiterals;

namespace {

// The warning line shows this many warnings; its tooltip and the list's marks all of them.
constexpr qsizetype ShownWarnings = 4;

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

TrackPanel::TrackPanel(TrackDesignDocument& document, QWidget* parent)
    : QWidget(parent), m_document(document)
{
    setObjectName(QStringLiteral("TrackPanel"));
    buildControls();
    connect(&m_document, &TrackDesignDocument::bytesChanged, this, &TrackPanel::refresh);
    connect(&m_document, &TrackDesignDocument::contentsReplaced, this, &TrackPanel::refresh);
    connect(&m_document, &TrackDesignDocument::kindChanged, this, &TrackPanel::refresh);
    connect(&m_document.selection(), &ByteSelection::currentChanged, this,
            [this](ByteSelection::Index current) {
                if (!m_selecting) {
                    selectByte(current);
                }
            });
    refresh();
}

TrackPanel::~TrackPanel() = default;

void TrackPanel::buildControls()
{
    m_pages = new QStackedWidget(this);
    auto* hint = new QLabel(QStringLiteral("Decode the file to see its track pieces."), m_pages);
    hint->setObjectName(QStringLiteral("TrackHint"));
    hint->setAlignment(Qt::AlignCenter);
    hint->setWordWrap(true);
    m_pages->addWidget(hint);

    auto* content = new QWidget(m_pages);
    auto* bar = new QHBoxLayout;
    m_views = new QButtonGroup(this);
    const std::pair<TrackView, QToolButton*> views[] = {
        {TrackView::Plan, ViewButton(QStringLiteral("Plan"), "TrackPlan", content)},
        {TrackView::Side, ViewButton(QStringLiteral("Side"), "TrackSide", content)},
        {TrackView::Iso, ViewButton(QStringLiteral("3D"), "Track3D", content)},
    };
    for (const auto& [view, button] : views) {
        m_views->addButton(button, int(view));
        bar->addWidget(button);
    }
    m_views->button(int(m_view))->setChecked(true);
    m_turn = new QToolButton(content);
    m_turn->setText(QStringLiteral("Turn"));
    m_turn->setObjectName(QStringLiteral("TrackTurn"));
    m_turn->setToolTip(QStringLiteral("Turn the 3D view a quarter turn"));
    m_turn->setAutoRaise(true);
    auto* fit = new QToolButton(content);
    fit->setText(QStringLiteral("Fit"));
    fit->setObjectName(QStringLiteral("TrackFit"));
    fit->setAutoRaise(true);
    bar->addWidget(m_turn);
    bar->addStretch();
    bar->addWidget(fit);

    m_picture = new TrackPictureView(content);
    m_picture->setObjectName(QStringLiteral("TrackPicture"));
    m_summary = new QLabel(content);
    m_summary->setObjectName(QStringLiteral("TrackSummary"));
    m_summary->setWordWrap(true);
    m_warning = new QLabel(content);
    m_warning->setObjectName(QStringLiteral("TrackWarning"));
    m_warning->setWordWrap(true);
    m_warning->setStyleSheet(QStringLiteral("color: #a04000"));

    m_model = new TrackPieceModel(this);
    m_table = new QTableView(content);
    m_table->setObjectName(QStringLiteral("TrackPieces"));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setWordWrap(false);

    auto* edits = new QHBoxLayout;
    m_chain = new QPushButton(QStringLiteral("Chain Lift"), content);
    m_chain->setObjectName(QStringLiteral("TrackChainLift"));
    m_chain->setToolTip(QStringLiteral("Chain lift on or off for the selected pieces that can "
                                       "carry one"));
    m_scheme = new QComboBox(content);
    m_scheme->setObjectName(QStringLiteral("TrackScheme"));
    for (int s = 0; s < 4; ++s) {
        m_scheme->addItem(QStringLiteral("Scheme %1").arg(s));
    }
    m_speed = new QSpinBox(content);
    m_speed->setObjectName(QStringLiteral("TrackSpeed"));
    m_speed->setRange(0, 15);
    m_speed->setPrefix(QStringLiteral("Speed "));
    m_speed->setKeyboardTracking(false);
    m_stationBit = new QCheckBox(QStringLiteral("Departure"), content);
    m_stationBit->setObjectName(QStringLiteral("TrackStationBit"));
    m_stationBit->setToolTip(QStringLiteral("The station whose departure settings apply"));
    edits->addWidget(m_chain);
    edits->addWidget(m_scheme);
    edits->addWidget(m_speed);
    edits->addWidget(m_stationBit);
    edits->addStretch();

    auto* top = new QWidget(content);
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addLayout(bar);
    topLayout->addWidget(m_picture, 1);
    topLayout->addWidget(m_summary);
    topLayout->addWidget(m_warning);
    auto* bottom = new QWidget(content);
    auto* bottomLayout = new QVBoxLayout(bottom);
    bottomLayout->setContentsMargins(0, 0, 0, 0);
    bottomLayout->addWidget(m_table, 1);
    bottomLayout->addLayout(edits);
    auto* split = new QSplitter(Qt::Vertical, content);
    split->addWidget(top);
    split->addWidget(bottom);
    auto* contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    contentLayout->addWidget(split);
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
    connect(m_picture, &TrackPictureView::pieceClicked, this,
            [this](std::size_t piece, bool extend) {
                std::vector<std::size_t> pieces =
                    extend ? selectedPieces() : std::vector<std::size_t>{};
                pieces.push_back(piece);
                selectPieces(pieces);
            });
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_selecting) {
            showSelection(true);
        }
    });
    connect(m_chain, &QPushButton::clicked, this, [this] {
        // On unless every selected piece that takes a chain has one already.
        bool allOn = true;
        for (const std::size_t i : selectedPieces()) {
            const TrackPiece& piece = m_list.pieces[i];
            if (rules::ChainLiftFits(m_list.rideType, piece.code) && !piece.chainLift()) {
                allOn = false;
            }
        }
        setChainLift(!allOn);
    });
    connect(m_scheme, &QComboBox::activated, this,
            [this](int scheme) { apply(SchemeEdit(m_list, selectedPieces(), scheme)); });
    connect(m_speed, &QSpinBox::valueChanged, this, [this](int speed) {
        if (!m_selecting) {
            apply(SpeedEdit(m_list, selectedPieces(), speed));
        }
    });
    connect(m_stationBit, &QCheckBox::clicked, this,
            [this](bool on) { apply(StationBitEdit(m_list, selectedPieces(), on)); });
}

void TrackPanel::refresh()
{
    if (m_document.kind() != ContentKind::Decoded) {
        m_pages->setCurrentIndex(0);
        m_list = {};
        m_walk = {};
        m_model->setTrack(m_list, m_walk, 0);
        m_picture->setScene(nullptr);
        return;
    }
    m_pages->setCurrentIndex(1);
    const ByteBuffer record = m_document.contents();
    m_list = ReadTrackList(record);
    m_walk = WalkTrack(m_list);
    const std::vector<std::size_t> selected = selectedPieces();
    {
        const QScopedValueRollback<bool> quiet(m_selecting, true);
        m_model->setTrack(m_list, m_walk, record.empty() ? 0 : record[record::RideType]);
    }
    rebuildScene();
    m_summary->setText(QString::fromStdString(TrackSummary(m_list, m_walk)));
    const QStringList warnings = rules::TrackWarnings(record, m_list, m_walk);
    QStringList shown = warnings.mid(0, ShownWarnings);
    if (warnings.size() > ShownWarnings) {
        shown.append(u"\u2026and %1 more, each marked in the piece list"_s.arg(warnings.size() -
                                                                               ShownWarnings));
    }
    m_warning->setText(shown.isEmpty() ? QString() : u"\u26A0 "_s + shown.join(u'\n'));
    m_warning->setToolTip(warnings.join(u'\n'));
    m_warning->setVisible(!warnings.isEmpty());
    showSelection(false);
    updateEditors();
}

void TrackPanel::rebuildScene()
{
    if (m_document.kind() != ContentKind::Decoded) {
        return;
    }
    m_turn->setEnabled(m_view == TrackView::Iso);
    const ByteBuffer record = m_document.contents();
    m_picture->setScene(std::make_unique<TrackScene>(
        m_list, m_walk, ReadTrackColors(record, m_list.layout), m_view, m_turns));
}

std::vector<std::size_t> TrackPanel::selectedPieces() const
{
    std::vector<std::size_t> pieces;
    for (const QModelIndex& row : m_table->selectionModel()->selectedRows()) {
        pieces.push_back(std::size_t(row.row()));
    }
    std::sort(pieces.begin(), pieces.end());
    return pieces;
}

void TrackPanel::selectPieces(const std::vector<std::size_t>& pieces)
{
    QItemSelection selection;
    for (const std::size_t piece : pieces) {
        if (int(piece) < m_model->rowCount()) {
            selection.select(m_model->index(int(piece), 0),
                             m_model->index(int(piece), TrackPieceModel::ColumnCount - 1));
        }
    }
    {
        const QScopedValueRollback<bool> quiet(m_selecting, true);
        m_table->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
        if (!pieces.empty()) {
            m_table->scrollTo(m_model->index(int(pieces.back()), 0));
        }
    }
    showSelection(true);
}

void TrackPanel::selectByte(TrackDesignDocument::Index index)
{
    const std::optional<std::size_t> piece = PieceOfByte(m_list, index);
    const QScopedValueRollback<bool> quiet(m_selecting, true);
    if (piece) {
        m_table->selectionModel()->select(
            QItemSelection(m_model->index(int(*piece), 0),
                           m_model->index(int(*piece), TrackPieceModel::ColumnCount - 1)),
            QItemSelectionModel::ClearAndSelect);
        m_table->scrollTo(m_model->index(int(*piece), 0));
        // The piece's two bytes are tinted in the grid like a field's.
        const auto first = TrackDesignDocument::Index(m_list.pieces[*piece].offset);
        m_document.selection().setHighlight(first, first + 1);
    } else {
        m_table->selectionModel()->clearSelection();
    }
    showSelection(false);
}

void TrackPanel::showSelection(bool tellDocument)
{
    const std::vector<std::size_t> pieces = selectedPieces();
    std::vector<bool> marked(m_list.pieces.size(), false);
    for (const std::size_t piece : pieces) {
        if (piece < marked.size()) {
            marked[piece] = true;
        }
    }
    m_picture->setHighlighted(std::move(marked));
    updateEditors();
    if (tellDocument && !pieces.empty() && pieces.front() < m_list.pieces.size()) {
        const auto first = TrackDesignDocument::Index(m_list.pieces[pieces.front()].offset);
        const QScopedValueRollback<bool> quiet(m_selecting, true);
        m_document.selection().selectRange(first, first + 1);
    }
}

void TrackPanel::updateEditors()
{
    const std::vector<std::size_t> pieces = selectedPieces();
    bool chain = false;
    bool speed = false;
    bool station = false;
    const QScopedValueRollback<bool> quiet(m_selecting, true);
    for (const std::size_t i : pieces) {
        const TrackPiece& piece = m_list.pieces[i];
        chain = chain || rules::ChainLiftFits(m_list.rideType, piece.code) || piece.chainLift();
        if (piece.hasSpeed() && !speed) {
            const QSignalBlocker block(m_speed);
            m_speed->setValue(*piece.speed());
            speed = true;
        }
        if (piece.isStation() && !station) {
            m_stationBit->setChecked(piece.departureStation());
            station = true;
        }
    }
    m_chain->setEnabled(chain);
    m_scheme->setEnabled(!pieces.empty() && m_list.layout == RecordLayout::Expansion);
    if (!pieces.empty() && pieces.front() < m_list.pieces.size()) {
        m_scheme->setCurrentIndex(m_list.pieces[pieces.front()].scheme());
    }
    m_speed->setEnabled(speed);
    m_stationBit->setEnabled(station);
}

void TrackPanel::setChainLift(bool on)
{
    apply(ChainLiftEdit(m_list, selectedPieces(), on));
}

void TrackPanel::apply(const TrackEdit& edit)
{
    if (!edit.edits.empty()) {
        m_document.editBytes(edit.stepName, edit.edits);
    }
}

QString TrackPanel::summary() const
{
    return m_summary->text();
}

QString TrackPanel::warning() const
{
    return m_warning->toolTip();
}

} // namespace railwright

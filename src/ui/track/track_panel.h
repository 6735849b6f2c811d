#pragma once

#include "codec/track_pieces.h"
#include "document/track_design_document.h"
#include "render/track_scene.h"
#include "ui/track/track_edits.h"

#include <QWidget>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QStackedWidget;
class QTableView;
class QToolButton;

namespace railwright {

class TrackPictureView;
class TrackPieceModel;

// The "Track" dock's contents: the decoded record's track drawn (Plan, Side or 3D, zoom
// and Fit, the 3D view turned by quarter turns), its summary line and any warning, the
// piece list with multi-selection, and edits of the selected pieces' flags (chain lift,
// colour scheme, brake or booster speed, the departure-station bit), each one named step
// on the document's undo stack. It follows every change of the document, undo included.
// Selection is the document's: choosing pieces selects the first one's two bytes there
// (grid and status bar follow), and a byte selected anywhere selects its piece here.
// While the document is raw it shows a hint.
class TrackPanel : public QWidget
{
    Q_OBJECT

public:
    explicit TrackPanel(TrackDesignDocument& document, QWidget* parent = nullptr);
    ~TrackPanel() override;

    [[nodiscard]] const TrackList& trackList() const { return m_list; }
    [[nodiscard]] const TrackWalk& trackWalk() const { return m_walk; }
    // Selected pieces, in list order.
    [[nodiscard]] std::vector<std::size_t> selectedPieces() const;
    // Selects these pieces only (the list, the picture and the grid follow).
    void selectPieces(const std::vector<std::size_t>& pieces);
    // Selects the piece byte `index` belongs to; a byte outside the list clears the
    // selection. Writes nothing to the document's selection (it already holds the byte).
    void selectByte(TrackDesignDocument::Index index);
    [[nodiscard]] QString summary() const;
    [[nodiscard]] QString warning() const; // empty when there is none
    [[nodiscard]] TrackPictureView* picture() const { return m_picture; }
    [[nodiscard]] QTableView* pieceList() const { return m_table; }

    // Sets or clears the chain lift of the selected pieces that take one (one step).
    void setChainLift(bool on);

private:
    void buildControls();
    void refresh();
    void rebuildScene();
    void showSelection(bool tellDocument);
    void apply(const TrackEdit& edit);
    void updateEditors();

    TrackDesignDocument& m_document;
    TrackList m_list;
    TrackWalk m_walk;
    TrackView m_view = TrackView::Iso;
    int m_turns = 0;
    bool m_selecting = false;

    QStackedWidget* m_pages = nullptr;
    TrackPictureView* m_picture = nullptr;
    QButtonGroup* m_views = nullptr;
    QToolButton* m_turn = nullptr;
    QLabel* m_summary = nullptr;
    QLabel* m_warning = nullptr;
    QTableView* m_table = nullptr;
    TrackPieceModel* m_model = nullptr;
    QPushButton* m_chain = nullptr;
    QComboBox* m_scheme = nullptr;
    QSpinBox* m_speed = nullptr;
    QCheckBox* m_stationBit = nullptr;
};

} // namespace railwright

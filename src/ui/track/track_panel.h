#pragma once

#include "codec/track_construction.h"
#include "codec/track_pieces.h"
#include "document/track_design_document.h"
#include "render/track_scene.h"

#include <QByteArray>
#include <QImage>
#include <QWidget>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QSplitter;
class QStackedWidget;
class QTableView;
class QToolButton;

namespace railwright {

class TrackCommands;
class TrackConstructionCommands;
class TrackPictureView;
class TrackPieceModel;

// The "Track" dock's contents: the decoded record's ride drawn in its own colours with its
// trains (Plan, Side or 3D, zoom and Fit, the 3D view turned by quarter turns), the ratings,
// top speed and length the record stores, its summary line and any warning, the
// piece list with multi-selection, and edits of the selected pieces' flags (chain lift,
// colour scheme, brake or booster speed, the departure-station bit), each one named step
// on the document's undo stack, made through TrackCommands as the Track menu's are. It
// follows every change of the document, undo included. Selection is the document's: the
// list and the picture show its rows; choosing rows there selects them in the document
// (the grid marks their bytes, the status bar names the first), and a byte selected
// anywhere selects its row here. A maze's rows are its entries, four bytes each; the
// piece editors stay disabled for them. While the document is raw it shows a hint.
class TrackPanel : public QWidget
{
    Q_OBJECT

public:
    // `construction` gives the piece list its context menu, its Insert After and Delete
    // buttons and the Close Circuit button; without it the panel only shows the track.
    TrackPanel(TrackDesignDocument& document, TrackCommands& commands,
               TrackConstructionCommands* construction = nullptr, QWidget* parent = nullptr);
    ~TrackPanel() override;

    [[nodiscard]] const TrackList& trackList() const;
    [[nodiscard]] const TrackWalk& trackWalk() const { return m_walk; }
    // Selected rows (pieces, or a maze's entries), in list order: the document's.
    [[nodiscard]] std::vector<std::size_t> selectedRows() const;
    [[nodiscard]] QString summary() const;
    [[nodiscard]] QString warning() const; // empty when there is none
    // What closes an open track ("Close Circuit: ...", or why nothing does), and the
    // collisions ("Collision: pieces 4 and 9"); empty when there is nothing to say.
    [[nodiscard]] QString closeHint() const;
    [[nodiscard]] QString collisions() const;
    [[nodiscard]] TrackPictureView* picture() const { return m_picture; }
    [[nodiscard]] QTableView* pieceList() const { return m_table; }
    // The ratings, top speed and length line under the picture.
    [[nodiscard]] QString statistics() const;
    [[nodiscard]] TrackView view() const { return m_view; }
    // The ride in the view and turn shown, `longerSide` pixels on its longer side, as
    // `render` draws it; a null image while the document is not decoded.
    [[nodiscard]] QImage drawPicture(int longerSide) const;
    // The split between the picture and the piece list, for the next run.
    [[nodiscard]] QByteArray layoutState() const;
    void restoreLayout(const QByteArray& state);

private:
    void buildControls();
    void refresh();
    void rebuildScene();
    void showSelection();
    void updateEditors();
    void showRepairs();
    bool eventFilter(QObject* watched, QEvent* event) override;

    TrackDesignDocument& m_document;
    TrackCommands& m_commands;
    TrackConstructionCommands* m_construction = nullptr;
    TrackWalk m_walk;
    TrackCollisions m_collisionsFound;
    std::vector<std::uint8_t> m_closingRun; // what the Close Circuit button builds
    TrackView m_view = TrackView::Iso;
    int m_turns = 0;
    bool m_selecting = false;
    bool m_listChoosing = false; // the rows change because the user chose them in the list

    QStackedWidget* m_pages = nullptr;
    TrackPictureView* m_picture = nullptr;
    QButtonGroup* m_views = nullptr;
    QToolButton* m_turn = nullptr;
    QSplitter* m_split = nullptr;
    QLabel* m_statistics = nullptr;
    QLabel* m_summary = nullptr;
    QLabel* m_warning = nullptr;
    QLabel* m_closeHint = nullptr;
    QPushButton* m_closeButton = nullptr;
    QLabel* m_collisions = nullptr;
    QTableView* m_table = nullptr;
    TrackPieceModel* m_model = nullptr;
    QPushButton* m_chain = nullptr;
    QComboBox* m_scheme = nullptr;
    QSpinBox* m_speed = nullptr;
    QCheckBox* m_stationBit = nullptr;
};

} // namespace railwright

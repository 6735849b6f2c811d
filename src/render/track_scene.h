#pragma once

#include "codec/track_pieces.h"

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QTransform>
#include <array>
#include <optional>
#include <vector>

class QPainter;

namespace railwright {

enum class TrackView
{
    Plan, // from above: tile x to the right, tile y down, shaded by height
    Side, // height along the track
    Iso,  // the game's isometric projection, turnable by quarter turns
};

// The track colours of each of the four schemes (the base layout has one set, used for
// all four). A byte outside the palette draws grey.
struct TrackColors
{
    std::array<QColor, 4> spine;
    std::array<QColor, 4> rail;
    std::array<QColor, 4> supports;
};
[[nodiscard]] TrackColors ReadTrackColors(ByteView record, RecordLayout layout);

// A design's track laid out for one view: every piece as a path in scene coordinates
// (units of 32 per tile; y down), the tiles beneath it, and the marks for stations,
// chain lifts and the start. Built once, painted at any scale, and asked which piece
// lies under a point. Pieces the walk skipped have no path.
class TrackScene
{
public:
    TrackScene(const TrackList& list, const TrackWalk& walk, const TrackColors& colors,
               TrackView view, int quarterTurns = 0);

    [[nodiscard]] TrackView view() const { return m_view; }
    // The scene's extent; an empty track gives a small square around the origin.
    [[nodiscard]] QRectF bounds() const { return m_bounds; }
    // Scene to pixels for a picture of `size`: the scene centred with `margin` pixels
    // around it, one scale on both axes (the side view fills each axis on its own).
    [[nodiscard]] QTransform fitTransform(const QSizeF& size, double margin) const;

    // Paints with `toDevice` mapping scene to device; pieces (a maze's entries) whose
    // flag is set in `highlighted` (may be shorter than the list) are drawn marked.
    void paint(QPainter& painter, const QTransform& toDevice,
               const std::vector<bool>& highlighted = {}) const;

    // The piece whose path passes nearest to `scenePoint`, within `tolerance` scene
    // units, or for a maze the entry whose tile holds it; nothing when none is there.
    [[nodiscard]] std::optional<std::size_t> pieceAt(QPointF scenePoint, double tolerance) const;

private:
    struct PiecePath
    {
        std::size_t piece = 0;
        std::vector<QPointF> points; // scene coordinates
        double depth = 0;            // iso: larger is nearer the viewer
        double topZ = 0;             // height of the first point, units
        int scheme = 0;
        bool chain = false;
        bool station = false;
    };
    // Consecutive pieces of one style drawn as one line: in the iso view these are
    // drawn farthest first.
    struct Stroke
    {
        std::size_t begin = 0; // range of m_paths
        std::size_t end = 0;
        double depth = 0;
    };
    struct Tile
    {
        QPointF centre; // plan coordinates before projection
        int z = 0;
    };

    void layOutTrack(const TrackList& list, const TrackWalk& walk);
    void layOutMaze(const TrackList& list);
    void groupStrokes();
    // The device points of m_paths[begin, end), one line, points closer than a fraction
    // of a pixel to the last one kept left out.
    void mapPaths(std::size_t begin, std::size_t end, const QTransform& toDevice,
                  QPolygonF& polygon) const;
    [[nodiscard]] QPointF project(double x, double y, double z) const;
    void paintGround(QPainter& painter, const QTransform& toDevice) const;
    void paintTrack(QPainter& painter, const QTransform& toDevice,
                    const std::vector<bool>& highlighted) const;
    void paintMaze(QPainter& painter, const QTransform& toDevice,
                   const std::vector<bool>& highlighted) const;
    [[nodiscard]] std::optional<std::size_t> mazeEntryAt(QPointF scenePoint) const;
    void paintStart(QPainter& painter, const QTransform& toDevice, double width) const;

    TrackView m_view;
    int m_turns;
    TrackColors m_colors;
    QRectF m_bounds;
    std::vector<PiecePath> m_paths; // in track order
    std::vector<Stroke> m_strokes;  // in drawing order
    std::vector<Tile> m_tiles;
    std::vector<MazeEntry> m_maze;
    int m_minZ = 0;
    int m_maxZ = 0;
    std::optional<std::array<QPointF, 2>> m_start; // point and a point ahead, scene
};

} // namespace railwright

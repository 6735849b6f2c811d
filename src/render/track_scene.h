#pragma once

#include "codec/record_layout.h"
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

struct VehicleColors
{
    QColor body;
    QColor trim;
};

// Everything a picture shows of a ride: its track colours, its vehicles' colours and
// scheme, its trains, and whether they hang beneath the track.
struct RideLook
{
    TrackColors track;
    std::array<VehicleColors, record::VehicleEntryCount> vehicles;
    int vehicleScheme = record::SchemeAllSame;
    int trains = 0; // none drawn without trains or cars
    int carsPerTrain = 0;
    bool hangs = false;

    // The colours of car `car` of train `train`, as the vehicle colour scheme picks the
    // entry: the first for all, one a train, or one a car.
    [[nodiscard]] const VehicleColors& carColors(int train, int car) const;
};
// Trains and cars outside the game's 1 to 12 are drawn as the nearest of 0 to 12.
[[nodiscard]] RideLook ReadRideLook(ByteView record, RecordLayout layout);

// What the scene draws, for those who count it: a car of a train, and a support.
struct SceneCar
{
    std::size_t piece = 0;
    int train = 0;
    int car = 0;
    QPointF centre; // scene coordinates
    QColor body;
    QColor trim;
};
struct SceneSupport
{
    std::size_t piece = 0;
    double trackZ = 0; // height of the track it holds, units
    double lowZ = 0;   // its lowest and highest points
    double highZ = 0;
};

// A design's ride laid out for one view: every piece as a path in scene coordinates
// (units of 32 per tile; y down) with its two rails banked as the piece leans, the tiles
// beneath it, its supports, the trains at the station, and the marks for stations,
// chain lifts and the start. Built once, painted at any scale, and asked which piece
// lies under a point. Pieces the walk skipped have no path.
class TrackScene
{
public:
    TrackScene(const TrackList& list, const TrackWalk& walk, const RideLook& look, TrackView view,
               int quarterTurns = 0);
    // The track alone, without trains.
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

    // The open end of a track that does not close: where the next piece would begin and
    // one tile on along its heading, scene coordinates; nothing for a closed or empty one.
    struct OpenEnd
    {
        QPointF at;
        QPointF next;
    };
    [[nodiscard]] std::optional<OpenEnd> openEnd() const { return m_openEnd; }
    // The middle of a piece's path; nothing for a piece the walk skipped.
    [[nodiscard]] std::optional<QPointF> pieceCentre(std::size_t piece) const;

    // The cars drawn, front car of the first train first, and the supports.
    [[nodiscard]] const std::vector<SceneCar>& cars() const { return m_cars; }
    [[nodiscard]] const std::vector<SceneSupport>& supports() const { return m_supports; }
    // How far a piece's left and right rail lie above its centre line halfway along it,
    // units (negative: below); nothing for a piece the walk skipped.
    [[nodiscard]] std::optional<std::array<double, 2>> railHeights(std::size_t piece) const;

private:
    struct PiecePath
    {
        std::size_t piece = 0;
        std::vector<QPointF> points; // the centre line, scene coordinates
        // Per point: where the left and the right rail lie from it, scene units; painted
        // farther out when a picture is too small to keep them apart.
        std::vector<std::array<QPointF, 2>> rails;
        double depth = 0; // iso: larger is nearer the viewer
        double topZ = 0;  // height of the first point, units
        std::array<double, 2> middleRailZ{};
        int scheme = 0;
        bool chain = false;
        bool station = false;
        bool upsideDown = false; // halfway along: the rails under the spine
    };
    // Consecutive pieces of one style drawn as one line, with their supports and the cars
    // on them: in the iso view these are drawn farthest first.
    struct Stroke
    {
        std::size_t begin = 0; // range of m_paths
        std::size_t end = 0;
        std::size_t carBegin = 0; // range of m_carShapes
        std::size_t carEnd = 0;
        std::size_t supportBegin = 0; // range of m_supportShapes
        std::size_t supportEnd = 0;
        double depth = 0;
    };
    struct Tile
    {
        QPointF centre; // plan coordinates before projection
        int z = 0;
    };
    // A support at a piece's start, scene coordinates: standing, a post from the ground to
    // the track and a cross-bar under it; hanging, a post beside the track rising above it
    // and an arm reaching over to hold it. The vectors other than `ground` are painted at
    // least long enough to reach past the rails.
    struct SupportShape
    {
        std::size_t path = 0;
        QPointF anchor; // where it holds the track
        QPointF ground; // from the anchor straight down to the ground
        QPointF rise;   // hanging: from the anchor up to the arm
        QPointF side;   // standing: half the cross-bar; hanging: out to the post
    };
    // A car: its place on the track and its axes, scene units.
    struct CarShape
    {
        std::size_t path = 0;
        QPointF track;  // the centre line beneath (or above) the car
        QPointF up;     // the track's up, per unit
        QPointF lift;   // from there to the car's centre
        QPointF ahead;  // half the car's length
        QPointF across; // half its width and height
        QColor body;
        QColor trim;
    };

    struct TrackSample;

    void layOutTrack(const TrackList& list, const TrackWalk& walk, const RideLook& look);
    // The trains on the track, from points along it (`circuit`: the track closes, so a
    // queue of trains may run on past its start).
    void placeTrains(const std::vector<TrackSample>& samples, const RideLook& look, bool circuit);
    void layOutMaze(const TrackList& list);
    void groupStrokes();
    // The device points of m_paths[begin, end), one line, points closer than a fraction
    // of a pixel to the last one kept left out; `rail` 0 or 1 for a rail (its offsets
    // times `spread`), -1 for the centre line.
    void mapPaths(std::size_t begin, std::size_t end, const QTransform& toDevice,
                  QPolygonF& polygon, int rail = -1, double spread = 1) const;
    [[nodiscard]] QPointF project(double x, double y, double z) const;
    // How much farther out than true the rails, supports and cars are painted at this
    // scale, so that every colour keeps some pixels of its own.
    [[nodiscard]] double spreadFor(const QTransform& toDevice) const;
    void paintGround(QPainter& painter, const QTransform& toDevice) const;
    void paintTrack(QPainter& painter, const QTransform& toDevice,
                    const std::vector<bool>& highlighted) const;
    void paintMaze(QPainter& painter, const QTransform& toDevice,
                   const std::vector<bool>& highlighted) const;
    [[nodiscard]] std::optional<std::size_t> mazeEntryAt(QPointF scenePoint) const;
    // Supports whose flag in `kept` is set; arms and cross-bars at least `reach` pixels.
    void paintSupports(QPainter& painter, const QTransform& toDevice, const Stroke& stroke,
                       const std::vector<bool>& kept, double reach, double width) const;
    // Cars at least `clearance` pixels plus their half height off the centre line.
    void paintCars(QPainter& painter, const QTransform& toDevice, const Stroke& stroke,
                   double spread, double clearance) const;
    // The start mark, `size` pixels, `beside` pixels right of the track's centre line.
    void paintStart(QPainter& painter, const QTransform& toDevice, double size,
                    double beside) const;

    TrackView m_view;
    int m_turns;
    TrackColors m_colors;
    bool m_hangs = false;
    QRectF m_bounds;
    std::vector<PiecePath> m_paths; // in track order
    std::vector<Stroke> m_strokes;  // in drawing order
    std::vector<Tile> m_tiles;
    std::vector<MazeEntry> m_maze;
    std::vector<SupportShape> m_supportShapes; // in track order
    std::vector<CarShape> m_carShapes;         // in track order
    std::vector<SceneCar> m_cars;              // front car of the first train first
    std::vector<SceneSupport> m_supports;
    int m_minZ = 0;
    int m_maxZ = 0;
    std::optional<std::array<QPointF, 2>> m_start; // point and a point ahead, scene
    std::optional<OpenEnd> m_openEnd;
};

} // namespace railwright

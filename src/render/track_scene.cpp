#include "track_scene.h"

#include "codec/palette.h"
#include "codec/record_fields.h"
#include "codec/record_layout.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <tuple>
#include <unordered_set>

namespace railwright {

namespace {

constexpr double Half = TileUnits / 2.0;
// Samples along a piece that bends, climbs over its ends (a loop), turns around or rolls
// over.
constexpr int CurveSamples = 9;
constexpr int LoopSamples = 17;
// Units a piece must rise above its ends to be drawn as a loop.
constexpr double LoopRise = 48;
// The track's build, units: rails this far either side of the centre line and this far
// above the spine, the spine and rail widths, and how far a bank leans.
constexpr double Gauge = 6;
constexpr double RailRise = 2;
constexpr double SpineUnits = 4;
constexpr double RailUnits = 1.6;
constexpr double SupportUnits = 1.5;
constexpr double PlatformUnits = 26;
constexpr double BankAngle = 40 * M_PI / 180;
// Supports: a standing one's cross-bar reaches past the rails; a hanging one's arm is this
// far above the track and its post this far to the side.
constexpr double CrossBar = 9;
constexpr double HangerRise = 28;
constexpr double PostOffset = 18;
// A ride that hangs beneath its track keeps the ground this far under its lowest point,
// clear of the cars hanging there.
constexpr int HangingClearance = 24;
// Cars, units: one every CarPitch along the track, a train's length apart between trains.
constexpr double CarPitch = 24;
constexpr double CarHalfLength = 10;
constexpr double CarHalfWidth = 9;
constexpr double CarHalfHeight = 4;
constexpr double CarLift = RailRise + CarHalfHeight + 1;
// Smallest sizes in pixels: rails this far from the spine keep the spine visible between
// them; no line thinner than a pixel; a car long and wide enough for its trim to show.
constexpr double MinGaugePixels = 3.5;
constexpr double MinRisePixels = 3;
constexpr double MinSpinePixels = 2;
constexpr double MinCarHalfLength = 3;
constexpr double MinCarHalfWidth = 2.5;
constexpr double MinTrimHalfWidth = 1;
// Supports nearer than this many pixels to one already drawn are left out.
constexpr double SupportGap = 5;
// Pieces in one line at most: in the iso view a line is drawn whole in front of or
// behind the others, so there lines are short; elsewhere long lines draw faster.
constexpr std::size_t MaxIsoStrokePieces = 6;
constexpr std::size_t MaxStrokePieces = 48;
// Device points nearer than this to the last one drawn are left out.
constexpr double PixelStep = 0.7;
constexpr double ThinLine = 2;
constexpr double RoundJoinWidth = 4;
const QColor Ground(232, 236, 224);
const QColor GroundEdge(196, 204, 186);
const QColor LowTile(214, 206, 184);
const QColor HighTile(120, 104, 86);
const QColor HighlightColor(255, 214, 0);
const QColor StationColor(236, 236, 236);
const QColor StationEdge(70, 70, 70);
const QColor ChainColor(20, 20, 20);
const QColor Hedge(40, 110, 40);
const QColor MazeFloor(214, 200, 160);
const QColor EntranceColor(40, 90, 220);
const QColor ExitColor(230, 120, 20);

// Unit vectors of headings 0-7 in plan units.
QPointF HeadingVector(int heading)
{
    static const std::array<QPointF, 8> vectors = {QPointF(-1, 0),
                                                   QPointF(0, 1),
                                                   QPointF(1, 0),
                                                   QPointF(0, -1),
                                                   QPointF(-M_SQRT1_2, M_SQRT1_2),
                                                   QPointF(M_SQRT1_2, M_SQRT1_2),
                                                   QPointF(M_SQRT1_2, -M_SQRT1_2),
                                                   QPointF(-M_SQRT1_2, -M_SQRT1_2)};
    return vectors[std::size_t(heading & 7)];
}

QColor PaletteOrGrey(ByteView record, std::size_t offset)
{
    if (offset >= record.size() || record[offset] >= PaletteRgb.size()) {
        return QColor(128, 128, 128);
    }
    const auto& rgb = PaletteRgb[record[offset]];
    return QColor(rgb[0], rgb[1], rgb[2]);
}

QColor Mix(const QColor& a, const QColor& b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return QColor(int(a.red() + (b.red() - a.red()) * t),
                  int(a.green() + (b.green() - a.green()) * t),
                  int(a.blue() + (b.blue() - a.blue()) * t));
}

double Length(QPointF v)
{
    return std::hypot(v.x(), v.y());
}

double ScaleOf(const QTransform& t)
{
    return std::max(std::hypot(t.m11(), t.m12()), 1e-9);
}

// A pen `width` pixels wide. Thin lines go through Qt's fast path for one-pixel lines, and
// round caps and joins, which cost more, only show on thick ones.
QPen RoundPen(const QColor& color, double width)
{
    if (width < ThinLine) {
        width = 1;
    }
    QPen pen(color, width, Qt::SolidLine, width < RoundJoinWidth ? Qt::FlatCap : Qt::RoundCap,
             width < RoundJoinWidth ? Qt::BevelJoin : Qt::RoundJoin);
    pen.setCosmetic(true);
    return pen;
}

// The smallest rectangle holding every point added (QRectF::united skips empty ones).
class Extent
{
public:
    void add(QPointF p)
    {
        if (m_any) {
            m_min = QPointF(std::min(m_min.x(), p.x()), std::min(m_min.y(), p.y()));
            m_max = QPointF(std::max(m_max.x(), p.x()), std::max(m_max.y(), p.y()));
        } else {
            m_min = m_max = p;
            m_any = true;
        }
    }
    [[nodiscard]] bool any() const { return m_any; }
    [[nodiscard]] QRectF rect() const { return QRectF(m_min, m_max); }

private:
    QPointF m_min;
    QPointF m_max;
    bool m_any = false;
};

double SegmentDistance(QPointF p, QPointF a, QPointF b)
{
    const QPointF ab = b - a;
    const double lengthSquared = QPointF::dotProduct(ab, ab);
    const double t = lengthSquared > 0
                         ? std::clamp(QPointF::dotProduct(p - a, ab) / lengthSquared, 0.0, 1.0)
                         : 0.0;
    return Length(p - (a + ab * t));
}

// A point or a direction: plan units and height.
struct Vec3
{
    double x = 0;
    double y = 0;
    double z = 0;

    Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3 operator*(double k) const { return {x * k, y * k, z * k}; }
};

Vec3 Cross(const Vec3& a, const Vec3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vec3 Unit(const Vec3& v, const Vec3& fallback)
{
    const double norm = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return norm > 1e-9 ? v * (1 / norm) : fallback;
}

double RollAngle(TrackRoll roll)
{
    switch (roll) {
    case TrackRoll::None:
        break;
    case TrackRoll::Left:
        return BankAngle;
    case TrackRoll::Right:
        return -BankAngle;
    case TrackRoll::UpsideDown:
        return M_PI;
    }
    return 0;
}

QPointF Lerp(QPointF a, QPointF b, double t)
{
    return a + (b - a) * t;
}

// A vector of scene units in device pixels.
QPointF MapVector(const QTransform& t, QPointF v)
{
    return {t.m11() * v.x() + t.m21() * v.y(), t.m12() * v.x() + t.m22() * v.y()};
}

QPointF AtLeast(QPointF v, double length, QPointF fallback)
{
    const double current = Length(v);
    if (current < 1e-6) {
        return fallback * length;
    }
    return current < length ? v * (length / current) : v;
}

// Lines under two pixels go without smoothing: one solid pixel keeps its colour where a
// smoothed one would only tint its neighbours.
void SetLinePen(QPainter& painter, const QColor& color, double width)
{
    painter.setRenderHint(QPainter::Antialiasing, width >= ThinLine);
    painter.setPen(RoundPen(color, width));
}

RideLook TrackOnly(const TrackColors& colors)
{
    RideLook look;
    look.track = colors;
    return look;
}

} // namespace

// Where the track is at one point of its centre line, for the cars: the point, how far
// along the track, and the track's directions (per unit) in the scene.
struct TrackScene::TrackSample
{
    Vec3 at;
    double arc = 0;
    QPointF scene;
    QPointF ahead;
    QPointF left; // towards the left rail
    QPointF up;   // from the spine towards the rails
    std::size_t path = 0;
};

TrackColors ReadTrackColors(ByteView record, RecordLayout layout)
{
    TrackColors colors;
    for (std::size_t s = 0; s < record::TrackColorSchemeCount; ++s) {
        const bool expansion = layout == RecordLayout::Expansion;
        colors.spine[s] = PaletteOrGrey(record, expansion ? record::TrackSpineColors + s
                                                          : record::TrackSpineColor);
        colors.rail[s] =
            PaletteOrGrey(record, expansion ? record::TrackRailColors + s : record::TrackRailColor);
        colors.supports[s] = PaletteOrGrey(record, expansion ? record::TrackSupportColors + s
                                                             : record::TrackSupportColor);
    }
    return colors;
}

const VehicleColors& RideLook::carColors(int train, int car) const
{
    int entry = 0;
    if (vehicleScheme == record::SchemeTrainsDiffer) {
        entry = train;
    } else if (vehicleScheme == record::SchemeCarsDiffer) {
        entry = car;
    }
    return vehicles[std::size_t(std::max(entry, 0)) % vehicles.size()];
}

RideLook ReadRideLook(ByteView record, RecordLayout layout)
{
    RideLook look;
    look.track = ReadTrackColors(record, layout);
    for (std::size_t v = 0; v < look.vehicles.size(); ++v) {
        look.vehicles[v] = {PaletteOrGrey(record, record::BodyColorFields[v].offset),
                            PaletteOrGrey(record, record::TrimColorFields[v].offset)};
    }
    look.vehicleScheme =
        StoredValue(record, record::VehicleColorSchemeField).value_or(record::SchemeAllSame);
    look.trains = std::clamp(StoredValue(record, record::NumTrainsField).value_or(0), 0,
                             record::MaxTrainsOrCars);
    look.carsPerTrain = std::clamp(StoredValue(record, record::CarsPerTrainField).value_or(0), 0,
                                   record::MaxTrainsOrCars);
    const std::optional<int> ride = StoredValue(record, record::RideTypeField);
    look.hangs = ride && RideHangsBeneathTrack(std::uint8_t(*ride));
    return look;
}

TrackScene::TrackScene(const TrackList& list, const TrackWalk& walk, const TrackColors& colors,
                       TrackView view, int quarterTurns)
    : TrackScene(list, walk, TrackOnly(colors), view, quarterTurns)
{
}

TrackScene::TrackScene(const TrackList& list, const TrackWalk& walk, const RideLook& look,
                       TrackView view, int quarterTurns)
    : m_view(view), m_turns(quarterTurns & 3), m_colors(look.track), m_hangs(look.hangs)
{
    if (list.maze) {
        layOutMaze(list);
    } else {
        layOutTrack(list, walk, look);
    }
    if (m_bounds.width() <= 0 && m_bounds.height() <= 0) {
        m_bounds = QRectF(-TileUnits, -TileUnits, 2 * TileUnits, 2 * TileUnits);
    }
}

std::optional<QPointF> TrackScene::pieceCentre(std::size_t piece) const
{
    const auto found = std::lower_bound(
        m_paths.begin(), m_paths.end(), piece,
        [](const PiecePath& path, std::size_t wanted) { return path.piece < wanted; });
    if (found == m_paths.end() || found->piece != piece || found->points.empty()) {
        return std::nullopt;
    }
    return found->points[found->points.size() / 2];
}

QPointF TrackScene::project(double x, double y, double z) const
{
    switch (m_view) {
    case TrackView::Plan:
    case TrackView::Side:
        return {x, y};
    case TrackView::Iso:
        break;
    }
    for (int q = 0; q < m_turns; ++q) {
        const double oldX = x;
        x = y;
        y = -oldX;
    }
    return {y - x, (x + y) / 2 - z};
}

void TrackScene::layOutTrack(const TrackList& list, const TrackWalk& walk, const RideLook& look)
{
    const std::size_t count = list.pieces.size();
    if (walk.hasTiles) {
        m_minZ = walk.footprint.minZ - (m_hangs ? HangingClearance : 0);
        m_maxZ = walk.footprint.maxZ;
    }
    m_paths.reserve(count);
    m_supportShapes.reserve(count);
    std::vector<TrackSample> samples;
    samples.reserve(count * 3);
    double along = 0; // side view: plan distance so far
    Extent extent;
    const auto include = [&extent](QPointF p) { extent.add(p); };
    std::vector<Vec3> at;
    for (std::size_t i = 0; i < count && i + 1 < walk.firstTile.size(); ++i) {
        const std::size_t first = walk.firstTile[i];
        const std::size_t last = walk.firstTile[i + 1];
        if (first == last) {
            continue; // skipped by the walk
        }
        const TrackPiece& piece = list.pieces[i];
        const TrackPieceShape* shape = FindTrackPiece(piece.code);
        // The flag turns a whole piece over (a flying coaster's riders on their backs).
        const double turnedOver = piece.inverted() ? M_PI : 0;
        const double rollStart = (shape != nullptr ? RollAngle(shape->rollStart) : 0) + turnedOver;
        const double rollEnd = (shape != nullptr ? RollAngle(shape->rollEnd) : 0) + turnedOver;
        const TrackPosition& from = walk.starts[i];
        const TrackPosition& to = i + 1 < walk.starts.size() ? walk.starts[i + 1] : walk.end;
        const QPointF s(from.x * TileUnits + Half, from.y * TileUnits + Half);
        const QPointF e(to.x * TileUnits + Half, to.y * TileUnits + Half);
        int topZ = std::max(from.z, to.z);
        for (std::size_t t = first; t < last; ++t) {
            topZ = std::max(topZ, walk.tiles[t].z);
            m_tiles.push_back(
                {QPointF(walk.tiles[t].x * TileUnits + Half, walk.tiles[t].y * TileUnits + Half),
                 walk.tiles[t].z});
        }
        // Over a loop the path rises above both its ends.
        const double bump = topZ - std::max(from.z, to.z);
        const QPointF d0 = HeadingVector(from.heading);
        const QPointF d1 = HeadingVector(to.heading);
        const QPointF chord = e - s;
        const double cross = chord.x() * d0.y() - chord.y() * d0.x();
        const bool straight = from.heading == to.heading && std::abs(cross) < 1e-6 &&
                              QPointF::dotProduct(chord, d0) > 0 && bump <= 0;
        // A piece that rises well above both ends is a loop: drawn as one, forward, up,
        // back over the top and down beyond (a loop's radius is half its rise).
        const double radius = bump >= LoopRise ? bump / 2 : 0;
        const bool rolls = std::abs(rollEnd - rollStart) > M_PI / 2;
        const int sampleCount = radius > 0 ? LoopSamples : straight && !rolls ? 2 : CurveSamples;
        const double handle = std::max(Half, Length(chord) / 2);
        const QPointF c1 = s + d0 * handle;
        const QPointF c2 = e - d1 * handle;
        PiecePath path;
        path.piece = i;
        path.topZ = from.z;
        path.scheme = piece.scheme();
        path.chain = piece.chainLift();
        path.station = piece.isStation();
        path.points.reserve(std::size_t(sampleCount));
        path.rails.reserve(std::size_t(sampleCount));
        at.clear();
        QPointF previous = s;
        double travelled = 0; // plan distance along this piece
        QPointF middle;
        for (int k = 0; k < sampleCount; ++k) {
            const double t = double(k) / (sampleCount - 1);
            const double u = 1 - t;
            QPointF p = straight ? s + chord * t
                                 : s * (u * u * u) + c1 * (3 * u * u * t) + c2 * (3 * u * t * t) +
                                       e * (t * t * t);
            travelled += Length(p - previous);
            previous = p;
            double z = from.z + (to.z - from.z) * t;
            double ahead = 0;
            if (radius > 0) {
                ahead = radius * std::sin(2 * M_PI * t);
                z += radius * (1 - std::cos(2 * M_PI * t));
            } else {
                z += bump * std::sin(M_PI * t);
            }
            const QPointF inSpace = p + d0 * ahead;
            at.push_back({inSpace.x(), inSpace.y(), z});
            // From above a loop is a straight line over its tiles.
            const QPointF drawn = m_view == TrackView::Plan ? p : inSpace;
            const QPointF scene = m_view == TrackView::Side ? QPointF(along + travelled + ahead, -z)
                                                            : project(drawn.x(), drawn.y(), z);
            if (k == sampleCount / 2) {
                middle = project(p.x(), p.y(), 0);
            }
            path.points.push_back(scene);
            // A plan shows the footprint's proportions: its extent is the tiles'.
            if (m_view != TrackView::Plan) {
                include(scene);
            }
        }
        // The track's frame at each point: ahead along the path, left across it level,
        // up from the spine; then rolled about the direction ahead.
        const Vec3 heading{d0.x(), d0.y(), 0};
        for (int k = 0; k < sampleCount; ++k) {
            const auto ku = std::size_t(k);
            const Vec3 ahead =
                Unit(at[std::min(ku + 1, at.size() - 1)] - at[ku > 0 ? ku - 1 : 0], heading);
            // A loop keeps one left all the way round; elsewhere left follows the bend.
            const Vec3 level = radius > 0 ? heading : Unit({ahead.x, ahead.y, 0}, heading);
            const Vec3 left{-level.y, level.x, 0};
            const Vec3 up = Unit(Cross(ahead, left), {0, 0, 1});
            const double roll = rollStart + (rollEnd - rollStart) * double(k) / (sampleCount - 1);
            const Vec3 rolledLeft = left * std::cos(roll) - up * std::sin(roll);
            const Vec3 rolledUp = up * std::cos(roll) + left * std::sin(roll);
            const auto toScene = [this, &level](const Vec3& v) {
                return m_view == TrackView::Side ? QPointF(v.x * level.x + v.y * level.y, -v.z)
                                                 : project(v.x, v.y, v.z);
            };
            const Vec3 leftRail = rolledUp * RailRise + rolledLeft * Gauge;
            const Vec3 rightRail = rolledUp * RailRise - rolledLeft * Gauge;
            path.rails.push_back({toScene(leftRail), toScene(rightRail)});
            if (k == sampleCount / 2) {
                path.middleRailZ = {leftRail.z, rightRail.z};
                path.upsideDown = rolledUp.z < 0;
            }
            TrackSample sample;
            sample.at = at[ku];
            sample.arc = samples.empty()
                             ? 0
                             : samples.back().arc + std::hypot(at[ku].x - samples.back().at.x,
                                                               at[ku].y - samples.back().at.y,
                                                               at[ku].z - samples.back().at.z);
            sample.scene = path.points[ku];
            sample.ahead = toScene(ahead);
            sample.left = toScene(rolledLeft);
            sample.up = toScene(rolledUp);
            sample.path = m_paths.size();
            samples.push_back(sample);
            if (k == 0) {
                // A support where the piece begins: from the ground up to the track, or
                // beside and over it for a ride that hangs beneath.
                SupportShape support;
                support.path = m_paths.size();
                support.anchor = path.points.front();
                support.ground = toScene({0, 0, double(m_minZ) - at[0].z});
                SceneSupport seen{i, at[0].z, double(m_minZ), at[0].z};
                if (m_hangs) {
                    support.rise = toScene({0, 0, HangerRise});
                    support.side = toScene(left * PostOffset);
                    seen.highZ += HangerRise;
                    if (m_view != TrackView::Plan) {
                        include(support.anchor + support.rise);
                    }
                } else {
                    support.side = toScene(rolledLeft * CrossBar);
                }
                m_supportShapes.push_back(support);
                m_supports.push_back(seen);
            }
        }
        along += travelled;
        if (m_view == TrackView::Side) {
            // A piece that only climbs still takes some room along the axis.
            along += Half / 4;
        }
        // Rotated plan position of the piece's middle: x + y grows toward the viewer.
        path.depth = m_view == TrackView::Iso ? middle.y() * 2 : 0;
        m_paths.push_back(std::move(path));
        if (m_paths.size() == 1) {
            m_start = {m_view == TrackView::Side ? QPointF(0, -from.z)
                                                 : project(s.x(), s.y(), from.z),
                       m_view == TrackView::Side
                           ? QPointF(Half, -from.z)
                           : project(s.x() + d0.x() * Half, s.y() + d0.y() * Half, from.z)};
        }
    }
    if (!walk.complete && !m_paths.empty()) {
        // Where the next piece would begin, and one tile on along the heading there.
        const QPointF e(walk.end.x * TileUnits + Half, walk.end.y * TileUnits + Half);
        const QPointF ahead = e + HeadingVector(walk.end.heading) * TileUnits;
        m_openEnd = m_view == TrackView::Side ? OpenEnd{QPointF(along, -walk.end.z),
                                                        QPointF(along + TileUnits, -walk.end.z)}
                                              : OpenEnd{project(e.x(), e.y(), walk.end.z),
                                                        project(ahead.x(), ahead.y(), walk.end.z)};
    }
    placeTrains(samples, look, walk.complete);
    // Cars hanging under a station on the ground stay in the picture.
    if (m_view != TrackView::Plan) {
        for (const CarShape& car : m_carShapes) {
            include(car.track + car.lift * 2);
        }
    }
    groupStrokes();
    // The ground beneath: one tile per place, the highest piece's height kept.
    std::sort(m_tiles.begin(), m_tiles.end(), [](const Tile& a, const Tile& b) {
        return std::make_tuple(a.centre.x(), a.centre.y(), a.z) <
               std::make_tuple(b.centre.x(), b.centre.y(), b.z);
    });
    std::vector<Tile> unique;
    unique.reserve(m_tiles.size());
    for (std::size_t t = 0; t < m_tiles.size(); ++t) {
        if (t + 1 == m_tiles.size() || m_tiles[t + 1].centre != m_tiles[t].centre) {
            unique.push_back(m_tiles[t]);
        }
    }
    std::sort(unique.begin(), unique.end(), [](const Tile& a, const Tile& b) { return a.z < b.z; });
    m_tiles = std::move(unique);
    if (m_view == TrackView::Side) {
        if (extent.any()) {
            include(QPointF(extent.rect().left(), -m_minZ));
        }
    } else {
        for (const Tile& tile : m_tiles) {
            for (const QPointF corner : {QPointF(-Half, -Half), QPointF(Half, Half),
                                         QPointF(-Half, Half), QPointF(Half, -Half)}) {
                const QPointF p = tile.centre + corner;
                include(project(p.x(), p.y(), m_minZ));
            }
        }
    }
    if (extent.any()) {
        m_bounds = extent.rect();
    }
}

void TrackScene::placeTrains(const std::vector<TrackSample>& samples, const RideLook& look,
                             bool circuit)
{
    if (samples.empty() || look.trains <= 0 || look.carsPerTrain <= 0) {
        return;
    }
    const double total = samples.back().arc;
    // The first train's front car at the end of the first station, the others queued
    // behind it a car apart; without a station the trains stand at the start.
    const double needed = (look.trains * (look.carsPerTrain + 1) - 1) * CarPitch;
    double front = std::min(total, needed);
    const auto station =
        std::find_if(m_paths.begin(), m_paths.end(), [](const PiecePath& p) { return p.station; });
    if (station != m_paths.end()) {
        auto end = station;
        while (end + 1 != m_paths.end() && (end + 1)->station &&
               (end + 1)->piece == end->piece + 1) {
            ++end;
        }
        const auto pathIndex = std::size_t(end - m_paths.begin());
        const auto last = std::find_if(samples.rbegin(), samples.rend(),
                                       [pathIndex](const auto& s) { return s.path == pathIndex; });
        front = last->arc;
    }
    for (int train = 0; train < look.trains; ++train) {
        for (int car = 0; car < look.carsPerTrain; ++car) {
            double arc = front - ((train * (look.carsPerTrain + 1) + car) + 0.5) * CarPitch;
            if (arc < 0 && circuit && total > 0) {
                arc = std::fmod(arc, total) + total;
            }
            arc = std::clamp(arc, 0.0, total);
            const auto next =
                std::upper_bound(samples.begin(), samples.end(), arc,
                                 [](double value, const TrackSample& s) { return value < s.arc; });
            const TrackSample& b = next == samples.end() ? samples.back() : *next;
            const TrackSample& a = next == samples.begin() ? b : *(next - 1);
            const double t = b.arc > a.arc ? (arc - a.arc) / (b.arc - a.arc) : 0;
            const QPointF up = Lerp(a.up, b.up, t);
            CarShape shape;
            shape.path = a.path;
            shape.track = Lerp(a.scene, b.scene, t);
            shape.up = up;
            shape.lift = up * (look.hangs ? -CarLift : CarLift);
            shape.ahead = Lerp(a.ahead, b.ahead, t) * CarHalfLength;
            shape.across = Lerp(a.left, b.left, t) * CarHalfWidth + up * CarHalfHeight;
            const VehicleColors& colors = look.carColors(train, car);
            shape.body = colors.body;
            shape.trim = colors.trim;
            m_cars.push_back({m_paths[a.path].piece, train, car, shape.track + shape.lift,
                              colors.body, colors.trim});
            m_carShapes.push_back(shape);
        }
    }
    std::stable_sort(m_carShapes.begin(), m_carShapes.end(),
                     [](const CarShape& a, const CarShape& b) { return a.path < b.path; });
}

void TrackScene::layOutMaze(const TrackList& list)
{
    m_maze = list.mazeEntries;
    Extent extent;
    for (const MazeEntry& entry : m_maze) {
        for (const QPointF corner : {QPointF(0, 0), QPointF(TileUnits, 0), QPointF(0, TileUnits),
                                     QPointF(TileUnits, TileUnits)}) {
            const QPointF p =
                project(entry.x * TileUnits + corner.x(), entry.y * TileUnits + corner.y(), 0);
            extent.add(p);
        }
    }
    if (extent.any()) {
        m_bounds = extent.rect();
    }
}

void TrackScene::groupStrokes()
{
    for (std::size_t i = 0; i < m_paths.size();) {
        Stroke stroke{i, i + 1};
        stroke.depth = m_paths[i].depth;
        const PiecePath& first = m_paths[i];
        const std::size_t most = m_view == TrackView::Iso ? MaxIsoStrokePieces : MaxStrokePieces;
        while (stroke.end < m_paths.size() && stroke.end - stroke.begin < most) {
            const PiecePath& next = m_paths[stroke.end];
            if (next.piece != m_paths[stroke.end - 1].piece + 1 || next.scheme != first.scheme ||
                next.chain != first.chain || next.station != first.station ||
                next.upsideDown != first.upsideDown) {
                break;
            }
            stroke.depth += next.depth;
            ++stroke.end;
        }
        stroke.depth /= double(stroke.end - stroke.begin);
        const auto byPath = [](const auto& shape, std::size_t path) { return shape.path < path; };
        stroke.carBegin = std::size_t(
            std::lower_bound(m_carShapes.begin(), m_carShapes.end(), stroke.begin, byPath) -
            m_carShapes.begin());
        stroke.carEnd = std::size_t(
            std::lower_bound(m_carShapes.begin(), m_carShapes.end(), stroke.end, byPath) -
            m_carShapes.begin());
        stroke.supportBegin = std::size_t(
            std::lower_bound(m_supportShapes.begin(), m_supportShapes.end(), stroke.begin, byPath) -
            m_supportShapes.begin());
        stroke.supportEnd = std::size_t(
            std::lower_bound(m_supportShapes.begin(), m_supportShapes.end(), stroke.end, byPath) -
            m_supportShapes.begin());
        m_strokes.push_back(stroke);
        i = stroke.end;
    }
    if (m_view == TrackView::Iso) {
        std::stable_sort(m_strokes.begin(), m_strokes.end(),
                         [](const Stroke& a, const Stroke& b) { return a.depth < b.depth; });
    }
}

void TrackScene::mapPaths(std::size_t begin, std::size_t end, const QTransform& toDevice,
                          QPolygonF& polygon, int rail, double spread) const
{
    polygon.clear();
    for (std::size_t i = begin; i < end; ++i) {
        const std::vector<QPointF>& points = m_paths[i].points;
        for (std::size_t k = 0; k < points.size(); ++k) {
            QPointF p = toDevice.map(points[k]);
            if (rail >= 0) {
                p += MapVector(toDevice, m_paths[i].rails[k][std::size_t(rail)]) * spread;
            }
            const bool last = i + 1 == end && k + 1 == points.size();
            if (polygon.isEmpty() || last ||
                std::abs(p.x() - polygon.constLast().x()) +
                        std::abs(p.y() - polygon.constLast().y()) >=
                    PixelStep) {
                polygon.append(p);
            }
        }
    }
}

double TrackScene::spreadFor(const QTransform& toDevice) const
{
    if (m_view == TrackView::Side) {
        return std::max(1.0, MinRisePixels / (RailRise * std::max(std::abs(toDevice.m22()), 1e-9)));
    }
    return std::max(1.0, MinGaugePixels / (Gauge * ScaleOf(toDevice)));
}

QTransform TrackScene::fitTransform(const QSizeF& size, double margin) const
{
    const double width = std::max(1.0, size.width() - 2 * margin);
    const double height = std::max(1.0, size.height() - 2 * margin);
    double sx = width / std::max(m_bounds.width(), 1.0);
    double sy = height / std::max(m_bounds.height(), 1.0);
    if (m_view != TrackView::Side || !m_maze.empty()) {
        sx = sy = std::min(sx, sy);
    }
    const QPointF centre = m_bounds.center();
    QTransform transform;
    transform.translate(size.width() / 2, size.height() / 2);
    transform.scale(sx, sy);
    transform.translate(-centre.x(), -centre.y());
    return transform;
}

void TrackScene::paint(QPainter& painter, const QTransform& toDevice,
                       const std::vector<bool>& highlighted) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    if (!m_maze.empty()) {
        paintMaze(painter, toDevice, highlighted);
    } else {
        paintGround(painter, toDevice);
        paintTrack(painter, toDevice, highlighted);
    }
    painter.restore();
}

void TrackScene::paintGround(QPainter& painter, const QTransform& toDevice) const
{
    if (m_view == TrackView::Side) {
        if (m_paths.empty()) {
            return;
        }
        // The ground under the lowest point, and the supports as a shade beneath the path.
        const double groundY = -m_minZ;
        QColor shade = m_colors.supports[0];
        shade.setAlpha(70);
        // The highest point over each pixel column, so the shade is one simple outline
        // however often the track loops back over itself.
        QPolygonF line;
        mapPaths(0, m_paths.size(), toDevice, line);
        const QPointF groundLeft = toDevice.map(QPointF(m_bounds.left(), groundY));
        const double left = std::floor(groundLeft.x());
        const double right = std::ceil(toDevice.map(QPointF(m_bounds.right(), groundY)).x());
        std::vector<double> top(std::size_t(std::max(1.0, right - left + 1)), groundLeft.y());
        for (qsizetype k = 0; k < line.size(); ++k) {
            const QPointF a = line[k];
            const QPointF b = line[std::min(k + 1, line.size() - 1)];
            const auto from = std::size_t(
                std::clamp(std::floor(std::min(a.x(), b.x())) - left, 0.0, double(top.size() - 1)));
            const auto to = std::size_t(
                std::clamp(std::ceil(std::max(a.x(), b.x())) - left, 0.0, double(top.size() - 1)));
            for (std::size_t c = from; c <= to; ++c) {
                top[c] = std::min(top[c], std::min(a.y(), b.y()));
            }
        }
        // One outline filled once costs far less than a line for each column.
        QPolygonF outline;
        outline.reserve(qsizetype(top.size()) + 2);
        outline.append(QPointF(left, groundLeft.y()));
        for (std::size_t c = 0; c < top.size(); ++c) {
            outline.append(QPointF(left + double(c) + 0.5, top[c]));
        }
        outline.append(QPointF(left + double(top.size()), groundLeft.y()));
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(Qt::NoPen);
        painter.setBrush(shade);
        painter.drawPolygon(outline);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(RoundPen(GroundEdge, 2));
        painter.drawLine(toDevice.map(QPointF(m_bounds.left(), groundY)),
                         toDevice.map(QPointF(m_bounds.right(), groundY)));
        return;
    }
    const double span = std::max(1, m_maxZ - m_minZ);
    painter.setPen(Qt::NoPen);
    // Tiles meet edge to edge: smoothing their edges would only cost time.
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const Tile& tile : m_tiles) {
        QPolygonF square;
        for (const QPointF corner : {QPointF(-Half, -Half), QPointF(Half, -Half),
                                     QPointF(Half, Half), QPointF(-Half, Half)}) {
            const QPointF p = tile.centre + corner;
            square.append(toDevice.map(project(p.x(), p.y(), m_minZ)));
        }
        painter.setBrush(m_view == TrackView::Plan
                             ? Mix(LowTile, HighTile, (tile.z - m_minZ) / span)
                             : GroundEdge);
        painter.drawPolygon(square);
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
}

void TrackScene::paintTrack(QPainter& painter, const QTransform& toDevice,
                            const std::vector<bool>& highlighted) const
{
    const double scale = ScaleOf(toDevice);
    const double spread = spreadFor(toDevice);
    double spine = std::clamp(scale * SpineUnits, MinSpinePixels, 12.0);
    double rail = std::clamp(scale * RailUnits, 1.0, 5.0);
    double post = std::clamp(scale * SupportUnits, 1.0, 5.0);
    double gauge = Gauge * scale * spread;   // pixels from the spine to a rail
    double rise = RailRise * scale * spread; // and above it
    if (m_view == TrackView::Side) {
        // The side view's scales differ by axis, and its pieces share its width: thick lines
        // would only smear a dense one. A one-pixel spine still shows, the rails running
        // above it rather than beside it.
        const double deviceHeight = painter.device() != nullptr ? painter.device()->height() : 256;
        const double deviceWidth = painter.device() != nullptr ? painter.device()->width() : 256;
        spine =
            std::clamp(std::min(deviceHeight / 80,
                                3 * deviceWidth / double(std::max<std::size_t>(m_paths.size(), 1))),
                       1.0, 5.0);
        rail = std::max(1.0, spine / 2);
        post = 1;
        gauge = RailRise * std::abs(toDevice.m22()) * spread;
        rise = gauge;
    }
    const double platform = std::max(scale * PlatformUnits, 2 * gauge + spine + 2);
    QPolygonF polygon;
    // Marks under everything, so that the pieces stay visible through them.
    for (std::size_t i = 0; i < m_paths.size(); ++i) {
        const std::size_t piece = m_paths[i].piece;
        if (piece < highlighted.size() && highlighted[piece]) {
            mapPaths(i, i + 1, toDevice, polygon);
            SetLinePen(painter, HighlightColor, 2 * gauge + spine * 2);
            painter.drawPolyline(polygon);
        }
    }
    // One support in each few pixels, chosen along the track so that every view and turn
    // keeps the same ones wherever they fall.
    std::vector<bool> kept(m_supportShapes.size(), false);
    std::unordered_set<std::int64_t> taken;
    for (std::size_t s = 0; s < m_supportShapes.size(); ++s) {
        const QPointF at = toDevice.map(m_supportShapes[s].anchor);
        const auto cell = std::int64_t(std::floor(at.x() / SupportGap)) * 1000003 +
                          std::int64_t(std::floor(at.y() / SupportGap));
        kept[s] = taken.insert(cell).second;
    }
    // Cars hang under the track, except from above where the train is what shows.
    const bool carsFirst = m_hangs && m_view != TrackView::Plan;
    for (const Stroke& stroke : m_strokes) {
        const PiecePath& style = m_paths[stroke.begin];
        const auto scheme = std::size_t(style.scheme & 3);
        // A cross-bar or an arm reaches past the rails.
        paintSupports(painter, toDevice, stroke, kept, gauge + rail + 1, post);
        mapPaths(stroke.begin, stroke.end, toDevice, polygon);
        if (style.station) {
            SetLinePen(painter, StationEdge, platform + 2);
            painter.drawPolyline(polygon);
            SetLinePen(painter, StationColor, platform);
            painter.drawPolyline(polygon);
        }
        if (carsFirst) {
            paintCars(painter, toDevice, stroke, spread, spine / 2);
        }
        // Rails over the spine, or under it where the track is upside down: the nearer
        // of the two is drawn last.
        QPolygonF rails[2];
        mapPaths(stroke.begin, stroke.end, toDevice, rails[0], 0, spread);
        mapPaths(stroke.begin, stroke.end, toDevice, rails[1], 1, spread);
        const auto paintRails = [&] {
            SetLinePen(painter, m_colors.rail[scheme], rail);
            painter.drawPolyline(rails[0]);
            painter.drawPolyline(rails[1]);
        };
        if (style.upsideDown) {
            paintRails();
        }
        SetLinePen(painter, m_colors.spine[scheme], spine);
        painter.drawPolyline(polygon);
        if (!style.upsideDown) {
            paintRails();
        }
        if (style.chain) {
            QPen chain(ChainColor, std::max(1.0, spine * 0.5), Qt::CustomDashLine, Qt::FlatCap);
            chain.setDashPattern({1.5, 1.5});
            chain.setCosmetic(true);
            painter.setRenderHint(QPainter::Antialiasing, true);
            painter.setPen(chain);
            painter.drawPolyline(polygon);
        }
        if (!carsFirst) {
            paintCars(painter, toDevice, stroke, spread, rise + rail / 2);
        }
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    paintStart(painter, toDevice, std::max(3.0, spine * 1.2), platform / 2);
}

void TrackScene::paintSupports(QPainter& painter, const QTransform& toDevice, const Stroke& stroke,
                               const std::vector<bool>& kept, double reach, double width) const
{
    QList<QLineF> lines;
    for (std::size_t s = stroke.supportBegin; s < stroke.supportEnd; ++s) {
        if (!kept[s]) {
            continue;
        }
        const SupportShape& support = m_supportShapes[s];
        const QPointF anchor = toDevice.map(support.anchor);
        const QPointF ground = MapVector(toDevice, support.ground);
        const QPointF side = AtLeast(MapVector(toDevice, support.side), reach, {});
        if (m_hangs) {
            // Up from the track, out to the post, and down the post to the ground.
            const QPointF top = anchor + AtLeast(MapVector(toDevice, support.rise), reach, {});
            lines.append({anchor, top});
            lines.append({top, top + side});
            lines.append({top + side, anchor + side + ground});
        } else {
            if (Length(ground) >= 0.5) {
                lines.append({anchor, anchor + ground});
            }
            if (Length(side) >= 0.5) {
                lines.append({anchor - side, anchor + side});
            }
        }
    }
    if (!lines.isEmpty()) {
        SetLinePen(painter, m_colors.supports[std::size_t(m_paths[stroke.begin].scheme & 3)],
                   width);
        painter.drawLines(lines);
    }
}

void TrackScene::paintCars(QPainter& painter, const QTransform& toDevice, const Stroke& stroke,
                           double spread, double clearance) const
{
    if (stroke.carBegin == stroke.carEnd) {
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    for (std::size_t c = stroke.carBegin; c < stroke.carEnd; ++c) {
        const CarShape& car = m_carShapes[c];
        const QPointF ahead =
            AtLeast(MapVector(toDevice, car.ahead), MinCarHalfLength, QPointF(1, 0));
        const double aheadLength = Length(ahead);
        const QPointF across = AtLeast(MapVector(toDevice, car.across) * spread, MinCarHalfWidth,
                                       QPointF(-ahead.y(), ahead.x()) / aheadLength);
        // Clear of the rails (or, hanging, of the spine) by the car's own height.
        const QPointF lift = MapVector(toDevice, car.lift);
        const double height = Length(MapVector(toDevice, car.up)) * CarHalfHeight * spread;
        const QPointF centre = toDevice.map(car.track) +
                               AtLeast(lift, clearance + std::max(height, MinCarHalfWidth), {});
        painter.setBrush(car.body);
        painter.drawPolygon(QPolygonF{centre + ahead + across, centre + ahead - across,
                                      centre - ahead - across, centre - ahead + across});
        // The trim a stripe along the car's middle.
        const double acrossLength = Length(across);
        const QPointF stripe = across * std::max(0.35, MinTrimHalfWidth / acrossLength);
        const QPointF length = ahead * 0.8;
        painter.setBrush(car.trim);
        painter.drawPolygon(QPolygonF{centre + length + stripe, centre + length - stripe,
                                      centre - length - stripe, centre - length + stripe});
    }
}

void TrackScene::paintStart(QPainter& painter, const QTransform& toDevice, double size,
                            double beside) const
{
    if (!m_start) {
        return;
    }
    QPointF at = toDevice.map((*m_start)[0]);
    QPointF ahead = toDevice.map((*m_start)[1]) - at;
    const double length = Length(ahead);
    ahead = length > 0 ? ahead / length : QPointF(1, 0);
    // Beside the track on its right, where it leaves the train in sight.
    const QPointF side(-ahead.y(), ahead.x());
    at += side * (beside + size);
    const QPointF tip = at + ahead * size * 2.2;
    painter.setPen(RoundPen(Qt::black, std::max(1.0, size * 0.2)));
    painter.setBrush(Qt::white);
    painter.drawPolygon(QPolygonF{tip, at + side * size, at - side * size});
    painter.setBrush(QColor(220, 30, 30));
    painter.drawEllipse(at, size * 0.7, size * 0.7);
}

void TrackScene::paintMaze(QPainter& painter, const QTransform& toDevice,
                           const std::vector<bool>& highlighted) const
{
    const double scale = ScaleOf(toDevice);
    const auto map = [this, &toDevice](const MazeEntry& entry, QPointF local) {
        return toDevice.map(
            project(entry.x * TileUnits + local.x(), entry.y * TileUnits + local.y(), 0));
    };
    painter.setPen(Qt::NoPen);
    for (std::size_t i = 0; i < m_maze.size(); ++i) {
        const MazeEntry& entry = m_maze[i];
        painter.setBrush(i < highlighted.size() && highlighted[i] ? HighlightColor
                         : entry.kind == MazeEntryKind::Entrance  ? EntranceColor
                         : entry.kind == MazeEntryKind::Exit      ? ExitColor
                                                                  : MazeFloor);
        painter.drawPolygon(QPolygonF{map(entry, {0, 0}), map(entry, {TileUnits, 0}),
                                      map(entry, {TileUnits, TileUnits}),
                                      map(entry, {0, TileUnits})});
    }
    // Each quarter of a tile: bits 0-2 hedges from its centre to its counter-clockwise
    // edge, its outer corner and its clockwise edge, bit 3 a hedge block at its centre;
    // the quarters run clockwise from the top-left one.
    const double hedgeWidth = std::clamp(scale * 5, 1.0, 12.0);
    painter.setPen(RoundPen(Hedge, hedgeWidth));
    const QPointF tileCentre(Half, Half);
    const std::array<QPointF, 4> quarter = {QPointF(-8, -8), QPointF(-16, -8), QPointF(-16, -16),
                                            QPointF(-8, -16)}; // centre, ccw edge, corner, cw edge
    for (const MazeEntry& entry : m_maze) {
        if (entry.kind != MazeEntryKind::Tile) {
            const QPointF centre = map(entry, tileCentre);
            const QPointF step = HeadingVector(entry.direction & 3) * Half;
            painter.setPen(RoundPen(Qt::white, hedgeWidth));
            painter.drawLine(centre, map(entry, tileCentre + step));
            painter.setPen(RoundPen(Hedge, hedgeWidth));
            continue;
        }
        for (int q = 0; q < 4; ++q) {
            const auto turn = [q](QPointF v) {
                for (int k = 0; k < q; ++k) {
                    v = QPointF(-v.y(), v.x());
                }
                return v;
            };
            const QPointF centre = tileCentre + turn(quarter[0]);
            for (int bit = 0; bit < 3; ++bit) {
                if ((entry.walls >> (4 * q + bit) & 1) != 0) {
                    painter.drawLine(map(entry, centre),
                                     map(entry, tileCentre + turn(quarter[std::size_t(bit) + 1])));
                }
            }
            if ((entry.walls >> (4 * q + 3) & 1) != 0) {
                painter.drawPoint(map(entry, centre));
            }
        }
    }
}

std::optional<std::size_t> TrackScene::pieceAt(QPointF scenePoint, double tolerance) const
{
    if (!m_maze.empty()) {
        return mazeEntryAt(scenePoint);
    }
    std::optional<std::size_t> best;
    double bestDistance = tolerance;
    // The nearest path wins; of equally near ones the later piece.
    for (const PiecePath& path : m_paths) {
        for (std::size_t k = 0; k + 1 < path.points.size(); ++k) {
            const double distance = SegmentDistance(scenePoint, path.points[k], path.points[k + 1]);
            if (distance <= bestDistance) {
                bestDistance = distance;
                best = path.piece;
            }
        }
    }
    return best;
}

std::optional<std::size_t> TrackScene::mazeEntryAt(QPointF scenePoint) const
{
    // The last entry drawn over the point: its tile lies on top.
    for (std::size_t i = m_maze.size(); i-- > 0;) {
        const MazeEntry& entry = m_maze[i];
        QPolygonF tile;
        for (const QPointF corner : {QPointF(0, 0), QPointF(TileUnits, 0),
                                     QPointF(TileUnits, TileUnits), QPointF(0, TileUnits)}) {
            tile << project(entry.x * TileUnits + corner.x(), entry.y * TileUnits + corner.y(), 0);
        }
        if (tile.containsPoint(scenePoint, Qt::OddEvenFill)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::array<double, 2>> TrackScene::railHeights(std::size_t piece) const
{
    const auto path = std::find_if(m_paths.begin(), m_paths.end(),
                                   [piece](const PiecePath& p) { return p.piece == piece; });
    if (path == m_paths.end()) {
        return std::nullopt;
    }
    return path->middleRailZ;
}

} // namespace railwright

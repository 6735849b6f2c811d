#include "track_scene.h"

#include "codec/palette.h"
#include "codec/record_layout.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <tuple>

namespace railwright {

namespace {

constexpr double Half = TileUnits / 2.0;
// Samples along a piece that bends, climbs over its ends (a loop) or turns around.
constexpr int CurveSamples = 9;
constexpr int LoopSamples = 17;
// Units a piece must rise above its ends to be drawn as a loop.
constexpr double LoopRise = 48;
constexpr double MinimumSpineWidth = 3.4;
// Pieces in one line at most: in the iso view a line is drawn whole in front of or
// behind the others.
constexpr std::size_t MaxStrokePieces = 12;
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
// round joins, which cost more, only show on thick ones.
QPen RoundPen(const QColor& color, double width)
{
    if (width < ThinLine) {
        width = 1;
    }
    QPen pen(color, width, Qt::SolidLine, Qt::RoundCap,
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

} // namespace

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

TrackScene::TrackScene(const TrackList& list, const TrackWalk& walk, const TrackColors& colors,
                       TrackView view, int quarterTurns)
    : m_view(view), m_turns(quarterTurns & 3), m_colors(colors)
{
    if (list.maze) {
        layOutMaze(list);
    } else {
        layOutTrack(list, walk);
    }
    if (m_bounds.width() <= 0 && m_bounds.height() <= 0) {
        m_bounds = QRectF(-TileUnits, -TileUnits, 2 * TileUnits, 2 * TileUnits);
    }
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

void TrackScene::layOutTrack(const TrackList& list, const TrackWalk& walk)
{
    const std::size_t count = list.pieces.size();
    if (walk.hasTiles) {
        m_minZ = walk.footprint.minZ;
        m_maxZ = walk.footprint.maxZ;
    }
    m_paths.reserve(count);
    double along = 0; // side view: plan distance so far
    Extent extent;
    const auto include = [&extent](QPointF p) { extent.add(p); };
    for (std::size_t i = 0; i < count && i + 1 < walk.firstTile.size(); ++i) {
        const std::size_t first = walk.firstTile[i];
        const std::size_t last = walk.firstTile[i + 1];
        if (first == last) {
            continue; // skipped by the walk
        }
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
        const int samples = straight ? 2 : radius > 0 ? LoopSamples : CurveSamples;
        const double handle = std::max(Half, Length(chord) / 2);
        const QPointF c1 = s + d0 * handle;
        const QPointF c2 = e - d1 * handle;
        PiecePath path;
        path.piece = i;
        path.topZ = from.z;
        path.scheme = list.pieces[i].scheme();
        path.chain = list.pieces[i].chainLift();
        path.station = list.pieces[i].isStation();
        path.points.reserve(std::size_t(samples));
        QPointF previous = s;
        double travelled = 0; // plan distance along this piece
        QPointF middle;
        for (int k = 0; k < samples; ++k) {
            const double t = double(k) / (samples - 1);
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
            // From above a loop is a straight line over its tiles.
            if (m_view != TrackView::Plan) {
                p += d0 * ahead;
            }
            const QPointF scene = m_view == TrackView::Side ? QPointF(along + travelled + ahead, -z)
                                                            : project(p.x(), p.y(), z);
            if (k == samples / 2) {
                middle = project(p.x(), p.y(), 0);
            }
            path.points.push_back(scene);
            // A plan shows the footprint's proportions: its extent is the tiles'.
            if (m_view != TrackView::Plan) {
                include(scene);
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
        Stroke stroke{i, i + 1, m_paths[i].depth};
        const PiecePath& first = m_paths[i];
        while (stroke.end < m_paths.size() && stroke.end - stroke.begin < MaxStrokePieces) {
            const PiecePath& next = m_paths[stroke.end];
            if (next.piece != m_paths[stroke.end - 1].piece + 1 || next.scheme != first.scheme ||
                next.chain != first.chain || next.station != first.station) {
                break;
            }
            stroke.depth += next.depth;
            ++stroke.end;
        }
        stroke.depth /= double(stroke.end - stroke.begin);
        m_strokes.push_back(stroke);
        i = stroke.end;
    }
    if (m_view == TrackView::Iso) {
        std::stable_sort(m_strokes.begin(), m_strokes.end(),
                         [](const Stroke& a, const Stroke& b) { return a.depth < b.depth; });
    }
}

void TrackScene::mapPaths(std::size_t begin, std::size_t end, const QTransform& toDevice,
                          QPolygonF& polygon) const
{
    polygon.clear();
    for (std::size_t i = begin; i < end; ++i) {
        const std::vector<QPointF>& points = m_paths[i].points;
        for (std::size_t k = 0; k < points.size(); ++k) {
            const QPointF p = toDevice.map(points[k]);
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
        QList<QLineF> columns;
        columns.reserve(qsizetype(top.size()));
        for (std::size_t c = 0; c < top.size(); ++c) {
            columns.append(
                QLineF(left + double(c) + 0.5, top[c], left + double(c) + 0.5, groundLeft.y()));
        }
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(shade, 1));
        painter.drawLines(columns);
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
    // The side view's scales differ by axis: its track is as thick as the picture allows.
    const double deviceHeight = painter.device() != nullptr ? painter.device()->height() : 256;
    const double deviceWidth = painter.device() != nullptr ? painter.device()->width() : 256;
    // The side view's pieces share its width: thick lines would only smear a dense one.
    const double width =
        m_view == TrackView::Side
            ? std::clamp(
                  std::min(deviceHeight / 50,
                           4 * deviceWidth / double(std::max<std::size_t>(m_paths.size(), 1))),
                  1.0, 6.0)
            : std::clamp(scale * TileUnits * 0.28, 1.5, 14.0);
    QPolygonF polygon;
    // Marks under everything, so that the pieces stay visible through them.
    for (std::size_t i = 0; i < m_paths.size(); ++i) {
        const std::size_t piece = m_paths[i].piece;
        if (piece < highlighted.size() && highlighted[piece]) {
            mapPaths(i, i + 1, toDevice, polygon);
            painter.setPen(RoundPen(HighlightColor, width * 2.6));
            painter.drawPolyline(polygon);
        }
    }
    QList<QLineF> supports;
    for (const Stroke& stroke : m_strokes) {
        const PiecePath& style = m_paths[stroke.begin];
        const auto scheme = std::size_t(style.scheme & 3);
        if (m_view == TrackView::Iso) {
            // A support from each piece's start straight down to the lowest ground.
            supports.clear();
            for (std::size_t i = stroke.begin; i < stroke.end; ++i) {
                if (m_paths[i].topZ > m_minZ) {
                    const QPointF top = toDevice.map(m_paths[i].points.front());
                    supports.append(QLineF(top, top + QPointF(0, (m_paths[i].topZ - m_minZ) *
                                                                     std::abs(toDevice.m22()))));
                }
            }
            painter.setPen(RoundPen(m_colors.supports[scheme], std::max(1.0, width * 0.35)));
            painter.drawLines(supports);
        }
        mapPaths(stroke.begin, stroke.end, toDevice, polygon);
        if (style.station) {
            painter.setPen(RoundPen(StationEdge, width * 2.4));
            painter.drawPolyline(polygon);
            painter.setPen(RoundPen(StationColor, width * 1.8));
            painter.drawPolyline(polygon);
        }
        painter.setPen(RoundPen(m_colors.rail[scheme], width));
        painter.drawPolyline(polygon);
        // A spine thinner than a pixel and a half would only blur the rail.
        if (width >= MinimumSpineWidth) {
            painter.setPen(RoundPen(m_colors.spine[scheme], width * 0.45));
            painter.drawPolyline(polygon);
        }
        if (style.chain) {
            QPen chain(ChainColor, std::max(1.0, width * 0.4), Qt::CustomDashLine, Qt::FlatCap);
            chain.setDashPattern({1.5, 1.5});
            chain.setCosmetic(true);
            painter.setPen(chain);
            painter.drawPolyline(polygon);
        }
    }
    paintStart(painter, toDevice, width);
}

void TrackScene::paintStart(QPainter& painter, const QTransform& toDevice, double width) const
{
    if (!m_start) {
        return;
    }
    const QPointF at = toDevice.map((*m_start)[0]);
    QPointF ahead = toDevice.map((*m_start)[1]) - at;
    const double length = Length(ahead);
    ahead = length > 0 ? ahead / length : QPointF(1, 0);
    const double size = std::max(4.0, width * 1.6);
    const QPointF side(-ahead.y(), ahead.x());
    const QPointF tip = at + ahead * size * 2.2;
    painter.setPen(RoundPen(Qt::black, std::max(1.0, width * 0.3)));
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

} // namespace railwright

#include "track_pieces.h"

#include "record_layout.h"
#include "track_piece_table.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace railwright {

namespace {

// The list area leaves room for 4,000 pieces and the end marker; a maze's entries
// share the same 8,000 bytes.
constexpr std::size_t MaxMazeEntries = MaxTrackPieces * TrackPieceBytes / MazeEntryBytes;
constexpr std::uint8_t MazeEntranceMark = 0x08;
constexpr std::uint8_t MazeExitMark = 0x80;

// One tile on in headings 0-3, units.
constexpr std::array<std::array<int, 2>, 4> Steps = {{{-32, 0}, {0, 32}, {32, 0}, {0, -32}}};

// (x, y) turned by `quarters` quarter turns clockwise: one maps (x, y) to (y, -x).
std::array<int, 2> Turn(int x, int y, int quarters)
{
    for (int q = 0; q < (quarters & 3); ++q) {
        const int oldX = x;
        x = y;
        y = -oldX;
    }
    return {x, y};
}

// A piece turned by each of the four headings: the box around its blocks and where its
// last tile lies, so a walk that keeps no tiles takes each piece in a few steps. Tile
// numbers grow with units, so the box's corners give the same footprint as every block.
struct TurnedPiece
{
    struct Box
    {
        int minX = 0;
        int maxX = 0;
        int minY = 0;
        int maxY = 0;
    };
    std::array<Box, 4> boxes;
    std::array<std::array<int, 2>, 4> ends{};
    int minZ = 0;
    int maxZ = 0;
};

struct ShapeTable
{
    std::array<std::unique_ptr<TrackPieceShape>, 256> shapes;
    std::array<TurnedPiece, 256> turned;
};

// Moves a walk's position (units) and heading past one piece: to its last tile, up or down
// to its end height, turned, and one tile on unless it ends on a diagonal.
void Advance(const TrackPieceShape& shape, const TurnedPiece& turned, int& x, int& y, int& z,
             int& heading)
{
    const auto [ex, ey] = turned.ends[std::size_t(heading & 3)];
    x += ex;
    y += ey;
    z = z - shape.beginZ + shape.endZ;
    heading =
        (((heading & 3) + (shape.endDir & 3) - (shape.beginDir & 3)) & 3) | (shape.endDir & 4);
    if ((shape.endDir & 4) == 0) {
        x += Steps[std::size_t(heading)][0];
        y += Steps[std::size_t(heading)][1];
    }
}

const ShapeTable& Shapes()
{
    static const std::unique_ptr<const ShapeTable> table = [] {
        auto built = std::make_unique<ShapeTable>();
        const auto blocks = track_table::PieceBlocks();
        for (const track_table::PieceRow& row : track_table::PieceRows()) {
            auto shape = std::make_unique<TrackPieceShape>();
            shape->code = row.code;
            shape->label = row.label;
            shape->inGame = (row.flags & track_table::PieceInGame) != 0;
            shape->station = (row.flags & track_table::PieceStation) != 0;
            shape->beginDir = row.beginDir;
            shape->endDir = row.endDir;
            shape->beginZ = row.beginZ;
            shape->endZ = row.endZ;
            shape->endX = row.endX;
            shape->endY = row.endY;
            shape->rollStart = TrackRoll(row.rollStart);
            shape->rollEnd = TrackRoll(row.rollEnd);
            shape->pitchStart = TrackPitch(row.pitchStart);
            shape->pitchEnd = TrackPitch(row.pitchEnd);
            shape->invertedPart = (row.flags & track_table::PieceInvertedPart) != 0;
            for (std::size_t b = row.firstBlock;
                 b < std::size_t(row.firstBlock) + row.blockCount && b < blocks.size(); ++b) {
                shape->blocks.push_back({blocks[b].x, blocks[b].y, blocks[b].z});
            }
            TurnedPiece& turned = built->turned[row.code];
            for (int quarters = 0; quarters < 4; ++quarters) {
                TurnedPiece::Box& box = turned.boxes[std::size_t(quarters)];
                for (std::size_t b = 0; b < shape->blocks.size(); ++b) {
                    const TrackPieceShape::Block& block = shape->blocks[b];
                    const auto [x, y] = Turn(block.x, block.y, quarters);
                    box = b == 0 ? TurnedPiece::Box{x, x, y, y}
                                 : TurnedPiece::Box{std::min(box.minX, x), std::max(box.maxX, x),
                                                    std::min(box.minY, y), std::max(box.maxY, y)};
                    turned.minZ = b == 0 ? block.z : std::min(turned.minZ, block.z);
                    turned.maxZ = b == 0 ? block.z : std::max(turned.maxZ, block.z);
                }
                turned.ends[std::size_t(quarters)] = Turn(shape->endX, shape->endY, quarters);
            }
            built->shapes[row.code] = std::move(shape);
        }
        return built;
    }();
    return *table;
}

std::string Hex2(std::uint8_t value)
{
    constexpr char Digits[] = "0123456789ABCDEF";
    return {Digits[value >> 4], Digits[value & 15]};
}

void Widen(TrackFootprint& footprint, bool& any, int x, int y, int z)
{
    if (!any) {
        footprint = {x, x, y, y, z, z};
        any = true;
        return;
    }
    footprint.minX = std::min(footprint.minX, x);
    footprint.maxX = std::max(footprint.maxX, x);
    footprint.minY = std::min(footprint.minY, y);
    footprint.maxY = std::max(footprint.maxY, y);
    footprint.minZ = std::min(footprint.minZ, z);
    footprint.maxZ = std::max(footprint.maxZ, z);
}

TrackFootprint Widened(const TrackFootprint& a, const TrackFootprint& b)
{
    return {std::min(a.minX, b.minX), std::max(a.maxX, b.maxX), std::min(a.minY, b.minY),
            std::max(a.maxY, b.maxY), std::min(a.minZ, b.minZ), std::max(a.maxZ, b.maxZ)};
}

TrackWalk WalkMaze(const TrackList& list)
{
    TrackWalk walk;
    for (std::size_t i = 0; i < list.mazeEntries.size(); ++i) {
        const MazeEntry& entry = list.mazeEntries[i];
        Widen(walk.footprint, walk.hasTiles, entry.x, entry.y, 0);
    }
    return walk;
}

// Land steps as a player counts them: whole steps, or halves ("1.5 steps").
std::string LandSteps(int units)
{
    if (units % LandStepUnits == 0) {
        return Plural(std::size_t(units / LandStepUnits), "step", "steps");
    }
    const int tenths = units * 10 / LandStepUnits;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " steps";
}

} // namespace

std::string Plural(std::size_t count, const char* one, const char* many)
{
    return std::to_string(count) + ' ' + (count == 1 ? one : many);
}

const TrackPieceShape* FindTrackPiece(std::uint8_t code)
{
    return Shapes().shapes[code].get();
}

std::string TrackPieceName(std::uint8_t code)
{
    const TrackPieceShape* shape = FindTrackPiece(code);
    return shape != nullptr ? std::string(shape->label) : "unknown piece " + Hex2(code);
}

bool RideHangsBeneathTrack(std::uint8_t rideType)
{
    const auto rides = track_table::HangingRides();
    return std::find(rides.begin(), rides.end(), rideType) != rides.end();
}

TrackPosition NextPosition(const TrackPosition& at, std::uint8_t code)
{
    const ShapeTable& table = Shapes();
    const TrackPieceShape* shape = table.shapes[code].get();
    if (shape == nullptr || !shape->inGame) {
        return at;
    }
    int x = at.x * TileUnits;
    int y = at.y * TileUnits;
    int z = at.z;
    int heading = at.heading;
    Advance(*shape, table.turned[code], x, y, z, heading);
    return {x / TileUnits, y / TileUnits, z, heading};
}

TrackList ReadTrackList(ByteView record)
{
    TrackList list;
    const std::uint8_t byte7 =
        record.size() > record::SchemeAndVersion ? record[record::SchemeAndVersion] : 0;
    list.layout = HeaderLayout(record.size(), byte7);
    list.start =
        list.layout == RecordLayout::Expansion ? ExpansionTrackDataStart : BaseTrackDataStart;
    list.rideType = record.empty() ? 0 : record[record::RideType];
    list.maze = !record.empty() && list.rideType == HedgeMazeRide;
    if (list.maze) {
        for (std::size_t at = list.start;
             at + MazeEntryBytes <= record.size() && list.mazeEntries.size() < MaxMazeEntries;
             at += MazeEntryBytes) {
            const auto b = record.subspan(at, MazeEntryBytes);
            if (b[0] == 0 && b[1] == 0 && b[2] == 0 && b[3] == 0) {
                list.endMarker = true;
                break;
            }
            MazeEntry entry;
            entry.offset = at;
            entry.x = std::int8_t(b[0]);
            entry.y = std::int8_t(b[1]);
            entry.walls = std::uint16_t(b[2] | b[3] << 8);
            if (b[3] == MazeEntranceMark || b[3] == MazeExitMark) {
                entry.kind =
                    b[3] == MazeEntranceMark ? MazeEntryKind::Entrance : MazeEntryKind::Exit;
                entry.direction = b[2] & 3;
            }
            list.mazeEntries.push_back(entry);
        }
        return list;
    }
    list.pieces.reserve(
        std::min(MaxTrackPieces,
                 (record.size() - std::min(record.size(), list.start) + 1) / TrackPieceBytes));
    // The marker may sit in the slot after the 4,000th piece, no further.
    for (std::size_t at = list.start; at < record.size(); at += TrackPieceBytes) {
        if (record[at] == TrackEndCode) {
            list.endMarker = true;
            break;
        }
        if (list.pieces.size() == MaxTrackPieces) {
            break;
        }
        // A code in the record's last byte has no flags byte: it reads as 0.
        const std::uint8_t flags = at + 1 < record.size() ? record[at + 1] : 0;
        list.pieces.push_back({at, record[at], flags});
    }
    return list;
}

TrackWalk WalkTrack(const TrackList& list, WalkDetail detail)
{
    if (list.maze) {
        return WalkMaze(list);
    }
    TrackWalk walk;
    const bool keep = detail == WalkDetail::Tiles;
    if (keep) {
        walk.starts.reserve(list.pieces.size());
        walk.firstTile.reserve(list.pieces.size() + 1);
        walk.tiles.reserve(list.pieces.size() * 2);
    }
    const ShapeTable& table = Shapes();
    TrackFootprint footprint; // kept here, not in `walk`, so that it stays in registers
    int x = 0;                // units
    int y = 0;
    int z = 0;
    int heading = 0;
    for (std::size_t i = 0; i < list.pieces.size(); ++i) {
        if (keep) {
            walk.starts.push_back({x / TileUnits, y / TileUnits, z, heading});
            walk.firstTile.push_back(walk.tiles.size());
        }
        const std::uint8_t code = list.pieces[i].code;
        const TrackPieceShape* shape = table.shapes[code].get();
        if (shape == nullptr || !shape->inGame) {
            continue;
        }
        const TurnedPiece& turned = table.turned[code];
        const int quarters = heading & 3;
        const int base = z - shape->beginZ;
        if (keep) {
            for (const TrackPieceShape::Block& block : shape->blocks) {
                const auto [bx, by] = Turn(block.x, block.y, quarters);
                walk.tiles.push_back(
                    {(x + bx) / TileUnits, (y + by) / TileUnits, base + block.z, i});
            }
        }
        if (!shape->blocks.empty()) {
            const TurnedPiece::Box& box = turned.boxes[std::size_t(quarters)];
            const TrackFootprint tiles{(x + box.minX) / TileUnits, (x + box.maxX) / TileUnits,
                                       (y + box.minY) / TileUnits, (y + box.maxY) / TileUnits,
                                       base + turned.minZ,         base + turned.maxZ};
            footprint = walk.hasTiles ? Widened(footprint, tiles) : tiles;
            walk.hasTiles = true;
        }
        footprint.minZ = std::min(footprint.minZ, z);
        footprint.maxZ = std::max(footprint.maxZ, z);
        Advance(*shape, turned, x, y, z, heading);
        footprint.minZ = std::min(footprint.minZ, z);
        footprint.maxZ = std::max(footprint.maxZ, z);
    }
    if (keep) {
        walk.firstTile.push_back(walk.tiles.size());
    }
    walk.footprint = footprint;
    walk.end = {x / TileUnits, y / TileUnits, z, heading};
    walk.complete = walk.hasTiles && walk.end == TrackPosition{};
    return walk;
}

std::string DescribeGap(const TrackPosition& end)
{
    if (end == TrackPosition{}) {
        return {};
    }
    std::vector<std::string> parts;
    if (end.x != 0) {
        parts.push_back(Plural(std::size_t(std::abs(end.x)), "tile", "tiles") +
                        (end.x < 0 ? " west" : " east"));
    }
    if (end.y != 0) {
        parts.push_back(Plural(std::size_t(std::abs(end.y)), "tile", "tiles") +
                        (end.y > 0 ? " north" : " south"));
    }
    if (end.z != 0) {
        parts.push_back(LandSteps(std::abs(end.z)) + (end.z > 0 ? " up" : " down"));
    }
    const int eighths = (end.heading & 3) * 2 + ((end.heading & 4) != 0 ? 1 : 0);
    static constexpr std::array<std::string_view, 5> Turns = {
        "", "an eighth turn", "a quarter turn", "three eighths of a turn", "half a turn"};
    const int off = std::min(eighths, 8 - eighths);
    if (off != 0) {
        parts.push_back("heading differs by " + std::string(Turns[std::size_t(off)]));
    }
    std::string text;
    for (const std::string& part : parts) {
        text += (text.empty() ? "" : ", ") + part;
    }
    return text;
}

std::string TrackSummary(const TrackList& list, const TrackWalk& walk)
{
    const auto needs = [&walk] {
        return "needs " + std::to_string(walk.footprint.width()) + " x " +
               std::to_string(walk.footprint.length()) + " tiles";
    };
    if (list.maze) {
        std::size_t tiles = 0;
        bool entrance = false;
        bool exit = false;
        for (const MazeEntry& entry : list.mazeEntries) {
            tiles += entry.kind == MazeEntryKind::Tile ? 1 : 0;
            entrance = entrance || entry.kind == MazeEntryKind::Entrance;
            exit = exit || entry.kind == MazeEntryKind::Exit;
        }
        if (!walk.hasTiles) {
            return "Hedge maze: no tiles";
        }
        return "Hedge maze: " + Plural(tiles, "tile", "tiles") + ", " + needs() + ", " +
               (entrance ? "an entrance" : "no entrance") + " and " +
               (exit ? "an exit" : "no exit");
    }
    if (list.pieces.empty()) {
        return "No track pieces";
    }
    if (!walk.hasTiles) {
        return "No track pieces of this game";
    }
    if (walk.complete) {
        const int steps =
            (walk.footprint.maxZ - walk.footprint.minZ + LandStepUnits - 1) / LandStepUnits;
        return "Complete circuit: " + Plural(list.pieces.size(), "piece", "pieces") + ", " +
               needs() + ", " + Plural(std::size_t(steps), "land step", "land steps") +
               " from lowest to highest point";
    }
    return "Open track: from its start, the end is " + DescribeGap(walk.end);
}

TrackDigest DigestTrack(ByteView record)
{
    const TrackList list = ReadTrackList(record);
    return DigestTrack(list, WalkTrack(list, WalkDetail::Outline));
}

TrackDigest DigestTrack(const TrackList& list, const TrackWalk& walk)
{
    TrackDigest digest;
    digest.complete = list.maze || list.pieces.empty() ? "-" : walk.complete ? "yes" : "no";
    digest.footprint = walk.hasTiles ? std::to_string(walk.footprint.width()) + " x " +
                                           std::to_string(walk.footprint.length())
                                     : "-";
    return digest;
}

std::optional<int> RideClearance(std::uint8_t rideType)
{
    for (const track_table::RideClearance& row : track_table::RideClearances()) {
        if (row.ride == rideType) {
            return row.clearance;
        }
    }
    return std::nullopt;
}

} // namespace railwright

#pragma once

#include "byte_buffer.h"
#include "design_inspection.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The track of a decoded record: its piece list (or a hedge maze's tiles), read without
// changing the record, and walked into tiles and heights. Damaged input never stops
// either: what cannot be read or placed is reported as a warning and skipped.
namespace railwright {

inline constexpr std::uint8_t TrackEndCode = 0xFF;
inline constexpr std::size_t TrackPieceBytes = 2;
inline constexpr std::size_t MaxTrackPieces = 4000;
inline constexpr std::size_t MazeEntryBytes = 4; // x, y, and walls or an entrance's mark
inline constexpr std::uint8_t HedgeMazeRide = 0x14;
inline constexpr int TileUnits = 32;
inline constexpr int LandStepUnits = 16;

// Flags byte of a piece.
inline constexpr std::uint8_t PieceChainLift = 0x80;
inline constexpr std::uint8_t PieceInverted = 0x40;
inline constexpr std::uint8_t PieceSchemeMask = 0x30;
inline constexpr int PieceSchemeShift = 4;
inline constexpr std::uint8_t PieceStationNumberMask = 0x03;
inline constexpr std::uint8_t PieceStationBit3 = 0x08;
inline constexpr std::uint8_t PieceSpeedMask = 0x0F;
inline constexpr std::uint8_t BrakesCode = 0x63;
inline constexpr std::uint8_t BoosterCode = 0x64;

// How the track leans at one end of a piece: banked towards a side (that rail lower) or
// upside down.
enum class TrackRoll
{
    None,
    Left,
    Right,
    UpsideDown,
};

// The slope of the track at one end of a piece.
enum class TrackPitch
{
    None,
    Up25,
    Down25,
    Up60,
    Down60,
    Up90,
    Down90,
    Tower, // a launched tower's vertical track
    ReverseFreefall,
};

// What the shape table says about a piece code; nullptr for a code without a row.
struct TrackPieceShape
{
    struct Block
    {
        int x; // units from the piece's first tile, heading 0
        int y;
        int z; // the tile's base above the piece's base
    };
    std::uint8_t code = 0;
    std::string_view label;
    bool inGame = false; // a piece of this game; the others belong to later games
    bool station = false;
    int beginDir = 0; // 0, or 4 for a piece that starts diagonal
    int endDir = 0;
    int beginZ = 0;
    int endZ = 0;
    int endX = 0; // where the last tile lies from the first, units
    int endY = 0;
    std::vector<Block> blocks;
    TrackRoll rollStart = TrackRoll::None;
    TrackRoll rollEnd = TrackRoll::None;
    TrackPitch pitchStart = TrackPitch::None;
    TrackPitch pitchEnd = TrackPitch::None;
    bool invertedPart = false; // part of the piece runs upside down
};
[[nodiscard]] const TrackPieceShape* FindTrackPiece(std::uint8_t code);

// The name of a piece code: its label, or "unknown piece 7F" for a code without a row.
[[nodiscard]] std::string TrackPieceName(std::uint8_t code);

// Whether a ride type's trains hang beneath its track (suspended and inverted rides), so
// that its supports hold the track from above.
[[nodiscard]] bool RideHangsBeneathTrack(std::uint8_t rideType);

struct TrackPiece
{
    std::size_t offset = 0; // of the code byte in the record
    std::uint8_t code = 0;
    std::uint8_t flags = 0;

    [[nodiscard]] bool chainLift() const { return (flags & PieceChainLift) != 0; }
    [[nodiscard]] bool inverted() const { return (flags & PieceInverted) != 0; }
    [[nodiscard]] int scheme() const { return (flags & PieceSchemeMask) >> PieceSchemeShift; }
    // A station platform, by the piece table's station column.
    [[nodiscard]] bool isStation() const
    {
        const TrackPieceShape* shape = FindTrackPiece(code);
        return shape != nullptr && shape->station;
    }
    [[nodiscard]] bool hasSpeed() const { return code == BrakesCode || code == BoosterCode; }
    // Station number 0-3 on station pieces.
    [[nodiscard]] std::optional<int> station() const
    {
        return isStation() ? std::optional<int>(flags & PieceStationNumberMask) : std::nullopt;
    }
    [[nodiscard]] bool departureStation() const
    {
        return isStation() && (flags & PieceStationBit3) != 0;
    }
    // Speed 0-15 of brakes and boosters.
    [[nodiscard]] std::optional<int> speed() const
    {
        return hasSpeed() ? std::optional<int>(flags & PieceSpeedMask) : std::nullopt;
    }
};

enum class MazeEntryKind
{
    Tile,
    Entrance,
    Exit,
};

struct MazeEntry
{
    std::size_t offset = 0;
    int x = 0; // tiles
    int y = 0;
    std::uint16_t walls = 0;
    MazeEntryKind kind = MazeEntryKind::Tile;
    int direction = 0; // of an entrance or exit, 0-3
};

struct TrackList
{
    RecordLayout layout = RecordLayout::Base; // of the header: Base or Expansion
    std::size_t start = 0;                    // byte offset of the list
    bool maze = false;                        // ride type 14: `mazeEntries`, no pieces
    bool endMarker = false;                   // the FF (or a maze's four zero bytes) was found
    std::vector<TrackPiece> pieces;
    std::vector<MazeEntry> mazeEntries;
    std::uint8_t rideType = 0;
};

// Reads the piece list (or maze entries) of a decoded record of any length. A record too
// short for a list gives an empty one without an end marker.
[[nodiscard]] TrackList ReadTrackList(ByteView record);

// Where the track is before a piece: a tile (x, y in tiles), a height in units and a
// heading 0-7.
struct TrackPosition
{
    int x = 0;
    int y = 0;
    int z = 0;
    int heading = 0;

    bool operator==(const TrackPosition&) const = default;
};

struct CoveredTile
{
    int x = 0; // tiles
    int y = 0;
    int z = 0; // the tile's base, units
    std::size_t piece = 0;
};

struct TrackFootprint
{
    int minX = 0; // tiles
    int maxX = 0;
    int minY = 0;
    int maxY = 0;
    int minZ = 0; // units
    int maxZ = 0;

    [[nodiscard]] int width() const { return maxX - minX + 1; }
    [[nodiscard]] int length() const { return maxY - minY + 1; }
};

struct TrackWalk
{
    std::vector<TrackPosition> starts; // one per piece: where it begins
    // Tiles each piece covers: piece i's are tiles[firstTile[i] .. firstTile[i+1]).
    std::vector<CoveredTile> tiles;
    std::vector<std::size_t> firstTile;
    TrackPosition end;     // after the last piece
    bool complete = false; // some piece was placed and the end is the start
    bool hasTiles = false; // the footprint means something
    TrackFootprint footprint;
};

// Where the track is after one more piece at `at`, as the walk places it; `at` itself for a
// code without a row or a later game's piece, which the walk leaves out.
[[nodiscard]] TrackPosition NextPosition(const TrackPosition& at, std::uint8_t code);

// What a walk keeps: everything, or only where it ends, whether it closes and its
// footprint (no starts, tiles or firstTile), for a list of many designs.
enum class WalkDetail
{
    Tiles,
    Outline,
};

// Walks the list from tile (0, 0), height 0, heading 0. A code without a row or a later
// game's piece is left out of the shape (rules::PieceWarning says so). A maze's footprint
// is the extent of its entries; it has no path.
[[nodiscard]] TrackWalk WalkTrack(const TrackList& list, WalkDetail detail = WalkDetail::Tiles);

// A count with its noun, as the track's texts say it: "1 piece", "3 tiles".
[[nodiscard]] std::string Plural(std::size_t count, const char* one, const char* many);

// Where an open track's end lies from its start, in words: "3 tiles west, 2 tiles south, 1
// step down, heading differs by a quarter turn"; empty for a track that closes. West, north,
// east and south are the game's directions 0-3, the way the walk starts heading west.
[[nodiscard]] std::string DescribeGap(const TrackPosition& end);

// One line about the track: "Complete circuit: 195 pieces, needs 24 x 31 tiles, 10 land
// steps from lowest to highest point", "Open track: from its start, the end is 3 tiles west, 1 step
// down" (DescribeGap), a maze's size, or "No track pieces".
[[nodiscard]] std::string TrackSummary(const TrackList& list, const TrackWalk& walk);

// For a list of designs: "yes"/"no" for a complete circuit ("-" for a maze or no track),
// and the footprint "W x L" ("-" without tiles).
struct TrackDigest
{
    std::string complete;
    std::string footprint;
};
[[nodiscard]] TrackDigest DigestTrack(const TrackList& list, const TrackWalk& walk);
[[nodiscard]] TrackDigest DigestTrack(ByteView record);

// The room a ride type's train needs above its track, in units (16 per land step): two
// pieces on one tile collide when one lies less than this above the other. Nothing for a
// ride type without one (a maze has no train) or a code without a row.
[[nodiscard]] std::optional<int> RideClearance(std::uint8_t rideType);

} // namespace railwright

#pragma once

#include <cstdint>
#include <span>

// The shapes of the game's track pieces, one row per code that has one, generated from
// data/track_pieces.csv (see scripts/generate-track-piece-table). Codes without a row
// are unknown pieces; callers look them up through FindTrackPiece (track_pieces.h).
namespace railwright::track_table {

// A tile a piece covers, from its first tile, in units of 32 per tile: x, y and the
// tile's base above the piece's base.
struct PieceBlock
{
    std::int16_t x;
    std::int16_t y;
    std::int16_t z;
};

// Which pieces take a chain lift is a ride rule (rules::ChainLiftFits), not the codec's.
enum PieceFlag : std::uint8_t
{
    PieceStation = 1,      // a station platform: its flags hold a station number
    PieceInGame = 2,       // a piece of this game (the others belong to later games)
    PieceInvertedPart = 4, // part of the piece runs upside down
};

// How the track leans at one end of a piece.
enum PieceRoll : std::uint8_t
{
    RollNone,
    RollLeft,  // banked: the left rail lower
    RollRight, // banked: the right rail lower
    RollUpsideDown,
};

// The slope at one end of a piece.
enum PiecePitch : std::uint8_t
{
    PitchNone,
    PitchUp25,
    PitchDown25,
    PitchUp60,
    PitchDown60,
    PitchUp90,
    PitchDown90,
    PitchTower, // a launched tower's vertical track
    PitchReverseFreefall,
};

struct PieceRow
{
    std::uint8_t code;
    const char* label;
    std::int8_t beginDir;
    std::int8_t endDir;
    std::int16_t beginZ;
    std::int16_t endZ;
    std::int16_t endX;
    std::int16_t endY;
    std::uint8_t flags;
    std::uint16_t firstBlock;
    std::uint8_t blockCount;
    PieceRoll rollStart;
    PieceRoll rollEnd;
    PiecePitch pitchStart;
    PiecePitch pitchEnd;
};

[[nodiscard]] std::span<const PieceRow> PieceRows();
[[nodiscard]] std::span<const PieceBlock> PieceBlocks();
// The ride types whose trains hang beneath their track (data/hanging_rides.csv).
[[nodiscard]] std::span<const std::uint8_t> HangingRides();

// The room a ride type's train needs above its track, in units (16 per land step), and
// how many land steps its track may stand above the ground (255: no limit); one row per
// ride type that has them (data/ride_clearances.csv).
struct RideClearance
{
    std::uint8_t ride;
    std::int16_t clearance;
    std::int16_t maxHeightSteps;
};
[[nodiscard]] std::span<const RideClearance> RideClearances();

// The lowest land and the highest track the game's map allows, in units
// (data/map_heights.csv; scripts/generate-track-piece-table fails when these differ from it).
inline constexpr int LowestLandUnits = 16;
inline constexpr int HighestTrackUnits = 2032;

} // namespace railwright::track_table

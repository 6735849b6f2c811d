#pragma once

#include "byte_buffer.h"
#include "track_pieces.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Building and repairing a track by the game's construction rule: a piece may follow another
// when it starts the way the other ends (the same slope, lean and diagonal heading). Which
// pieces a ride builds is a ride rule (rules::PieceFitFor); this is the shape of the track.
namespace railwright {

// How the track lies where two pieces meet.
struct TrackJoin
{
    TrackPitch pitch = TrackPitch::None;
    TrackRoll roll = TrackRoll::None;
    bool diagonal = false;

    bool operator==(const TrackJoin&) const = default;
};

// Where a design's track begins: level, upright and along a tile's side.
inline constexpr TrackJoin TrackStartJoin{};

// How a piece starts and ends; nullopt for a code without a row.
[[nodiscard]] std::optional<TrackJoin> PieceStartJoin(std::uint8_t code);
[[nodiscard]] std::optional<TrackJoin> PieceEndJoin(std::uint8_t code);

// The pieces of this game that start in `join`, by code.
[[nodiscard]] std::span<const std::uint8_t> PiecesStartingIn(const TrackJoin& join);

// The join a piece put at `index` must start in: the end of the piece before it, or the
// track's start for index 0; nullopt when the piece before has no row (anything may follow).
[[nodiscard]] std::optional<TrackJoin> JoinBefore(const TrackList& list, std::size_t index);
// The join a piece put before `index` should end in: the start of the piece at `index`;
// nullopt at the open end of the list or when that piece has no row.
[[nodiscard]] std::optional<TrackJoin> JoinAfter(const TrackList& list, std::size_t index);

enum class PieceChoice
{
    Insert,  // a piece at `index`, the pieces from `index` on moving up one
    Replace, // the piece at `index`
};

struct FittingPiece
{
    std::uint8_t code = 0;
    // It also meets the piece after it; always true for Replace, whose offers must.
    bool joinsNext = false;
};

// The pieces of this game that fit at `index`, those that also meet the next piece first,
// each group by code. Insert offers the pieces that start where the piece before ends;
// Replace those that also end where the piece after starts. Empty for a maze or an index
// past the list.
[[nodiscard]] std::vector<FittingPiece> FittingPieces(const TrackList& list, std::size_t index,
                                                      PieceChoice choice);

// One change to a design's piece list, as a player or a script asks for it.
struct PieceListEdit
{
    enum class Kind
    {
        Insert,  // `codes` put at `index`
        Replace, // the pieces from `index` on replaced one for one by `codes`
        Delete,  // `count` pieces from `index` on
    };
    Kind kind = Kind::Insert;
    std::size_t index = 0;
    std::size_t count = 0;
    std::vector<std::uint8_t> codes;
    // Insert only: each new piece's own flags, one per code (pieces copied elsewhere keep
    // their chain lift, scheme and speed); empty: the flags of a piece built there.
    std::vector<std::uint8_t> flags = {};
};

// The flags a new piece gets: the colour scheme of the piece it follows (for Replace, of the
// piece it replaces), and no other flag.
[[nodiscard]] std::uint8_t NewPieceFlags(const TrackList& list, std::size_t index,
                                         PieceListEdit::Kind kind);

// How many pieces a decoded record's list has room for: the 4,000 the format allows, fewer
// when the record is too short for them and their end marker.
[[nodiscard]] std::size_t TrackCapacity(const TrackList& list, std::size_t recordSize);

// Applies one edit to a decoded record: the list shifts, its end marker follows it, the
// bytes it gives up become zero, and the kept pieces keep their flags. Returns why it was
// refused (a maze, an index out of the list, a list that would no longer fit, the end
// code as a piece), the record then unchanged; nullopt when applied.
[[nodiscard]] std::optional<std::string> ApplyPieceListEdit(ByteBuffer& record,
                                                            const PieceListEdit& edit);

// The runs of one or two pieces of this game that, put at the open end of a track, bring it
// back to its start, joined the way its first piece begins: each single piece first, then
// pairs, each group by code; at most `limit` runs. Empty for a complete or empty track, a
// maze, or a gap no one or two pieces close.
[[nodiscard]] std::vector<std::vector<std::uint8_t>>
ClosingPieces(const TrackList& list, const TrackWalk& walk, std::size_t limit = 16);

// Two pieces that pass through one tile closer in height than the ride's train needs.
struct TrackCollision
{
    std::size_t first = 0; // piece indexes, first < second
    std::size_t second = 0;
    int x = 0; // the first tile they share, tiles
    int y = 0;
};

struct TrackCollisions
{
    std::vector<TrackCollision> crossings; // by first, then second piece
    std::vector<std::size_t> belowGround;  // pieces deeper than DeepestTrackDrop allows
    bool clearanceKnown = true;            // false: the ride's clearance is not known
};

// The most a design's track may fall below its highest point: the game builds track from
// the lowest land up to the highest track height (data/map_heights.csv), so a piece deeper
// than this under the highest one lies below the lowest ground wherever it is built.
[[nodiscard]] int DeepestTrackDrop();

// One line for each collision and each piece too deep: "Pieces 0 and 4 collide on tile
// (-1, 0)", "Piece 32 lies below the lowest ground the game builds on".
[[nodiscard]] std::vector<std::string> CollisionLines(const TrackCollisions& collisions);

// The pieces that collide on a walk's tiles (WalkDetail::Tiles), with `clearance` units of
// height between two tracks on one tile (nullopt: the ride's is not known; then only tracks
// at the same height collide). Joined pieces (one after the other, and the last and first
// of a complete circuit) never collide with each other, nor the pieces of a vertical run.
[[nodiscard]] TrackCollisions FindCollisions(const TrackList& list, const TrackWalk& walk,
                                             std::optional<int> clearance);

} // namespace railwright

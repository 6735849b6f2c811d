#pragma once

#include "codec/byte_buffer.h"
#include "codec/game_version.h"
#include "codec/track_pieces.h"
#include "ride_rules_data.h"

#include <QString>
#include <QStringList>
#include <cstdint>

// What the game allows a ride type to have: the vehicles it offers, the operating modes,
// the track pieces it builds and which of them may carry a chain lift. Used to list
// fitting choices first and to warn; never to refuse an edit (the tables may be
// incomplete, and a player may mean it). A ride type the tables do not know fits
// everything and gets no warning.
namespace railwright::rules {

// The ride's facts, or nullptr for a ride type the tables do not know. A table lookup by
// ride code.
[[nodiscard]] const RideRules* RulesForRide(std::uint8_t ride);

enum class Fit
{
    Fits,       // the game offers it (or the ride type is unknown)
    LaterGame,  // offered only from a later game version than the design's
    NotOffered, // the game does not offer it for this ride
};

[[nodiscard]] Fit VehicleFit(std::uint8_t ride, std::uint8_t vehicle, GameVersion version);
[[nodiscard]] Fit ModeFit(std::uint8_t ride, std::uint8_t mode);

enum class PieceFit
{
    Builds,      // the ride builds it (or the ride type is unknown)
    Possibly,    // perhaps: a later addition or not confirmed for this game
    CheatOnly,   // only with a construction cheat
    NeverBuilds, // the ride cannot build it
};

[[nodiscard]] PieceFit PieceFitFor(std::uint8_t ride, std::uint8_t piece);
// Whether `piece` may carry a chain lift on the ride: one of the pieces the ride builds
// (or possibly builds) whose lift kinds (data/track_pieces.csv) share one with the ride's
// (data/ride_pieces.tsv). True for an unknown ride. The only chain-lift rule: the Track
// panel sets chains by it and every warning checks by it.
[[nodiscard]] bool ChainLiftFits(std::uint8_t ride, std::uint8_t piece);

// The player-facing reason a vehicle, mode or piece does not fit; empty when it fits. A
// piece code without a row, or a later game's piece, gets a reason on any ride.
[[nodiscard]] QString VehicleWarning(std::uint8_t ride, std::uint8_t vehicle, GameVersion version);
[[nodiscard]] QString ModeWarning(std::uint8_t ride, std::uint8_t mode);
[[nodiscard]] QString PieceWarning(std::uint8_t ride, std::uint8_t piece, std::uint8_t flags);

// A piece as the piece list shows it, bases marked: "piece 57, right twist down to up
// (code 0x35, byte 0x136)"; the row is decimal, counted from 0 as `pieces` counts.
[[nodiscard]] QString PieceReference(std::size_t row, const TrackPiece& piece);

// The warnings about a decoded record's track, one sentence each: a list without its end
// marker, a continuous circuit whose track does not return to its start, then every piece
// with a PieceWarning, in list order ("Piece 57, right twist down to up (code 0x35, byte
// 0x136): this ride builds this piece only with a construction cheat"). `list` and `walk`
// are the record's (ReadTrackList, WalkTrack); the overload reads them. Nothing for a
// record that ends before its list starts.
[[nodiscard]] QStringList TrackWarnings(ByteView record, const TrackList& list,
                                        const TrackWalk& walk);
[[nodiscard]] QStringList TrackWarnings(ByteView record);

// Every warning for a decoded record: its vehicle and operating mode in `version` (for a
// ride type the tables know), then TrackWarnings. A record too short for a field gets no
// warning about it. The one list `scan` and `pieces` print; the Track panel and `render`
// show its TrackWarnings (the Design panel marks the vehicle and mode).
[[nodiscard]] QStringList DesignWarnings(ByteView record, GameVersion version,
                                         const TrackList& list, const TrackWalk& walk);
[[nodiscard]] QStringList DesignWarnings(ByteView record, GameVersion version);

} // namespace railwright::rules

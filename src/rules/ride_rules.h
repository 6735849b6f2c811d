#pragma once

#include "codec/byte_buffer.h"
#include "codec/game_version.h"
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

// The ride's facts, or nullptr for a ride type the tables do not know.
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
// Whether `piece` may carry a chain lift on the ride (true for an unknown ride).
[[nodiscard]] bool ChainLiftFits(std::uint8_t ride, std::uint8_t piece);

// The player-facing reason a vehicle, mode or piece does not fit; empty when it fits.
[[nodiscard]] QString VehicleWarning(std::uint8_t ride, std::uint8_t vehicle, GameVersion version);
[[nodiscard]] QString ModeWarning(std::uint8_t ride, std::uint8_t mode);
[[nodiscard]] QString PieceWarning(std::uint8_t ride, std::uint8_t piece, std::uint8_t flags);

// Every warning for a decoded record, in the order vehicle, mode, track pieces (one line
// per kind of piece problem, naming the first piece and how many there are). A record too
// short for a field gets no warning about it; hedge mazes (ride 14) hold no track pieces.
[[nodiscard]] QStringList DesignWarnings(ByteView record, GameVersion version);

} // namespace railwright::rules

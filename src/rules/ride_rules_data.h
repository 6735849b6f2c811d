#pragma once

#include "codec/game_version.h"

#include <cstddef>
#include <cstdint>
#include <span>

// The per-ride facts behind the editor's fitting choices and warnings, generated from the
// ride tables by scripts/generate-ride-rules (ride_rules_data.cpp).
namespace railwright::rules {

// A vehicle the game offers for a ride, and the first game version that offers it there.
struct VehicleOffer
{
    std::uint8_t vehicle;
    GameVersion since;
};

struct ModeOffer
{
    std::uint8_t mode;
    bool isDefault;
};

struct RideRules
{
    std::uint8_t ride;
    std::span<const VehicleOffer> vehicles;
    std::span<const ModeOffer> modes;
    std::span<const std::uint8_t> pieces;     // pieces the ride builds, ascending
    std::span<const std::uint8_t> softPieces; // possibly buildable (later additions, unsure)
    std::span<const std::uint8_t> cheatPieces;
    std::span<const std::uint8_t> chainLiftPieces; // of pieces and softPieces
    bool usesInvertedFlag;                         // flags bit 6 means something on this ride
};

// Every ride type the tables know, ascending by code.
extern const RideRules AllRideRules[];
extern const std::size_t AllRideRulesCount;

} // namespace railwright::rules

#pragma once

#include <cstddef>
#include <cstdint>

// Byte offsets of the fields of a decoded track-design record that the editor
// interprets. Everything not listed here (bytes 2 to 5 and from 68 on) is
// the game's own and is only ever edited raw.
namespace railwright::record {

inline constexpr std::size_t RideType = 0;
inline constexpr std::size_t VehicleType = 1;
inline constexpr std::size_t OperatingMode = 6;

// Vehicle colour scheme in bits 0-1, expansion flag in bit 2.
inline constexpr std::size_t SchemeAndVersion = 7;
inline constexpr std::uint8_t SchemeMask = 0x03;
inline constexpr std::uint8_t ExpansionFlag = 0x04;
inline constexpr int SchemeAllSame = 0;
inline constexpr int SchemeTrainsDiffer = 1;
inline constexpr int SchemeCarsDiffer = 2;
inline constexpr int SchemeNotUsed = 3;

// Body and trim colours of the vehicle entries alternate from byte 8 to byte 31.
inline constexpr std::size_t VehicleEntryCount = 12;
inline constexpr std::size_t BodyColorBase = 8;
inline constexpr std::size_t TrimColorBase = 9;
inline constexpr std::size_t VehicleColorStride = 2;

// The single set of track colours of the base game.
inline constexpr std::size_t TrackSpineColor = 32;
inline constexpr std::size_t TrackRailColor = 33;
inline constexpr std::size_t TrackSupportColor = 34;

inline constexpr std::size_t DepartureFlags = 35;
inline constexpr std::uint8_t DepartUseMaximumTime = 128;
inline constexpr std::uint8_t DepartUseMinimumTime = 64;
inline constexpr std::uint8_t DepartSyncWithAdjacent = 32;
inline constexpr std::uint8_t DepartLeaveWhenAnotherArrives = 16;
inline constexpr std::uint8_t DepartWaitForLoad = 8;
inline constexpr std::uint8_t LoadAmountMask = 0x07;
// The highest load amount the game lists ("Any load"); 5 to 7 name none.
inline constexpr int AnyLoadAmount = 4;

inline constexpr std::size_t NumTrains = 36;
inline constexpr std::size_t CarsPerTrain = 37;
// The trains and cars per train the game runs.
inline constexpr int MinTrainsOrCars = 1;
inline constexpr int MaxTrainsOrCars = 12;
inline constexpr std::size_t MinWaitTime = 38;
inline constexpr std::size_t MaxWaitTime = 39;
inline constexpr std::size_t SpeedOrPeople = 40;
inline constexpr std::size_t MaxSpeed = 41;
inline constexpr std::size_t AverageSpeed = 42;
inline constexpr std::size_t RideLengthLow = 43;
inline constexpr std::size_t RideLengthHigh = 44;
inline constexpr std::size_t MaxPositiveG = 45;
inline constexpr std::size_t MaxNegativeG = 46;
inline constexpr std::size_t MaxLateralG = 47;
inline constexpr std::size_t Inversions = 48;
inline constexpr std::uint8_t InversionsMask = 0x1F;
inline constexpr std::size_t Drops = 49;
inline constexpr std::uint8_t DropsMask = 0x3F;
inline constexpr std::size_t HighestDrop = 50;
inline constexpr std::size_t Excitement = 51;
inline constexpr std::size_t Intensity = 52;
inline constexpr std::size_t Nausea = 53;
inline constexpr std::size_t UpkeepCost = 54; // two bytes, low byte first

// The four track colour schemes of the expansions: one block of four bytes each.
inline constexpr std::size_t TrackColorSchemeCount = 4;
inline constexpr std::size_t TrackSpineColors = 56;
inline constexpr std::size_t TrackRailColors = 60;
inline constexpr std::size_t TrackSupportColors = 64;

// First byte past the interpreted fields.
inline constexpr std::size_t InterpretedLength = 68;

[[nodiscard]] constexpr std::size_t bodyColor(std::size_t entry)
{
    return BodyColorBase + VehicleColorStride * entry;
}
[[nodiscard]] constexpr std::size_t trimColor(std::size_t entry)
{
    return TrimColorBase + VehicleColorStride * entry;
}

} // namespace railwright::record

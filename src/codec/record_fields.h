#pragma once

#include "byte_buffer.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

// What the numbered fields of a decoded record mean: one description per field, read by
// every view of a record (the ride info report, the design panel, the scan output), so
// no view spells an offset or a unit of its own.
namespace railwright::record {

struct FieldDescription
{
    std::string_view key;  // a stable machine name: "excitement"
    std::string_view name; // what a player calls it: "Excitement"
    std::size_t offset;
    std::size_t width = 1; // 1, or 2 for a little-endian 16-bit value
    bool isSigned = false;
    std::uint8_t mask = 0xFF;   // the bits of a one-byte field that hold the value
    double scale = 1;           // shown value = stored value * scale
    std::string_view unit = {}; // "mph", "ft", "g", or empty

    // The first byte past the field: a record shorter than this lacks it.
    [[nodiscard]] constexpr std::size_t end() const { return offset + width; }
};

// The game stores speeds in units of 2.25 mph, lengths in units of 3.28 feet, forces in
// units of 0.32 g and ratings times ten.
inline constexpr double MilesPerHourPerSpeedUnit = 2.25;
inline constexpr double KilometresPerHourPerMile = 1.609344;
inline constexpr double FeetPerLengthUnit = 3.28;
inline constexpr double MetresPerFoot = 0.3048;
inline constexpr double GPerUnit = 0.32;
inline constexpr double RatingScale = 0.1;

inline constexpr FieldDescription RideTypeField{
    .key = "ride_type", .name = "Ride type", .offset = 0};
inline constexpr FieldDescription VehicleTypeField{
    .key = "vehicle_type", .name = "Vehicle type", .offset = 1};
inline constexpr FieldDescription OperatingModeField{
    .key = "operating_mode", .name = "Operating mode", .offset = 6};
inline constexpr FieldDescription VehicleColorSchemeField{
    .key = "vehicle_color_scheme", .name = "Vehicle colour scheme", .offset = 7, .mask = 0x03};
inline constexpr FieldDescription DepartureFlagsField{
    .key = "departure_flags", .name = "Departure control", .offset = 35};
inline constexpr FieldDescription NumTrainsField{.key = "trains", .name = "Trains", .offset = 36};
inline constexpr FieldDescription CarsPerTrainField{
    .key = "cars_per_train", .name = "Cars per train", .offset = 37};
inline constexpr FieldDescription MinWaitField{
    .key = "min_wait", .name = "Minimum waiting time", .offset = 38, .unit = "s"};
inline constexpr FieldDescription MaxWaitField{
    .key = "max_wait", .name = "Maximum waiting time", .offset = 39, .unit = "s"};
inline constexpr FieldDescription SpeedOrPeopleField{
    .key = "speed_or_people", .name = "Speed or people", .offset = 40};
inline constexpr FieldDescription MaxSpeedField{.key = "max_speed",
                                                .name = "Maximum speed",
                                                .offset = 41,
                                                .scale = MilesPerHourPerSpeedUnit,
                                                .unit = "mph"};
inline constexpr FieldDescription AverageSpeedField{.key = "average_speed",
                                                    .name = "Average speed",
                                                    .offset = 42,
                                                    .scale = MilesPerHourPerSpeedUnit,
                                                    .unit = "mph"};
inline constexpr FieldDescription RideLengthField{.key = "ride_length",
                                                  .name = "Ride length",
                                                  .offset = 43,
                                                  .width = 2,
                                                  .isSigned = true,
                                                  .scale = FeetPerLengthUnit,
                                                  .unit = "ft"};
inline constexpr FieldDescription PositiveGField{
    .key = "positive_g", .name = "Positive g", .offset = 45, .scale = GPerUnit, .unit = "g"};
// The game reads the negative g as a signed byte: F6 is -3.2 g.
inline constexpr FieldDescription NegativeGField{.key = "negative_g",
                                                 .name = "Negative g",
                                                 .offset = 46,
                                                 .isSigned = true,
                                                 .scale = GPerUnit,
                                                 .unit = "g"};
inline constexpr FieldDescription LateralGField{
    .key = "lateral_g", .name = "Lateral g", .offset = 47, .scale = GPerUnit, .unit = "g"};
// The high bits of the counter bytes hold other things.
inline constexpr FieldDescription InversionsField{
    .key = "inversions", .name = "Inversions", .offset = 48, .mask = 0x1F};
inline constexpr FieldDescription DropsField{
    .key = "drops", .name = "Drops", .offset = 49, .mask = 0x3F};
inline constexpr FieldDescription HighestDropField{
    .key = "highest_drop", .name = "Highest drop", .offset = 50, .unit = "ft"};
inline constexpr FieldDescription ExcitementField{
    .key = "excitement", .name = "Excitement", .offset = 51, .scale = RatingScale};
inline constexpr FieldDescription IntensityField{
    .key = "intensity", .name = "Intensity", .offset = 52, .scale = RatingScale};
inline constexpr FieldDescription NauseaField{
    .key = "nausea", .name = "Nausea", .offset = 53, .scale = RatingScale};
inline constexpr FieldDescription UpkeepCostField{
    .key = "upkeep_cost", .name = "Upkeep cost", .offset = 54, .width = 2};

// The read-only statistics, in the order a player reads them.
inline constexpr std::array StatisticsFields{
    ExcitementField, IntensityField,   NauseaField,     MaxSpeedField, AverageSpeedField,
    RideLengthField, PositiveGField,   NegativeGField,  LateralGField, InversionsField,
    DropsField,      HighestDropField, UpkeepCostField,
};

// The stored value of a field (masked, sign-extended), or nothing when the record is too
// short to hold it.
[[nodiscard]] std::optional<int> StoredValue(ByteView record, const FieldDescription& field);

// The stored value times the field's scale, or nothing when the record lacks the field.
[[nodiscard]] std::optional<double> ScaledValue(ByteView record, const FieldDescription& field);

} // namespace railwright::record

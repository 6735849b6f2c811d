#pragma once

#include "byte_buffer.h"
#include "design_inspection.h"
#include "record_layout.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// What the numbered fields of a decoded record mean: one description per field, read by
// every view of a record (the ride info report, the design panel, the scan output), so
// no view spells an offset or a unit of its own.
namespace railwright::record {

// What a field's value is, as far as the views need to know: how to show and check it.
enum class FieldKind
{
    Number,
    Code,  // a code named by a code table
    Color, // a palette code, 0 to 31
    Flags, // bits with meanings of their own
};

// What the writer makes of a byte a field write composed, before it is stored: the
// field's rule, applied whoever writes the field (a byte-35 flag, the whole byte).
using ByteRule = std::uint8_t (*)(std::uint8_t byte);

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
    FieldKind kind = FieldKind::Number;
    // The values the game expects and the editors offer; a stored value outside them is
    // shown as it is, with a warning. A field without a range (high not above low) takes
    // whatever its bits hold.
    int low = 0;
    int high = 0;
    ByteRule rule = nullptr;

    [[nodiscard]] constexpr bool hasRange() const { return high > low; }

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
    .key = "ride_type", .name = "Ride type", .offset = RideType, .kind = FieldKind::Code};
inline constexpr FieldDescription VehicleTypeField{
    .key = "vehicle_type", .name = "Vehicle type", .offset = VehicleType, .kind = FieldKind::Code};
inline constexpr FieldDescription OperatingModeField{.key = "operating_mode",
                                                     .name = "Operating mode",
                                                     .offset = OperatingMode,
                                                     .kind = FieldKind::Code};
inline constexpr FieldDescription VehicleColorSchemeField{.key = "vehicle_color_scheme",
                                                          .name = "Vehicle colour scheme",
                                                          .offset = SchemeAndVersion,
                                                          .mask = SchemeMask,
                                                          .high = SchemeMask};
// Byte 35's rule: the load amount (bits 0-2) is 0 while "Wait for load" (bit 3) is
// clear, and at most "Any load" while it is set, as the game lists no other amount.
[[nodiscard]] constexpr std::uint8_t DepartureRule(std::uint8_t byte)
{
    const int load = byte & LoadAmountMask;
    const int kept = (byte & DepartWaitForLoad) == 0 ? 0 : std::min(load, AnyLoadAmount);
    return std::uint8_t((byte & ~LoadAmountMask) | kept);
}

inline constexpr FieldDescription DepartureFlagsField{.key = "departure_flags",
                                                      .name = "Departure control",
                                                      .offset = DepartureFlags,
                                                      .kind = FieldKind::Flags,
                                                      .rule = DepartureRule};

// Bits `mask` of byte 35 written alone: the rest of the byte is kept, and the byte's
// rule applies to the whole of it. A value is stored unshifted, so a flag is 0 or its bit.
[[nodiscard]] constexpr FieldDescription DepartureBits(std::string_view key, std::string_view name,
                                                       std::uint8_t mask, int high = -1)
{
    FieldDescription field = DepartureFlagsField;
    field.key = key;
    field.name = name;
    field.mask = mask;
    field.high = high < 0 ? mask : high;
    return field;
}

// The flags of byte 35, highest bit first; a flag's value is its bit (or 0).
inline constexpr std::array DepartureFlagFields{
    DepartureBits("departure_max_time", "Use maximum time", DepartUseMaximumTime),
    DepartureBits("departure_min_time", "Use minimum time", DepartUseMinimumTime),
    DepartureBits("departure_sync", "Sync with adjacent station", DepartSyncWithAdjacent),
    DepartureBits("departure_leave", "Leave when another train arrives",
                  DepartLeaveWhenAnotherArrives),
    DepartureBits("departure_wait", "Wait for load", DepartWaitForLoad),
};
inline constexpr FieldDescription LoadAmountField =
    DepartureBits("departure_load", "Load amount", LoadAmountMask, AnyLoadAmount);

inline constexpr FieldDescription NumTrainsField{.key = "trains",
                                                 .name = "Trains",
                                                 .offset = NumTrains,
                                                 .low = MinTrainsOrCars,
                                                 .high = MaxTrainsOrCars};
inline constexpr FieldDescription CarsPerTrainField{.key = "cars_per_train",
                                                    .name = "Cars per train",
                                                    .offset = CarsPerTrain,
                                                    .low = MinTrainsOrCars,
                                                    .high = MaxTrainsOrCars};
inline constexpr FieldDescription MinWaitField{.key = "min_wait",
                                               .name = "Minimum waiting time",
                                               .offset = MinWaitTime,
                                               .unit = "s",
                                               .high = 255};
inline constexpr FieldDescription MaxWaitField{.key = "max_wait",
                                               .name = "Maximum waiting time",
                                               .offset = MaxWaitTime,
                                               .unit = "s",
                                               .high = 255};
inline constexpr FieldDescription SpeedOrPeopleField{
    .key = "speed_or_people", .name = "Speed or people", .offset = SpeedOrPeople, .high = 255};
inline constexpr FieldDescription MaxSpeedField{.key = "max_speed",
                                                .name = "Maximum speed",
                                                .offset = MaxSpeed,
                                                .scale = MilesPerHourPerSpeedUnit,
                                                .unit = "mph"};
inline constexpr FieldDescription AverageSpeedField{.key = "average_speed",
                                                    .name = "Average speed",
                                                    .offset = AverageSpeed,
                                                    .scale = MilesPerHourPerSpeedUnit,
                                                    .unit = "mph"};
inline constexpr FieldDescription RideLengthField{.key = "ride_length",
                                                  .name = "Ride length",
                                                  .offset = RideLengthLow,
                                                  .width = 2,
                                                  .isSigned = true,
                                                  .scale = FeetPerLengthUnit,
                                                  .unit = "ft"};
inline constexpr FieldDescription PositiveGField{.key = "positive_g",
                                                 .name = "Positive g",
                                                 .offset = MaxPositiveG,
                                                 .scale = GPerUnit,
                                                 .unit = "g"};
// The game reads the negative g as a signed byte: F6 is -3.2 g.
inline constexpr FieldDescription NegativeGField{.key = "negative_g",
                                                 .name = "Negative g",
                                                 .offset = MaxNegativeG,
                                                 .isSigned = true,
                                                 .scale = GPerUnit,
                                                 .unit = "g"};
inline constexpr FieldDescription LateralGField{
    .key = "lateral_g", .name = "Lateral g", .offset = MaxLateralG, .scale = GPerUnit, .unit = "g"};
// The high bits of the counter bytes hold other things.
inline constexpr FieldDescription InversionsField{
    .key = "inversions", .name = "Inversions", .offset = Inversions, .mask = InversionsMask};
inline constexpr FieldDescription DropsField{
    .key = "drops", .name = "Drops", .offset = Drops, .mask = DropsMask};
inline constexpr FieldDescription HighestDropField{
    .key = "highest_drop", .name = "Highest drop", .offset = HighestDrop, .unit = "ft"};
inline constexpr FieldDescription ExcitementField{
    .key = "excitement", .name = "Excitement", .offset = Excitement, .scale = RatingScale};
inline constexpr FieldDescription IntensityField{
    .key = "intensity", .name = "Intensity", .offset = Intensity, .scale = RatingScale};
inline constexpr FieldDescription NauseaField{
    .key = "nausea", .name = "Nausea", .offset = Nausea, .scale = RatingScale};
inline constexpr FieldDescription UpkeepCostField{
    .key = "upkeep_cost", .name = "Upkeep cost", .offset = UpkeepCost, .width = 2};

// The read-only statistics, in the order a player reads them.
inline constexpr std::array StatisticsFields{
    ExcitementField, IntensityField,   NauseaField,     MaxSpeedField, AverageSpeedField,
    RideLengthField, PositiveGField,   NegativeGField,  LateralGField, InversionsField,
    DropsField,      HighestDropField, UpkeepCostField,
};

[[nodiscard]] constexpr FieldDescription ColorField(std::string_view key, std::string_view name,
                                                    std::size_t offset)
{
    // The game's palette has 32 colours.
    return {.key = key, .name = name, .offset = offset, .kind = FieldKind::Color, .high = 31};
}

// Body and trim colours of the twelve vehicle entries, numbered from 0 as the menus are.
inline constexpr std::array BodyColorFields{
    ColorField("body_color_0", "Body colour 0", bodyColor(0)),
    ColorField("body_color_1", "Body colour 1", bodyColor(1)),
    ColorField("body_color_2", "Body colour 2", bodyColor(2)),
    ColorField("body_color_3", "Body colour 3", bodyColor(3)),
    ColorField("body_color_4", "Body colour 4", bodyColor(4)),
    ColorField("body_color_5", "Body colour 5", bodyColor(5)),
    ColorField("body_color_6", "Body colour 6", bodyColor(6)),
    ColorField("body_color_7", "Body colour 7", bodyColor(7)),
    ColorField("body_color_8", "Body colour 8", bodyColor(8)),
    ColorField("body_color_9", "Body colour 9", bodyColor(9)),
    ColorField("body_color_10", "Body colour 10", bodyColor(10)),
    ColorField("body_color_11", "Body colour 11", bodyColor(11)),
};
inline constexpr std::array TrimColorFields{
    ColorField("trim_color_0", "Trim colour 0", trimColor(0)),
    ColorField("trim_color_1", "Trim colour 1", trimColor(1)),
    ColorField("trim_color_2", "Trim colour 2", trimColor(2)),
    ColorField("trim_color_3", "Trim colour 3", trimColor(3)),
    ColorField("trim_color_4", "Trim colour 4", trimColor(4)),
    ColorField("trim_color_5", "Trim colour 5", trimColor(5)),
    ColorField("trim_color_6", "Trim colour 6", trimColor(6)),
    ColorField("trim_color_7", "Trim colour 7", trimColor(7)),
    ColorField("trim_color_8", "Trim colour 8", trimColor(8)),
    ColorField("trim_color_9", "Trim colour 9", trimColor(9)),
    ColorField("trim_color_10", "Trim colour 10", trimColor(10)),
    ColorField("trim_color_11", "Trim colour 11", trimColor(11)),
};

// The single set of track colours (spine, rail, support) of the base layout. The
// expansion layout keeps these bytes, but the game reads its four schemes instead.
inline constexpr std::array BaseTrackColorFields{
    ColorField("track_spine_color", "Track spine colour", TrackSpineColor),
    ColorField("track_rail_color", "Track rail colour", TrackRailColor),
    ColorField("track_support_color", "Track support colour", TrackSupportColor),
};

// The expansion layout's four track colour schemes, numbered from 0 as the menus are:
// spine, rail and support of scheme 0, then of scheme 1, and so on.
inline constexpr std::array SchemeTrackColorFields{
    ColorField("track_spine_color_0", "Track spine colour 0", TrackSpineColors + 0),
    ColorField("track_rail_color_0", "Track rail colour 0", TrackRailColors + 0),
    ColorField("track_support_color_0", "Track support colour 0", TrackSupportColors + 0),
    ColorField("track_spine_color_1", "Track spine colour 1", TrackSpineColors + 1),
    ColorField("track_rail_color_1", "Track rail colour 1", TrackRailColors + 1),
    ColorField("track_support_color_1", "Track support colour 1", TrackSupportColors + 1),
    ColorField("track_spine_color_2", "Track spine colour 2", TrackSpineColors + 2),
    ColorField("track_rail_color_2", "Track rail colour 2", TrackRailColors + 2),
    ColorField("track_support_color_2", "Track support colour 2", TrackSupportColors + 2),
    ColorField("track_spine_color_3", "Track spine colour 3", TrackSpineColors + 3),
    ColorField("track_rail_color_3", "Track rail colour 3", TrackRailColors + 3),
    ColorField("track_support_color_3", "Track support colour 3", TrackSupportColors + 3),
};

// The whole of byte 7 as the colour-scheme commands write it: the scheme and the
// expansion flag together. Its name is the scheme's, as the user sets the scheme.
inline constexpr FieldDescription SchemeAndVersionField{
    .key = "scheme_and_version", .name = "Vehicle colour scheme", .offset = SchemeAndVersion};

// The field byte `offset` belongs to in a record of `layout` (see HeaderLayout; Unusual
// counts as Base), or nullptr when no field names the byte (bytes 2 to 5, the track
// data and everything after it).
[[nodiscard]] const FieldDescription* FieldAt(std::size_t offset, RecordLayout layout);

// The field byte `offset` of `record` belongs to, the layout read from the record itself
// (HeaderLayoutOf); nullptr when no field names the byte or the record ends before it.
[[nodiscard]] const FieldDescription* FieldOfByte(ByteView record, std::size_t offset);

// The stored value of a field (masked, sign-extended), or nothing when the record is too
// short to hold it.
[[nodiscard]] std::optional<int> StoredValue(ByteView record, const FieldDescription& field);

// The stored value times the field's scale, or nothing when the record lacks the field.
[[nodiscard]] std::optional<double> ScaledValue(ByteView record, const FieldDescription& field);

// One byte a field write stores.
struct FieldByte
{
    std::size_t offset;
    std::uint8_t value;
};

// The bytes that store `value` in `field` of `record`: only the field's own bits change
// (the rest of a masked byte is kept), then the field's rule applies to the byte; a
// two-byte field takes the value's low 16 bits, low byte first. Empty when the record is
// too short to hold the field.
[[nodiscard]] std::vector<FieldByte> FieldBytes(ByteView record, const FieldDescription& field,
                                                int value);

} // namespace railwright::record

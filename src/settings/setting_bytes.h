#pragma once

#include "codec/game_version.h"
#include "codec/record_fields.h"

#include <cstddef>

// Which field of the decoded record each settings command writes, and with what value:
// lookups into the record's field table. The menus only pick the arguments; the
// arithmetic lives here so it can be checked on its own.
namespace railwright {

// The three parts of the track that carry a colour.
enum class TrackPart
{
    Spine,
    Rail,
    Support,
};

// The three code tables and the byte each one's menu writes.
enum class CodeKind
{
    RideType,
    VehicleType,
    OperatingMode,
};

inline constexpr int PaletteSize = 32;
inline constexpr int VehicleColorItems = 12; // items 0..11 of the body and trim menus
inline constexpr int TrackColorItems = 4;    // items 0..3 of the three track menus

// The field a type menu writes: byte 0, 1 or 6.
[[nodiscard]] const record::FieldDescription& CodeField(CodeKind kind);

// The value a colour-scheme command stores in record::SchemeAndVersionField (byte 7): the scheme (0
// all the same, 1 trains differ, 2 cars differ, 3 not used) plus 4 for either expansion.
[[nodiscard]] int ColorSchemeByte(int scheme, GameVersion version);

// The field item `scheme` (0..3) of a track-colour menu writes: the base game keeps one
// colour per part (bytes 32, 33, 34) whatever the item, the expansions one per scheme
// (56 + s, 60 + s, 64 + s).
[[nodiscard]] const record::FieldDescription& TrackColorField(TrackPart part, int scheme,
                                                              GameVersion version);

// The fields of vehicle entry `entry` (0..11): body at byte 8 + 2i, trim at 9 + 2i.
[[nodiscard]] const record::FieldDescription& BodyColorField(int entry);
[[nodiscard]] const record::FieldDescription& TrimColorField(int entry);

// Whether items 1 to 3 of the track-colour menus can be chosen once a version has been
// chosen: only the expansions have more than one track colour scheme.
[[nodiscard]] bool TrackSchemeItemsEnabled(GameVersion version);

// Whether `code` is a palette index the colour commands may store.
[[nodiscard]] constexpr bool IsPaletteCode(int code)
{
    return code >= 0 && code < PaletteSize;
}

} // namespace railwright

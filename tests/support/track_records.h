#pragma once

#include "support/hex_bytes.h"

#include <cstdint>
#include <cstring>
#include <vector>

// Decoded records holding a given track list, for the track tests.
namespace railwright::testing {

// The circuit of the track tests: three station pieces, a climb, a right vertical loop,
// a right turn into a diagonal and back, a descent and two more right turns home.
// Walked by hand: it covers tiles x -9..2, y 0..7, heights 0 to 152 (the loop's top).
inline constexpr const char* TestCircuit =
    "02 00 03 00 01 00 06 00 04 80 09 80 29 00 2B 00 86 00 8D 00 88 00 0C 00 0A 00 0F 00 "
    "00 00 00 00 2B 00 00 00 00 00 00 00 00 00 2B 00";

// A record of `length` bytes (8,058 base, 8,198 expansion, or any other) with byte 0
// `ride`, byte 7 `byte7` and `pieces` (hex "code flags ...") at the list start, then the
// FF end marker unless `endMarker` is false.
inline ByteBuffer trackRecord(std::size_t length, std::uint8_t ride, std::uint8_t byte7,
                              const char* pieces, bool endMarker = true)
{
    ByteBuffer record(length, 0);
    if (length > 0) {
        record[0] = ride;
    }
    if (length > 7) {
        record[7] = byte7;
    }
    const bool expansion = length == 8198 || (length != 8058 && (byte7 & 4) != 0);
    std::size_t at = expansion ? 0xC4 : 0x38;
    for (std::uint8_t byte : hexBytes(pieces)) {
        if (at < length) {
            record[at++] = byte;
        }
    }
    if (endMarker && at < length) {
        record[at] = 0xFF;
    }
    return record;
}

// Three stations and a loop of right turns back to the first: a circuit built by the
// construction rule (each piece starts the way the one before ends).
inline constexpr const char* BuiltCircuit =
    "02 00 03 00 01 00 2B 00 2B 00 00 00 00 00 00 00 2B 00 2B 00";

// Edits of a track as `railwright-cli track` takes them, and the list they give. The window
// tests make the same edits through the Track menu and the piece chooser: both must give
// these bytes.
// Tracks that come back over their own tiles, with the collisions `pieces` names for each:
// a flat 16 units over the first piece clears a boat (16 units of room), not a train of 24
// or 40; a ride of no known clearance collides only at the same height.
struct CollisionCase
{
    const char* name;
    std::uint8_t ride;
    const char* pieces;
    std::vector<const char*> lines;
};
inline constexpr const char* RiseOverStart =
    "00 00 32 00 32 00 06 00 09 00 32 00 32 00 00 00 00 00";
inline const std::vector<CollisionCase>& CollisionCases()
{
    static const std::vector<CollisionCase> cases = {
        {"fifth turn",
         0x00,
         "32 00 32 00 32 00 32 00 32 00",
         {"Pieces 0 and 4 collide on tile (0, 0)"}},
        {"wooden coaster, 24 units",
         0x00,
         RiseOverStart,
         {"Pieces 0 and 8 collide on tile (0, 0)"}},
        {"suspended coaster, 40 units",
         0x02,
         RiseOverStart,
         {"Pieces 0 and 8 collide on tile (0, 0)"}},
        {"boat hire, 16 units", 0x08, RiseOverStart, {}},
        {"clearance not known", 0x15, RiseOverStart, {}},
    };
    return cases;
}

struct TrackEditCase
{
    const char* name;
    std::uint8_t byte7; // 0x04: the expansion layout, where pieces have colour schemes
    const char* before; // the pieces, hex "code flags ..."
    std::vector<const char*> arguments;
    const char* after;
};
inline const std::vector<TrackEditCase>& TrackEditCases()
{
    static const std::vector<TrackEditCase> cases = {
        {"lengthen the station",
         0x00,
         BuiltCircuit,
         {"--insert", "1:03"},
         "02 00 03 00 03 00 01 00 2B 00 2B 00 00 00 00 00 00 00 2B 00 2B 00"},
        // Inserted pieces take the scheme of the piece before them and no other flag.
        {"extend a lift hill",
         0x04,
         "02 10 06 A0 04 A0 09 00",
         {"--insert", "3:04,up 25"},
         "02 10 06 A0 04 A0 04 20 04 20 09 00"},
        // Applied in order: the replaced index counts after the deletion.
        {"shorten and cover",
         0x00,
         BuiltCircuit,
         {"--delete", "5-7", "--replace", "4:56"},
         "02 00 03 00 01 00 2B 00 56 00 2B 00 2B 00"},
        {"two inserts",
         0x00,
         BuiltCircuit,
         {"--insert", "3:00", "--insert", "5:2A"},
         "02 00 03 00 01 00 00 00 2B 00 2A 00 2B 00 00 00 00 00 00 00 2B 00 2B 00"},
        {"delete one, insert two",
         0x04,
         "02 00 03 30 01 00",
         {"--delete", "1", "--insert", "0:flat,2B"},
         "00 00 2B 00 02 00 01 00"},
    };
    return cases;
}

} // namespace railwright::testing

#pragma once

#include "support/hex_bytes.h"

#include <cstdint>
#include <cstring>

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

} // namespace railwright::testing

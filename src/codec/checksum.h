#pragma once

#include "byte_buffer.h"
#include "game_version.h"

#include <cstdint>

namespace railwright {

// The constant the game subtracts from the running sum: one for Loopy Landscapes,
// another shared by the base game and Corkscrew Follies.
[[nodiscard]] std::uint32_t ChecksumConstant(GameVersion version);

// The 32-bit checksum value of an encoded body for the given game.
[[nodiscard]] std::uint32_t ComputeChecksum(ByteView body, GameVersion version);

// The body followed by its four checksum bytes, least significant first.
[[nodiscard]] ByteBuffer AppendChecksum(ByteView body, GameVersion version);

// The track-design file of a decoded record: its run-length encoded body closed by the
// game's checksum. Every path that encodes (the editor, encode, convert, track) calls this.
[[nodiscard]] ByteBuffer EncodeDesign(ByteView record, GameVersion version);

} // namespace railwright

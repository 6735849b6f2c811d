#include "checksum.h"

#include "rle.h"

namespace railwright {

namespace {

constexpr std::uint32_t LoopyLandscapesConstant = 120001;
constexpr std::uint32_t OtherVersionsConstant = 108156;

} // namespace

std::uint32_t ChecksumConstant(GameVersion version)
{
    return version == GameVersion::LoopyLandscapes ? LoopyLandscapesConstant
                                                   : OtherVersionsConstant;
}

std::uint32_t ComputeChecksum(ByteView body, GameVersion version)
{
    // The game's own 32-bit register arithmetic: the byte is added into the low
    // eight bits only (no carry into the upper 24), then the whole register rotates.
    std::uint32_t sum = 0;
    for (const std::uint8_t c : body) {
        sum = (sum & 0xFFFFFF00u) | ((sum + c) & 0xFFu);
        sum = (sum << 3) | (sum >> 29);
    }
    // Unsigned subtraction wraps modulo 2^32, as the game's register does.
    return sum - ChecksumConstant(version);
}

ByteBuffer AppendChecksum(ByteView body, GameVersion version)
{
    const std::uint32_t value = ComputeChecksum(body, version);
    ByteBuffer out;
    out.reserve(body.size() + 4);
    out.assign(body.begin(), body.end());
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(std::uint8_t(value >> shift));
    }
    return out;
}

ByteBuffer EncodeDesign(ByteView record, GameVersion version)
{
    return AppendChecksum(RLEEncode(record), version);
}

} // namespace railwright

#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace railwright {

// A run of raw bytes: a whole track-design file, an encoded body or a decoded record.
using ByteBuffer = std::vector<std::uint8_t>;
using ByteView = std::span<const std::uint8_t>;

} // namespace railwright

#pragma once

#include "byte_buffer.h"

#include <string>

namespace railwright {

// Outcome of decoding a track-design file. On failure `record` is empty and `error`
// names what is wrong in words a user can act on.
struct DecodeResult
{
    ByteBuffer record;
    std::string error;

    [[nodiscard]] bool ok() const { return error.empty(); }
};

// Decodes a whole track-design file (run-length encoded body followed by the four
// checksum bytes, which are not verified). A file of 5 bytes or fewer decodes to an
// empty record. A literal block that reaches past the end of the file is an error;
// the decoder never reads outside `file`.
[[nodiscard]] DecodeResult RLEDecode(ByteView file);

// Run-length encodes a decoded record into a body without checksum. The output is
// fixed for every input: literal blocks of 1 to 125 bytes, repeat blocks of 2 to 125.
[[nodiscard]] ByteBuffer RLEEncode(ByteView record);

} // namespace railwright

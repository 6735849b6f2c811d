// Encoding any record and decoding the result, whatever four checksum bytes follow,
// gives the record back exactly. The first four input bytes serve as the checksum,
// the rest as the record.
#include "codec/rle.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace railwright;
    constexpr std::size_t ChecksumLength = 4;
    constexpr std::size_t LargestRecord = 65000;
    const std::size_t checksumBytes = std::min(size, ChecksumLength);
    const ByteView record(data + checksumBytes, std::min(size - checksumBytes, LargestRecord));

    ByteBuffer file = RLEEncode(record);
    file.insert(file.end(), data, data + checksumBytes);
    file.insert(file.end(), ChecksumLength - checksumBytes, std::uint8_t(0x80));

    const DecodeResult decoded = RLEDecode(file);
    if (!decoded.ok() ||
        !std::equal(decoded.record.begin(), decoded.record.end(), record.begin(), record.end())) {
        std::abort();
    }
    return 0;
}

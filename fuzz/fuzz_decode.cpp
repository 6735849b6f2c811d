// Decoding any bytes at all must end in a record or an error, never a crash or a
// read outside the input. A record that does come out must survive a round trip.
#include "codec/rle.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace railwright;
    const DecodeResult result = RLEDecode(ByteView(data, size));
    if (!result.ok()) {
        if (!result.record.empty()) {
            std::abort(); // a refused file must not hand back a partial record
        }
        return 0;
    }
    // No block yields more than 129 bytes from 2 file bytes.
    if (result.record.size() > size / 2 * 129 + 129) {
        std::abort();
    }
    ByteBuffer again = RLEEncode(result.record);
    again.insert(again.end(), {0, 0, 0, 0});
    const DecodeResult second = RLEDecode(again);
    if (!second.ok() || second.record != result.record) {
        std::abort();
    }
    return 0;
}

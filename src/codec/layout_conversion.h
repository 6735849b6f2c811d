#pragma once

#include "byte_buffer.h"
#include "design_inspection.h"

#include <string>

// Moving a decoded record between the base layout (8,058 bytes, one set of track colours)
// and the expansion layout (8,198 bytes, four track colour schemes).
namespace railwright {

struct LayoutConversion
{
    ByteBuffer record; // the record in the target layout, when ok()
    std::string error; // why nothing was converted, in words for the user
    // The refusal lists what the base layout cannot hold; converting with `force` drops it.
    bool lossy = false;

    [[nodiscard]] bool ok() const { return error.empty(); }
};

// To the expansion layout: inserts the 140-byte header before the track data, all four
// track colour schemes taken from the base colours at 32-34, the second flags byte and the
// padding zero, and sets the expansion flag of byte 7.
// To the base layout: removes that header, puts track colour scheme 0 into 32-34 and clears
// the flag. Unless `force`, refused (lossy) when schemes 1-3 differ from scheme 0 or the
// second flags byte or the padding is not zero.
// A record of another length, one already in `target` or a target of RecordLayout::Unusual
// is refused; the input is never changed.
[[nodiscard]] LayoutConversion ConvertLayout(ByteView record, RecordLayout target, bool force);

} // namespace railwright

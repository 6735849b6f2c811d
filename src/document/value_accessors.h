#pragma once

#include "track_design_document.h"

#include <QString>

namespace railwright {

// Single bytes as text. Reads clamp the index into the document: past the end reads
// the last byte, a negative index reads byte 0. An empty element reads "00" (or empty
// text for GetChrVal).

// Two upper-case hexadecimal digits: 10 gives "0A".
[[nodiscard]] QString GetHexVal(const TrackDesignDocument& document,
                                TrackDesignDocument::Index index);
// Decimal with at least two digits: 5 gives "05", 200 gives "200".
[[nodiscard]] QString GetDecVal(const TrackDesignDocument& document,
                                TrackDesignDocument::Index index);
// The byte as its one character (Latin-1, so the mapping is one to one).
[[nodiscard]] QString GetChrVal(const TrackDesignDocument& document,
                                TrackDesignDocument::Index index);

// Stores the byte whose code is the one character of `character`, as one undoable step.
// Refused, changing nothing and returning false, when the index lies outside the
// document or the text is not one character of code 0 to 255 (an empty text included:
// no edit may drop a byte from the file).
bool SetChrVal(TrackDesignDocument& document, TrackDesignDocument::Index index,
               const QString& character);

} // namespace railwright

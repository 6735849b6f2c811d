#pragma once

#include "codec/design_inspection.h"

#include <QString>

namespace railwright {

// What an encoded file is, in a few words: "Loopy Landscapes design, checksum valid",
// "Base game or Corkscrew Follies design, checksum valid", "Checksum matches no game
// version" or "Not a track design: it does not decode".
[[nodiscard]] QString FileHealthText(const DesignInspection& inspection);

// What a decoded record is: "Decoded: 8,198 bytes, expansion layout", "Decoded: 8,058
// bytes, base layout" or "Decoded: N bytes (unusual length)". Numbers in the user's locale.
[[nodiscard]] QString RecordHealthText(const RecordFacts& facts);

} // namespace railwright

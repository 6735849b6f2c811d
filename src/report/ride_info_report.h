#pragma once

#include "codec/byte_buffer.h"
#include "codec/code_table_format.h"
#include "codec/game_version.h"

#include <QString>

namespace railwright {

// The 22 lines of the "Ride Info" report for a decoded record's bytes, joined by `lineBreak`
// with none after the last. Never fails: a field the record is too short for shows as
// "-", an unknown code gives an empty name, control characters in a name are shown
// (VisibleText). The values come from the record's field descriptions; numbers use the
// decimal separator of the default QLocale.
[[nodiscard]] QString BuildRideInfoReport(ByteView record, const CodeTables& tables,
                                          GameVersion version, QStringView lineBreak = u"\r\n");

} // namespace railwright

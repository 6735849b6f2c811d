#pragma once

#include "codec/code_table_format.h"
#include "codec/game_version.h"
#include "document/track_design_document.h"

#include <QString>
#include <cstdint>

namespace railwright {

// The 22 lines of the "Ride Info" report for a decoded record, joined by `lineBreak`
// with none after the last. Never fails: a short record reads its last byte for the
// missing ones, an unknown code gives an empty name. Numbers use the decimal separator
// of the default QLocale.
[[nodiscard]] QString BuildRideInfoReport(const TrackDesignDocument& record,
                                          const CodeTables& tables, GameVersion version,
                                          const QString& lineBreak = QStringLiteral("\r\n"));

// The number of inversions a record's inversions byte stands for (its bits 0-4).
[[nodiscard]] int InversionCount(std::uint8_t inversionsByte);
// The number of drops a record's drops byte stands for (its bits 0-5).
[[nodiscard]] int DropCount(std::uint8_t dropsByte);

} // namespace railwright

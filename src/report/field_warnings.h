#pragma once

#include "codec/byte_buffer.h"
#include "codec/design_inspection.h"
#include "codec/game_version.h"
#include "codec/record_fields.h"

#include <QString>

// Values of a decoded record that the game does not expect, as one sentence each for the
// design panel's warning marks. A warning never stops an edit. Each function gives an
// empty text when nothing is wrong.
namespace railwright {

// Colour codes above 31, trains or cars of 0 or above 12, a minimum waiting time above
// the maximum (told at both waiting times), and a vehicle or operating mode the game does
// not offer for the record's ride type in `version` (see rules::VehicleWarning). Empty when
// the record lacks the field.
[[nodiscard]] QString FieldWarning(ByteView record, const record::FieldDescription& field,
                                   GameVersion version = GameVersion::LoopyLandscapes);

// A record length that is neither 8,058 nor 8,198 bytes.
[[nodiscard]] QString RecordLengthWarning(const RecordFacts& facts);
// Track data without its FF end marker.
[[nodiscard]] QString EndMarkerWarning(const RecordFacts& facts);

} // namespace railwright

#pragma once

#include "codec/byte_buffer.h"
#include "codec/code_table_format.h"
#include "codec/record_fields.h"

#include <QLocale>
#include <QString>

// How a decoded record's fields read as text beside the grid: names of codes and
// palette colours, and values with their units.
namespace railwright {

// The game's name of palette colour `code` ("Bright Red" for 24); outside the palette
// "Not a palette colour (40)".
[[nodiscard]] QString PaletteColorName(int code);

// A code-table entry as a choice in a list: the trimmed name read as Windows-1252, then
// the code as stored in brackets: "Steel Wild Mouse Roller Coaster (36)".
[[nodiscard]] QString CodeChoiceText(const CodeRecord& entry);
// A code no entry of the table names: "Unknown (code 5A)".
[[nodiscard]] QString UnknownCodeText(int code);

// Whether byte 40 is a speed (the launch modes) rather than a number of people or
// another count under operating mode `operatingMode`.
[[nodiscard]] bool SpeedOrPeopleIsSpeed(int operatingMode);

// A field's value with its unit: ratings with one decimal ("6.5"), speeds in mph and
// km/h ("90.00 mph (144.8 km/h)"), lengths in feet and metres ("12 ft (3.7 m)"), forces
// in g ("-3.20 g"), plain counts otherwise. Empty when the record lacks the field.
[[nodiscard]] QString FieldValueText(ByteView record, const record::FieldDescription& field,
                                     const QLocale& locale);

} // namespace railwright

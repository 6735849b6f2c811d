#pragma once

#include "codec/byte_buffer.h"
#include "codec/game_version.h"
#include "codec/record_fields.h"

#include <QLocale>
#include <QString>
#include <optional>

namespace railwright {

// One row of the Design panel without its widgets: what a view of a decoded record shows
// for a field. The panel's boxes, captions, statistics and warning marks read it, so a
// field's name, range and warning are taken from the field table in one place.
struct FieldRow
{
    QString label;            // the field's name: "Cars per train"
    std::optional<int> value; // the stored value; nothing when the record lacks the field
    QString valueText;        // FieldValueText, or a colour's name; empty without a value
    int low = 0;              // the range an editor offers: the field's own, widened to
    int high = 0;             // hold a stored value outside it (shown with its warning)
    QString warning;          // FieldWarning: empty when the game expects the value
};

// The row of `field` in `record`, under game `version` (vehicles and modes depend on it).
[[nodiscard]] FieldRow DescribeField(ByteView record, const record::FieldDescription& field,
                                     GameVersion version, const QLocale& locale);

// A field's name as text.
[[nodiscard]] QString FieldLabel(const record::FieldDescription& field);

} // namespace railwright

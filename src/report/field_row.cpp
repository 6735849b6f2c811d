#include "field_row.h"

#include "field_text.h"
#include "field_warnings.h"

#include <algorithm>

namespace railwright {

using namespace Qt::StringLiterals;

QString FieldLabel(const record::FieldDescription& field)
{
    return QString::fromLatin1(field.name.data(), qsizetype(field.name.size()));
}

FieldRow DescribeField(ByteView record, const record::FieldDescription& field, GameVersion version,
                       const QLocale& locale)
{
    FieldRow row;
    row.label = FieldLabel(field);
    row.value = record::StoredValue(record, field);
    row.low = field.low;
    row.high = field.hasRange() ? field.high : 255;
    if (!row.value) {
        return row;
    }
    row.low = std::min(row.low, *row.value);
    row.high = std::max(row.high, *row.value);
    row.valueText = field.kind == record::FieldKind::Color ? PaletteColorName(*row.value)
                                                           : FieldValueText(record, field, locale);
    row.warning = FieldWarning(record, field, version);
    return row;
}

} // namespace railwright

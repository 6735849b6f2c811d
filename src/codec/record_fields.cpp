#include "record_fields.h"

namespace railwright::record {

std::optional<int> StoredValue(ByteView record, const FieldDescription& field)
{
    if (record.size() < field.end()) {
        return std::nullopt;
    }
    if (field.width == 2) {
        const auto word = std::uint16_t(record[field.offset] | record[field.offset + 1] << 8);
        return field.isSigned ? int(std::int16_t(word)) : int(word);
    }
    const std::uint8_t byte = record[field.offset] & field.mask;
    return field.isSigned ? int(std::int8_t(byte)) : int(byte);
}

std::optional<double> ScaledValue(ByteView record, const FieldDescription& field)
{
    const std::optional<int> stored = StoredValue(record, field);
    if (!stored) {
        return std::nullopt;
    }
    return *stored * field.scale;
}

} // namespace railwright::record

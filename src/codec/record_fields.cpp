#include "record_fields.h"

#include <algorithm>

namespace railwright::record {

namespace {

// The fields both layouts share, in one list.
constexpr std::array SettingFields{
    RideTypeField,       VehicleTypeField,   OperatingModeField, VehicleColorSchemeField,
    DepartureFlagsField, NumTrainsField,     CarsPerTrainField,  MinWaitField,
    MaxWaitField,        SpeedOrPeopleField,
};
constexpr std::array HeaderFields = [] {
    std::array<FieldDescription, SettingFields.size() + StatisticsFields.size() +
                                     2 * VehicleEntryCount + BaseTrackColorFields.size()>
        fields{};
    auto next = std::copy(SettingFields.begin(), SettingFields.end(), fields.begin());
    next = std::copy(StatisticsFields.begin(), StatisticsFields.end(), next);
    next = std::copy(BodyColorFields.begin(), BodyColorFields.end(), next);
    next = std::copy(TrimColorFields.begin(), TrimColorFields.end(), next);
    std::copy(BaseTrackColorFields.begin(), BaseTrackColorFields.end(), next);
    return fields;
}();

const FieldDescription* FindField(auto& fields, std::size_t offset)
{
    const auto found = std::find_if(fields.begin(), fields.end(), [offset](const auto& field) {
        return offset >= field.offset && offset < field.end();
    });
    return found == fields.end() ? nullptr : &*found;
}

} // namespace

const FieldDescription* FieldAt(std::size_t offset, RecordLayout layout)
{
    if (const FieldDescription* field = FindField(HeaderFields, offset)) {
        return field;
    }
    return layout == RecordLayout::Expansion ? FindField(SchemeTrackColorFields, offset) : nullptr;
}

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

const FieldDescription* FieldOfByte(ByteView record, std::size_t offset)
{
    return offset < record.size() ? FieldAt(offset, HeaderLayoutOf(record)) : nullptr;
}

std::vector<FieldByte> FieldBytes(ByteView record, const FieldDescription& field, int value)
{
    if (record.size() < field.end()) {
        return {};
    }
    if (field.width == 2) {
        return {{field.offset, std::uint8_t(value & 0xFF)},
                {field.offset + 1, std::uint8_t((value >> 8) & 0xFF)}};
    }
    const int kept = record[field.offset] & ~field.mask;
    const auto byte = std::uint8_t(kept | (value & field.mask));
    return {{field.offset, field.rule != nullptr ? field.rule(byte) : byte}};
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

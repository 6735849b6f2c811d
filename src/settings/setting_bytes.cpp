#include "settings/setting_bytes.h"

#include "codec/record_layout.h"

namespace railwright {

const record::FieldDescription& CodeField(CodeKind kind)
{
    switch (kind) {
    case CodeKind::RideType:
        return record::RideTypeField;
    case CodeKind::VehicleType:
        return record::VehicleTypeField;
    case CodeKind::OperatingMode:
        return record::OperatingModeField;
    }
    return record::RideTypeField;
}

int ColorSchemeByte(int scheme, GameVersion version)
{
    // The whole byte is replaced: whatever else byte 7 held is dropped on purpose, as
    // the game writes it.
    const int value = scheme & record::SchemeMask;
    return version == GameVersion::Original ? value : value + record::ExpansionFlag;
}

const record::FieldDescription& TrackColorField(TrackPart part, int scheme, GameVersion version)
{
    const auto partIndex = std::size_t(part);
    if (version == GameVersion::Original) {
        return record::BaseTrackColorFields[partIndex];
    }
    // The scheme fields run spine, rail, support of scheme 1, then of scheme 2, ...
    const auto s = std::size_t(scheme) % record::TrackColorSchemeCount;
    return record::SchemeTrackColorFields[s * record::BaseTrackColorFields.size() + partIndex];
}

const record::FieldDescription& BodyColorField(int entry)
{
    return record::BodyColorFields[std::size_t(entry) % record::VehicleEntryCount];
}

const record::FieldDescription& TrimColorField(int entry)
{
    return record::TrimColorFields[std::size_t(entry) % record::VehicleEntryCount];
}

bool TrackSchemeItemsEnabled(GameVersion version)
{
    return version != GameVersion::Original;
}

} // namespace railwright

#include "settings/setting_bytes.h"

#include "codec/record_layout.h"

namespace railwright {

std::size_t CodeByte(CodeKind kind)
{
    switch (kind) {
    case CodeKind::RideType:
        return record::RideType;
    case CodeKind::VehicleType:
        return record::VehicleType;
    case CodeKind::OperatingMode:
        return record::OperatingMode;
    }
    return record::RideType;
}

int ColorSchemeByte(int scheme, GameVersion version)
{
    // The whole byte is replaced: whatever else byte 7 held is dropped on purpose, as
    // the game writes it.
    const int value = scheme & record::SchemeMask;
    return version == GameVersion::Original ? value : value + record::ExpansionFlag;
}

std::size_t TrackColorByte(TrackPart part, int scheme, GameVersion version)
{
    if (version == GameVersion::Original) {
        switch (part) {
        case TrackPart::Spine:
            return record::TrackSpineColor;
        case TrackPart::Rail:
            return record::TrackRailColor;
        case TrackPart::Support:
            return record::TrackSupportColor;
        }
    }
    const auto s = std::size_t(scheme) % record::TrackColorSchemeCount;
    switch (part) {
    case TrackPart::Spine:
        return record::TrackSpineColors + s;
    case TrackPart::Rail:
        return record::TrackRailColors + s;
    case TrackPart::Support:
        return record::TrackSupportColors + s;
    }
    return record::TrackSpineColors + s;
}

std::size_t BodyColorByte(int entry)
{
    return record::bodyColor(std::size_t(entry) % record::VehicleEntryCount);
}

std::size_t TrimColorByte(int entry)
{
    return record::trimColor(std::size_t(entry) % record::VehicleEntryCount);
}

bool TrackSchemeItemsEnabled(GameVersion version)
{
    return version != GameVersion::Original;
}

} // namespace railwright

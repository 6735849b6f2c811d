#include "field_warnings.h"

#include "codec/record_layout.h"
#include "rules/ride_rules.h"
#include "settings/setting_bytes.h"

#include <QLocale>

namespace railwright {

using namespace Qt::StringLiterals;

QString FieldWarning(ByteView record, const record::FieldDescription& field, GameVersion version)
{
    const std::optional<int> value = record::StoredValue(record, field);
    if (!value) {
        return {};
    }
    if (field.offset == record::VehicleTypeField.offset ||
        field.offset == record::OperatingModeField.offset) {
        const std::uint8_t ride = record[record::RideType];
        const QString why = field.offset == record::VehicleTypeField.offset
                                ? rules::VehicleWarning(ride, std::uint8_t(*value), version)
                                : rules::ModeWarning(ride, std::uint8_t(*value));
        return why.isEmpty() ? why : why + u'.';
    }
    if (field.kind == record::FieldKind::Color && !IsPaletteCode(*value)) {
        return u"Colour code %1 is outside the game's palette (0 to 31)."_s.arg(*value);
    }
    if (field.offset == record::NumTrainsField.offset ||
        field.offset == record::CarsPerTrainField.offset) {
        if (*value < record::MinTrainsOrCars || *value > record::MaxTrainsOrCars) {
            return u"%1 is %2; the game runs %3 to %4."_s.arg(QString::fromLatin1(field.name))
                .arg(*value)
                .arg(record::MinTrainsOrCars)
                .arg(record::MaxTrainsOrCars);
        }
        return {};
    }
    if (field.offset == record::MinWaitField.offset ||
        field.offset == record::MaxWaitField.offset) {
        const std::optional<int> minimum = record::StoredValue(record, record::MinWaitField);
        const std::optional<int> maximum = record::StoredValue(record, record::MaxWaitField);
        if (minimum && maximum && *minimum > *maximum) {
            return u"The minimum waiting time (%1 s) is above the maximum (%2 s)."_s.arg(*minimum)
                .arg(*maximum);
        }
    }
    return {};
}

QString RecordLengthWarning(const RecordFacts& facts)
{
    if (facts.layout != RecordLayout::Unusual) {
        return {};
    }
    const QLocale locale;
    return u"The record is %1 bytes long; the game writes %2 (base layout) or %3 (expansion "
           "layout)."_s.arg(locale.toString(qulonglong(facts.length)),
                            locale.toString(qulonglong(BaseRecordLength)),
                            locale.toString(qulonglong(ExpansionRecordLength)));
}

QString EndMarkerWarning(const RecordFacts& facts)
{
    if (facts.trackPieces) {
        return {};
    }
    return u"The track data has no FF end marker: the game may read past the track."_s;
}

} // namespace railwright

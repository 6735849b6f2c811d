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
    // The range is the field's own, the one the panel's and the dialog's boxes offer.
    if (field.hasRange() && (*value < field.low || *value > field.high)) {
        if (field.kind == record::FieldKind::Color) {
            return u"Colour code %1 is outside the game's palette (%2 to %3)."_s.arg(*value)
                .arg(field.low)
                .arg(field.high);
        }
        return u"%1 is %2; the game runs %3 to %4."_s
            .arg(QString::fromLatin1(field.name.data(), qsizetype(field.name.size())))
            .arg(*value)
            .arg(field.low)
            .arg(field.high);
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

#include "ride_info_report.h"

#include "codec/record_fields.h"
#include "codec/record_layout.h"
#include "number_text.h"
#include "settings/code_names.h"
#include "visible_text.h"

#include <QLocale>
#include <QStringList>
#include <string>

namespace railwright {

using namespace Qt::StringLiterals;

namespace {

QString ColorSchemeText(int value)
{
    if (value >= record::ExpansionFlag) {
        value -= record::ExpansionFlag;
    }
    switch (value) {
    case record::SchemeAllSame:
        return u"All Vehicles Are The Same Color"_s;
    case record::SchemeTrainsDiffer:
        return u"Trains Have Different Colors"_s;
    case record::SchemeCarsDiffer:
        return u"Each Car Has Different Colors"_s;
    case record::SchemeNotUsed:
        return u"Not Used"_s;
    default:
        return QString();
    }
}

} // namespace

QString BuildRideInfoReport(ByteView view, const CodeTables& tables, GameVersion version,
                            QStringView lineBreak)
{
    using namespace record;
    const QLocale locale;
    // A field past the end of the record is shown as missing.
    const QString missing = u"-"_s;
    const auto number = [&](std::optional<double> value, const QString& unit = {}) {
        return value ? FormatNumber(*value, locale) + unit : missing;
    };
    const auto twoDigits = [&](const FieldDescription& field, const QString& unit = {}) {
        const std::optional<int> value = StoredValue(view, field);
        return value ? QString::number(*value).rightJustified(2, u'0') + unit : missing;
    };
    const auto name = [&](const CodeTable& table, const FieldDescription& field) {
        const std::optional<int> value = StoredValue(view, field);
        return value ? VisibleText(CodeNames(table).name(std::uint8_t(*value))) : missing;
    };
    const std::optional<int> speedOrPeople = StoredValue(view, SpeedOrPeopleField);
    // The whole byte: a value of 8 or more names no scheme, though its low bits would.
    FieldDescription schemeByte = VehicleColorSchemeField;
    schemeByte.mask = 0xFF;
    const std::optional<int> scheme = StoredValue(view, schemeByte);

    // The base game keeps the report's historical spelling.
    const QString versionText = version == GameVersion::Original           ? u"Orginal"_s
                                : version == GameVersion::CorkscrewFollies ? u"Corkscrew Follies"_s
                                                                           : u"Loopy Landscapes"_s;
    const QString separatorLine(20, u'-');

    const QStringList lines = {
        u"RCT Version: "_s + versionText,
        u"Ride Type: "_s + name(tables.rideTypes, RideTypeField),
        u"Vechicle Type: "_s + name(tables.vehicleTypes, VehicleTypeField),
        u"Operating Mode: "_s + name(tables.operatingModes, OperatingModeField),
        u"Color Scheme: "_s + (scheme ? ColorSchemeText(*scheme) : missing),
        u"Num of Trains: "_s + twoDigits(NumTrainsField),
        u"Cars Per Train: "_s + twoDigits(CarsPerTrainField),
        u"Speed/People: "_s + (speedOrPeople
                                   ? number(*speedOrPeople * MilesPerHourPerSpeedUnit, u" Mph/"_s) +
                                         twoDigits(SpeedOrPeopleField)
                                   : missing),
        separatorLine,
        u"Excitement: "_s + number(ScaledValue(view, ExcitementField)),
        u"Intensity: "_s + number(ScaledValue(view, IntensityField)),
        u"Nausea: "_s + number(ScaledValue(view, NauseaField)),
        separatorLine,
        u"Max Speed: "_s + number(ScaledValue(view, MaxSpeedField), u" Mph"_s),
        u"Average Speed: "_s + number(ScaledValue(view, AverageSpeedField), u" Mph"_s),
        u"Ride Length: "_s + number(ScaledValue(view, RideLengthField), u" Feet"_s),
        u"Postive G's: "_s + number(ScaledValue(view, PositiveGField)),
        u"Negitive G's: "_s + number(ScaledValue(view, NegativeGField)),
        u"Laterial G's: "_s + number(ScaledValue(view, LateralGField)),
        u"Num of Inversions: "_s + number(ScaledValue(view, InversionsField)),
        u"Num of Drops: "_s + number(ScaledValue(view, DropsField)),
        u"Higest Drop: "_s + twoDigits(HighestDropField, u" Feet"_s),
    };
    return lines.join(lineBreak);
}

} // namespace railwright

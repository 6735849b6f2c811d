#include "ride_info_report.h"

#include "codec/bit_string.h"
#include "codec/record_layout.h"
#include "document/value_accessors.h"
#include "number_text.h"

#include <QLocale>
#include <QStringList>
#include <string>

namespace railwright {

using namespace Qt::StringLiterals;

namespace {

constexpr double MilesPerHourPerSpeedUnit = 2.25;
constexpr double RatingDivisor = 10;
constexpr double FeetPerLengthUnit = 3.28;
constexpr double GPerUnit = 0.32;

// The game keeps other things in the high bits of the counter bytes; only the low
// `bitCount` bits are the count.
int LowBits(std::uint8_t value, std::size_t bitCount)
{
    const std::string bits = ValToBin(value);
    return int(BinToVal(std::string(32 - bitCount, '0') + bits.substr(32 - bitCount)));
}

// Every entry is compared, so of several entries with the same code the last one
// names it; the codes in the files are compared as stored, so a lower-case code
// never matches.
QString NameForCode(const CodeTable& table, const QString& code)
{
    QString name;
    for (const CodeRecord& entry : table) {
        if (QString::fromLatin1(entry.code.data(), qsizetype(entry.code.size())) == code) {
            name = QString::fromStdString(Windows1252ToUtf8(TrimmedName(entry)));
        }
    }
    return name;
}

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

int InversionCount(std::uint8_t inversionsByte)
{
    return LowBits(inversionsByte, 5);
}

int DropCount(std::uint8_t dropsByte)
{
    return LowBits(dropsByte, 6);
}

QString BuildRideInfoReport(const TrackDesignDocument& record, const CodeTables& tables,
                            GameVersion version, const QString& lineBreak)
{
    const QLocale locale;
    const auto byteAt = [&record](std::size_t offset) {
        return record.valueAt(TrackDesignDocument::Index(offset));
    };
    const auto textAt = [&record](std::size_t offset) {
        return GetDecVal(record, TrackDesignDocument::Index(offset));
    };
    const auto hexAt = [&record](std::size_t offset) {
        return GetHexVal(record, TrackDesignDocument::Index(offset));
    };
    const auto number = [&locale](double value) { return FormatNumber(value, locale); };
    const auto speed = [&](std::size_t offset) {
        return number(byteAt(offset) * MilesPerHourPerSpeedUnit);
    };
    const auto rating = [&](std::size_t offset) { return number(byteAt(offset) / RatingDivisor); };
    const auto gForce = [&](std::size_t offset) { return number(byteAt(offset) * GPerUnit); };

    // Two's complement: lengths from 8000h up are negative, as the game reads them.
    const auto rideLength = std::int16_t(
        std::uint16_t(byteAt(record::RideLengthHigh) << 8 | byteAt(record::RideLengthLow)));

    // "Loopy Landscapes" shares the expansion's text: the report only tells the base
    // game from the rest.
    const QString versionText =
        version == GameVersion::Original ? u"Orginal"_s : u"Corkscrew Follies"_s;
    const QString separatorLine(20, u'-');

    const QStringList lines = {
        u"RCT Version: "_s + versionText,
        u"Ride Type: "_s + NameForCode(tables.rideTypes, hexAt(record::RideType)),
        u"Vechicle Type: "_s + NameForCode(tables.vehicleTypes, hexAt(record::VehicleType)),
        u"Operating Mode: "_s + NameForCode(tables.operatingModes, hexAt(record::OperatingMode)),
        u"Color Scheme: "_s + ColorSchemeText(byteAt(record::SchemeAndVersion)),
        u"Num of Trains: "_s + textAt(record::NumTrains),
        u"Cars Per Train: "_s + textAt(record::CarsPerTrain),
        u"Speed/People: "_s + speed(record::SpeedOrPeople) + u" Mph/"_s +
            textAt(record::SpeedOrPeople),
        separatorLine,
        u"Excitement: "_s + rating(record::Excitement),
        u"Intensity: "_s + rating(record::Intensity),
        u"Nausea: "_s + rating(record::Nausea),
        separatorLine,
        u"Max Speed: "_s + speed(record::MaxSpeed) + u" Mph"_s,
        u"Average Speed: "_s + speed(record::AverageSpeed) + u" Mph"_s,
        u"Ride Length: "_s + number(rideLength * FeetPerLengthUnit) + u" Feet"_s,
        u"Postive G's: "_s + gForce(record::MaxPositiveG),
        u"Negitive G's: "_s + gForce(record::MaxNegativeG),
        u"Laterial G's: "_s + gForce(record::MaxLateralG),
        u"Num of Inversions: "_s + number(InversionCount(byteAt(record::Inversions))),
        u"Num of Drops: "_s + number(DropCount(byteAt(record::Drops))),
        u"Higest Drop: "_s + textAt(record::HighestDrop) + u" Feet"_s,
    };
    return lines.join(lineBreak);
}

} // namespace railwright

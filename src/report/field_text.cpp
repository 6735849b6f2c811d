#include "field_text.h"

#include <algorithm>
#include <array>

namespace railwright {

using namespace Qt::StringLiterals;

namespace {

// Names of the palette's colours as the palette dialog shows them (see PaletteColor):
// the base game's order, in which code 24 is bright red and 28 a dark purple-blue.
// The later games number their colours differently, so their names in their order
// would call these swatches wrongly.
constexpr std::array<const char*, 32> PaletteNames{
    "Black",           "Grey",         "White",       "Light Purple",     "Bright Purple",
    "Dark Blue",       "Light Blue",   "Teal",        "Dark Green",       "Sea Green",
    "Olive Green",     "Bright Green", "Moss Green",  "Dark Olive Green", "Dark Yellow",
    "Saturated Brown", "Light Orange", "Dark Orange", "Light Brown",      "Dark Brown",
    "Grey Brown",      "Salmon Pink",  "Brick Red",   "Bordeaux Red",     "Bright Red",
    "Bright Pink",     "Light Pink",   "Dark Pink",   "Dark Purple",      "Aquamarine",
    "Bright Yellow",   "Icy Blue",
};

// Operating modes whose byte 40 is a launch speed: reverse-incline launched shuttle,
// powered launch, upward launch, LIM-powered launch and (expansion) downward launch.
constexpr std::array SpeedModes{0x02, 0x03, 0x06, 0x17, 0x1F};

} // namespace

QString PaletteColorName(int code)
{
    if (code < 0 || code >= int(PaletteNames.size())) {
        return u"Not a palette colour (%1)"_s.arg(code);
    }
    return QString::fromLatin1(PaletteNames[std::size_t(code)]);
}

QString CodeChoiceText(const CodeRecord& entry)
{
    return u"%1 (%2)"_s.arg(QString::fromStdString(Windows1252ToUtf8(TrimmedName(entry))),
                            QString::fromStdString(Windows1252ToUtf8(entry.code)));
}

QString UnknownCodeText(int code)
{
    return u"Unknown (code %1)"_s.arg(QString::number(code, 16).toUpper().rightJustified(2, u'0'));
}

bool SpeedOrPeopleIsSpeed(int operatingMode)
{
    return std::find(SpeedModes.begin(), SpeedModes.end(), operatingMode) != SpeedModes.end();
}

QString FieldValueText(ByteView record, const record::FieldDescription& field,
                       const QLocale& locale)
{
    const std::optional<double> value = record::ScaledValue(record, field);
    if (!value) {
        return {};
    }
    // Stored units give whole numbers; ratings have tenths; the game's conversion
    // factors have two decimals.
    const int decimals = field.scale == 1 ? 0 : field.scale == record::RatingScale ? 1 : 2;
    QString text = locale.toString(*value, 'f', decimals);
    if (field.unit.empty()) {
        return text;
    }
    text += u' ' + QString::fromLatin1(field.unit.data(), qsizetype(field.unit.size()));
    if (field.unit == "mph") {
        text +=
            u" (%1 km/h)"_s.arg(locale.toString(*value * record::KilometresPerHourPerMile, 'f', 1));
    } else if (field.unit == "ft") {
        text += u" (%1 m)"_s.arg(locale.toString(*value * record::MetresPerFoot, 'f', 1));
    }
    return text;
}

} // namespace railwright

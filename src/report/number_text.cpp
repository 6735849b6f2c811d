#include "number_text.h"

#include <charconv>
#include <cmath>
#include <string>

namespace railwright {

using namespace Qt::StringLiterals;

QString FormatNumber(double value, const QLocale& locale)
{
    if (std::isnan(value)) {
        return u"NaN"_s;
    }
    if (std::isinf(value)) {
        return value < 0 ? u"-Inf"_s : u"Inf"_s;
    }

    // Scientific form with 14 digits after the point is exactly the value rounded to
    // 15 significant digits; std::to_chars ignores the C locale, which Qt sets from the
    // environment, so the text is "d.dddddddddddddde±x" whatever the user's settings.
    char buffer[64];
    const auto result = std::to_chars(std::begin(buffer), std::end(buffer), value,
                                      std::chars_format::scientific, 14);
    std::string_view text(buffer, std::size_t(result.ptr - buffer));

    const bool negative = text.front() == '-';
    if (negative) {
        text.remove_prefix(1);
    }
    const std::size_t exponentPos = text.find('e');
    std::string digits(1, text.front());
    digits.append(text.substr(2, exponentPos - 2));
    int exponent = 0;
    std::from_chars(text.data() + exponentPos + 1 + (text[exponentPos + 1] == '+' ? 1 : 0),
                    text.data() + text.size(), exponent);

    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    if (digits == "0") {
        return u"0"_s; // also for -0, which is never shown with a sign
    }

    const QString separator = locale.decimalPoint();
    const QString allDigits = QString::fromLatin1(digits);
    const qsizetype integerDigits = exponent + 1;
    QString out;
    if (negative) {
        out += u'-';
    }
    if (integerDigits <= 0) {
        out += u'0' + separator + QString(-integerDigits, u'0') + allDigits;
    } else if (integerDigits >= allDigits.size()) {
        out += allDigits + QString(integerDigits - allDigits.size(), u'0');
    } else {
        out += allDigits.left(integerDigits) + separator + allDigits.mid(integerDigits);
    }
    return out;
}

} // namespace railwright

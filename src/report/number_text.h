#pragma once

#include <QLocale>
#include <QString>

namespace railwright {

// A number as the reports show it: rounded to 15 significant digits, never in exponent
// form, without group separators, trailing zeros or a trailing separator, with "0"
// before the separator below 1 and the locale's decimal separator (81.6, 984, -3.28,
// 0.5). Only the separator comes from the locale; digits and the minus sign stay ASCII.
// Not-a-number and the infinities give "NaN", "Inf" and "-Inf".
[[nodiscard]] QString FormatNumber(double value, const QLocale& locale);

} // namespace railwright

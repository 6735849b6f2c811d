#pragma once

#include <QString>
#include <QStringList>

namespace railwright {

// The lines of the About box, in order, empty lines included.
[[nodiscard]] QStringList AboutLines();

// The About box's text: AboutLines joined by `lineBreak`, none after the last line.
[[nodiscard]] QString AboutText(QStringView lineBreak = u"\r\n");

} // namespace railwright

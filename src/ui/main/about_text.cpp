#include "about_text.h"

using namespace Qt::StringLiterals;

namespace railwright {

QStringList AboutLines()
{
    return {
        u"Thank You For Using Railwright v1.0"_s,
        u"Railwright is written and looked after by the Railwright developers."_s,
        QString(),
        u"Help:"_s,
        u"1: Open File In Railwright."_s,
        u"2: Press The Decode Toolbar Button."_s,
        u"3: Make Desired Changes To RCT Ride."_s,
        u"4: Press The Encode Toolbar Button. (Checksum is Automatically Added)"_s,
        u"5: Save The Changed File."_s,
        QString(),
        u"Railwright is an independent program: it is not made, endorsed"_s,
        u"or supported by the makers or publishers of RollerCoaster Tycoon."_s,
        QString(),
        u"Thanks to every player who builds and shares track designs."_s,
    };
}

QString AboutText(QStringView lineBreak)
{
    return AboutLines().join(lineBreak);
}

} // namespace railwright

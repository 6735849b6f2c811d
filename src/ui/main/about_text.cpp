#include "about_text.h"

namespace railwright {

QStringList AboutLines()
{
    return {
        QStringLiteral("Thank You For Using Railwright v1.0"),
        QStringLiteral("Railwright is written and looked after by the Railwright developers."),
        QString(),
        QStringLiteral("Help:"),
        QStringLiteral("1: Open File In Railwright."),
        QStringLiteral("2: Press The Decode Toolbar Button."),
        QStringLiteral("3: Make Desired Changes To RCT Ride."),
        QStringLiteral("4: Press The Encode Toolbar Button. (Checksum is Automatically Added)"),
        QStringLiteral("5: Save The Changed File."),
        QString(),
        QStringLiteral("Railwright is an independent program: it is not made, endorsed"),
        QStringLiteral("or supported by the makers or publishers of RollerCoaster Tycoon."),
        QString(),
        QStringLiteral("Thanks to every player who builds and shares track designs."),
    };
}

QString AboutText(const QString& lineBreak)
{
    return AboutLines().join(lineBreak);
}

} // namespace railwright

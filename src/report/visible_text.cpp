#include "visible_text.h"

namespace railwright {

QString VisibleText(QString text)
{
    for (QChar& c : text) {
        const char16_t code = c.unicode();
        if (code < 0x20) {
            c = QChar(char16_t(0x2400 + code));
        } else if (code == 0x7F) {
            c = QChar(char16_t(0x2421));
        } else if (code >= 0x80 && code < 0xA0) {
            c = QChar(QChar::ReplacementCharacter);
        }
    }
    return text;
}

} // namespace railwright

#include "byte_editing.h"

#include "document/value_accessors.h"

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace railwright {

namespace {

constexpr char16_t EnterCode = 13;
constexpr char16_t BackspaceCode = 8;

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

bool isUpperHexLetter(char16_t c)
{
    return c >= u'A' && c <= u'F';
}

int hexDigitValue(char16_t c)
{
    if (isDigit(c)) {
        return c - u'0';
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    if (c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    return -1;
}

// Leading digits of `text` in `base`, stopping at the first other character; -1 once
// the value passes `limit`, so a long pasted text cannot overflow.
int leadingNumber(const QString& text, int base, int limit)
{
    int value = 0;
    for (const QChar c : text) {
        const int digit = base == 16 ? hexDigitValue(c.unicode())
                                     : (isDigit(c.unicode()) ? c.unicode() - u'0' : -1);
        if (digit < 0) {
            break;
        }
        value = value * base + digit;
        if (value > limit) {
            return -1;
        }
    }
    return value;
}

CommitResult storeByte(int value)
{
    CommitResult result;
    result.kind = CommitResult::Kind::StoreByte;
    result.value = std::uint8_t(value);
    return result;
}

CommitResult refuse(const QString& message)
{
    CommitResult result;
    result.kind = CommitResult::Kind::Refused;
    result.message = message;
    return result;
}

} // namespace

char16_t FilterEditKey(char16_t key, DisplayMode mode)
{
    if (mode == DisplayMode::Hexidecimal && key >= u'a' && key <= u'f') {
        return char16_t(key - 32);
    }
    if (isDigit(key) || key == EnterCode || key == BackspaceCode) {
        return key;
    }
    switch (mode) {
    case DisplayMode::Hexidecimal:
        return isUpperHexLetter(key) ? key : char16_t(0);
    case DisplayMode::Decimal:
        return 0;
    case DisplayMode::Charter:
        return key;
    }
    return 0;
}

CommitResult ParseCommitText(const QString& text, DisplayMode mode)
{
    // Enter pressed twice would otherwise overwrite the byte just set (or, as a
    // character, drop it from the file).
    if (text.isEmpty()) {
        return {CommitResult::Kind::Nothing, 0, {}};
    }
    switch (mode) {
    case DisplayMode::Hexidecimal: {
        const int value = leadingNumber(text, 16, 255);
        if (value < 0) {
            return refuse(u"A hexadecimal value must be from 00 to FF."_s);
        }
        return storeByte(value);
    }
    case DisplayMode::Decimal: {
        const int value = leadingNumber(text, 10, 255);
        if (value < 0) {
            return refuse(u"A decimal value must be from 0 to 255."_s);
        }
        return storeByte(value);
    }
    case DisplayMode::Charter:
        if (text.size() != 1) {
            return refuse(u"Type exactly one character to store as the byte."_s);
        }
        if (text.at(0).unicode() > 0xFF) {
            return refuse(u"The character \"%1\" has no byte value: only characters of code 0 "
                          "to 255 can be stored."_s.arg(text));
        }
        return storeByte(text.at(0).unicode());
    }
    return refuse(u"Unknown display mode."_s);
}

namespace {

// The digits of a typed address without their base marker, and the base.
int AddressDigits(const QString& text, QString& digits)
{
    digits = text.trimmed().toUpper();
    if (digits.startsWith(u"0X"_s) || digits.startsWith(u'$')) {
        digits.remove(0, digits.startsWith(u'$') ? 1 : 2);
        return 16;
    }
    if (digits.endsWith(u'H')) {
        digits.chop(1);
        return 16;
    }
    return std::any_of(digits.cbegin(), digits.cend(),
                       [](QChar c) { return isUpperHexLetter(c.unicode()); })
               ? 16
               : 10;
}

} // namespace

bool IsHexadecimalAddress(const QString& text)
{
    QString digits;
    return AddressDigits(text, digits) == 16;
}

QString AddressText(TrackDesignDocument::Index index, bool hexadecimal)
{
    return hexadecimal ? u"0x"_s + QString::number(index, 16).toUpper() : QString::number(index);
}

std::optional<TrackDesignDocument::Index> ParseAddress(const QString& text)
{
    QString digits;
    const int base = AddressDigits(text, digits);
    const bool allDigits =
        !digits.isEmpty() && std::all_of(digits.cbegin(), digits.cend(), [&](QChar c) {
            return isDigit(c.unicode()) || (base == 16 && isUpperHexLetter(c.unicode()));
        });
    bool ok = false;
    const qlonglong value = allDigits ? digits.toLongLong(&ok, base) : -1;
    if (!ok || value > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return TrackDesignDocument::Index(value);
}

QString CellDisplayText(const TrackDesignDocument& document, TrackDesignDocument::Index index,
                        DisplayMode mode)
{
    switch (mode) {
    case DisplayMode::Hexidecimal:
        return GetHexVal(document, index);
    case DisplayMode::Decimal:
        return GetDecVal(document, index);
    case DisplayMode::Charter: {
        QString text = GetChrVal(document, index);
        if (text.size() == 1) {
            // Control characters would draw as nothing; show their control pictures.
            const char16_t code = text.at(0).unicode();
            if (code < 0x20) {
                text = QString(QChar(char16_t(0x2400 + code)));
            } else if (code == 0x7F) {
                text = QString(QChar(char16_t(0x2421)));
            }
        }
        return text;
    }
    }
    return QString();
}

QString CellEditText(const TrackDesignDocument& document, TrackDesignDocument::Index index,
                     DisplayMode mode)
{
    return mode == DisplayMode::Charter ? GetChrVal(document, index)
                                        : CellDisplayText(document, index, mode);
}

QStringList StatusTexts(const TrackDesignDocument& document, TrackDesignDocument::Index index)
{
    return {u"Adress: "_s + QString::number(index, 16).toUpper(),
            u"Hex: "_s + GetHexVal(document, index),
            u"Dec: "_s + QString::number(GetDecVal(document, index).toInt()),
            // A control character would break the panel's line; show it as the grid does.
            u"Chr: "_s + CellDisplayText(document, index, DisplayMode::Charter)};
}

QStringList StartupStatusTexts()
{
    return {u"Adress: 0"_s, u"Hex: 0"_s, u"Dec: 0"_s, u"Chr: 0"_s};
}

} // namespace railwright

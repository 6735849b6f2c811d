#include "code_table_source.h"

#include "report/visible_text.h"

#include <QHash>
#include <QList>
#include <QStringDecoder>

namespace railwright {

using namespace Qt::StringLiterals;

namespace {

// The reverse of Windows1252ToUtf8, built from it so the two can never disagree.
const QHash<char32_t, char>& Windows1252Bytes()
{
    static const QHash<char32_t, char> bytes = [] {
        QHash<char32_t, char> map;
        for (int byte = 0; byte < 256; ++byte) {
            const std::string utf8 = Windows1252ToUtf8(std::string(1, char(byte)));
            const QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
            map.insert(text.front().unicode(), char(byte));
        }
        return map;
    }();
    return bytes;
}

bool IsHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}

bool IsTwoHexDigits(QStringView text)
{
    return text.size() == 2 && IsHexDigit(text[0]) && IsHexDigit(text[1]);
}

QString CharacterName(char32_t codePoint)
{
    const QString hex = QString::number(uint(codePoint), 16).toUpper().rightJustified(4, u'0');
    return u"\""_s + QString::fromUcs4(&codePoint, 1) + u"\" (U+"_s + hex + u")"_s;
}

char32_t FirstUnstorable(const QString& text)
{
    for (const char32_t codePoint : text.toUcs4()) {
        if (!Windows1252Bytes().contains(codePoint)) {
            return codePoint;
        }
    }
    return 0;
}

} // namespace

std::optional<std::string> Utf8ToWindows1252(const QString& text)
{
    const auto& bytes = Windows1252Bytes();
    std::string out;
    out.reserve(std::size_t(text.size()));
    for (const char32_t codePoint : text.toUcs4()) {
        const auto found = bytes.constFind(codePoint);
        if (found == bytes.constEnd()) {
            return std::nullopt;
        }
        out.push_back(*found);
    }
    return out;
}

CodeTableSource ParseCodeTableSource(const QByteArray& utf8)
{
    CodeTableSource source;
    const auto fail = [&source](int line, QString message) {
        source.table.clear();
        source.errorLine = line;
        source.error = std::move(message);
        return source;
    };

    QByteArray text = utf8;
    if (text.startsWith("\xEF\xBB\xBF")) {
        text.remove(0, 3);
    }
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int lineNumber = int(i) + 1;
        QByteArray raw = lines[i];
        if (raw.endsWith('\r')) {
            raw.chop(1);
        }
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString line = decoder.decode(raw);
        if (decoder.hasError()) {
            return fail(lineNumber, u"the line is not UTF-8 text"_s);
        }
        if (line.trimmed().isEmpty() || line.startsWith(u'#')) {
            continue;
        }

        const qsizetype tab = line.indexOf(u'\t');
        const QStringView code = QStringView(line).left(tab < 0 ? 2 : tab);
        // Without a tab, a third hexadecimal digit means the code is too long, anything
        // else that the tab is missing.
        if (!IsTwoHexDigits(code) || (tab < 0 && line.size() > 2 && IsHexDigit(line[2]))) {
            return fail(lineNumber, u"the code must be two hexadecimal digits"_s);
        }
        if (tab < 0) {
            return fail(lineNumber, u"a tab must follow the code"_s);
        }

        const QString name = line.mid(tab + 1);
        const std::optional<std::string> name1252 = Utf8ToWindows1252(name);
        if (!name1252) {
            return fail(lineNumber, u"the name holds "_s + CharacterName(FirstUnstorable(name)) +
                                        u", which Windows-1252 cannot store"_s);
        }
        if (name1252->size() > NameFieldLength) {
            return fail(lineNumber,
                        u"the name is longer than %1 characters"_s.arg(NameFieldLength));
        }
        if (source.table.size() == MaxCodeTableEntries) {
            return fail(lineNumber,
                        u"a code table holds at most %1 entries"_s.arg(MaxCodeTableEntries));
        }
        source.table.push_back({code.toString().toUpper().toStdString(), *name1252});
    }
    return source;
}

QString CodeTableListing(const CodeTable& table)
{
    QString listing;
    for (const CodeRecord& entry : table) {
        const std::string code = Windows1252ToUtf8(entry.code);
        const std::string name = Windows1252ToUtf8(TrimmedName(entry));
        listing += VisibleText(QString::fromUtf8(code.data(), qsizetype(code.size()))) + u'\t' +
                   VisibleText(QString::fromUtf8(name.data(), qsizetype(name.size()))) + u'\n';
    }
    return listing;
}

} // namespace railwright

#pragma once

#include "codec/code_table_format.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace railwright {

// The outcome of reading the text source of a code table. On failure `table` is empty,
// `errorLine` is the 1-based line at fault and `error` says what is wrong with it.
struct CodeTableSource
{
    CodeTable table;
    int errorLine = 0;
    QString error;

    [[nodiscard]] bool ok() const { return error.isEmpty(); }
};

// Reads a code table from UTF-8 text, one entry a line: two hexadecimal digits (stored
// upper case, since the report matches codes case-sensitively), a tab and the name.
// Empty lines and lines starting with '#' are skipped; a line may end in "\r\n". The
// first bad line stops the reading: a code that is not two hexadecimal digits, a
// missing tab, text that is not UTF-8, a name with characters Windows-1252 lacks or
// longer than 128 characters, or an entry past the 32,767th.
[[nodiscard]] CodeTableSource ParseCodeTableSource(const QByteArray& utf8);

// The Windows-1252 bytes of `text`, or nothing when a character has no byte there.
[[nodiscard]] std::optional<std::string> Utf8ToWindows1252(const QString& text);

// The table as source text that ParseCodeTableSource reads back: code, tab, trimmed name.
// Control characters are shown as VisibleText shows them, never printed raw (so a name
// holding one does not read back).
[[nodiscard]] QString CodeTableListing(const CodeTable& table);

} // namespace railwright

#pragma once

#include "codec/code_table_format.h"

#include <QString>
#include <QStringList>

namespace railwright {

// The three code tables and the messages their reading produced, in reading order.
struct CodeTablesLoad
{
    CodeTables tables;
    QStringList messages;
};

// Reads one code table from `directory`. `fileNameWithBackslash` is the table's name as
// the game's tool spelt it ("\RCCODES.RCS"); the leading backslash is dropped. A missing
// file is created empty. Anything but a regular file (or a link to one) is refused without
// being opened. On failure the table stays empty and the result is "Can't open file: " or
// "Can't read file: " with the file's full path and the reason; on success it is empty.
// A final partial record is ignored and at most 32,767 records are read.
QString ReadCodeTable(const QString& directory, const QString& fileNameWithBackslash,
                      CodeTable& table);

// Reads the ride types, operating modes and vehicle types, in that order, from
// `directory`. Never fails: a table that could not be read is empty and its message is
// listed.
[[nodiscard]] CodeTablesLoad ReadCodeTables(const QString& directory);

// The editor's tables, read from the folder that holds the program. The caller shows
// each message (caption "Railwright", OK button) in order.
[[nodiscard]] CodeTablesLoad LoadCodeTables();

} // namespace railwright

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

// Reads one code table from `directory`. `fileNameWithBackslash` is the name as the
// messages show it ("\RCCODES.RCS"); its leading backslash stands for the separator.
// A missing file is created empty. When the file can neither be read nor created, the
// table stays empty and the result is "Can't open file: " followed by that name; on
// success the result is empty. A final partial record is ignored and at most 32,767
// records are read.
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

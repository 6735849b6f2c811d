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
    // A table was missing and MissingCodeTables::Refuse was asked for: nothing was read.
    bool tableMissing = false;
};

// What reading the tables does with a table that is not there.
enum class MissingCodeTables
{
    Create, // create it empty, as the game's tool did, so a fresh install shows where
            // the tables belong (the editor)
    Refuse, // read nothing and say which one is missing; no file is left behind (the
            // command-line tool, asked only to read)
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
// listed. With Refuse, the first missing table ends the reading with the message
// "<path>: the code table is missing".
[[nodiscard]] CodeTablesLoad ReadCodeTables(const QString& directory, MissingCodeTables missing);

// The editor's tables, read from the folder that holds the program. The caller shows
// each message (caption "Railwright", OK button) in order.
[[nodiscard]] CodeTablesLoad LoadCodeTables();

} // namespace railwright

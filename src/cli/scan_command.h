#pragma once

#include "cli/cli_commands.h"
#include "codec/code_table_format.h"

#include <QStringList>
#include <QTextStream>
#include <functional>

// `railwright-cli scan`: one row per track-design file of a collection, written as the
// files are found (see ForEachScannedFile).
namespace railwright::cli {

// Parses "scan PATH... [--csv | --json] [--tables DIR]" (the words after "scan") and runs
// it. Fails (exit status 1) when any file is not a valid track design or a folder cannot
// be listed, after listing all; exits with 2 when standard output cannot be written.
[[nodiscard]] CommandResult RunScanCommand(const QStringList& arguments, QTextStream& out);

enum class ScanFormat
{
    Table, // aligned columns for people, numbers in the user's locale
    Csv,   // RFC 4180 with a header row
    Json,  // one object per line
};

struct ScanTotals
{
    qint64 files = 0;
    qint64 notDesigns = 0;      // files with a problem
    qint64 unlistedFolders = 0; // rows for folders that could not be listed
};

// Writes the header (table and CSV) and one row per file of `paths` (and per folder that
// could not be listed) to `out`, until `out` fails; `onFile`, when set, is called after
// each row with the number of files so far. Table rows show control characters and bytes
// that are not UTF-8 (see VisibleText, ShownPath); CSV and JSON hold a name's exact
// characters where it is UTF-8 and "\xHH" for each byte where it is not.
ScanTotals ScanPaths(const QStringList& paths, const CodeTables& tables, ScanFormat format,
                     QTextStream& out, const std::function<void(qint64 files)>& onFile = {});

} // namespace railwright::cli

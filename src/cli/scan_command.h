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
// it. Fails (exit status 1) when any file is not a valid track design, after listing all.
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
    qint64 notDesigns = 0; // rows with a problem
};

// Writes the header (table and CSV) and one row per file of `paths` to `out`; `onFile`,
// when set, is called after each row with the number of rows so far.
ScanTotals ScanPaths(const QStringList& paths, const CodeTables& tables, ScanFormat format,
                     QTextStream& out, const std::function<void(qint64 files)>& onFile = {});

} // namespace railwright::cli

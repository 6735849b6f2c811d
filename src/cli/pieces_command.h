#pragma once

#include "cli/cli_commands.h"
#include "codec/byte_buffer.h"

#include <QByteArray>
#include <QStringList>
#include <QTextStream>

namespace railwright::cli {

// Parses "pieces INPUT [--json] [--decoded]" (the words after "pieces") and runs it:
// one row per track piece (or maze entry) of INPUT and a summary line, or one JSON
// document. Fails when INPUT cannot be read or decoded; a damaged list is still listed.
[[nodiscard]] CommandResult RunPiecesCommand(const QStringList& arguments, QTextStream& out);

// The table and summary of a decoded record, as the command prints it.
[[nodiscard]] QString PiecesTable(ByteView record);

// The JSON document of a decoded record, as the command prints it (indented, UTF-8).
[[nodiscard]] QByteArray PiecesJson(ByteView record);

} // namespace railwright::cli

#pragma once

#include "cli/cli_commands.h"
#include "codec/byte_buffer.h"
#include "codec/game_version.h"

#include <QByteArray>
#include <QStringList>
#include <QTextStream>

namespace railwright::cli {

// Parses "pieces INPUT [--json] [--decoded]" (the words after "pieces") and runs it:
// one row per track piece (or maze entry) of INPUT and a summary line, or one JSON
// document. Fails when INPUT cannot be read or decoded; a damaged list is still listed.
[[nodiscard]] CommandResult RunPiecesCommand(const QStringList& arguments, QTextStream& out);

// The table, summary and warnings (rules::DesignWarnings in `version`, as `scan` gives
// them) of a decoded record, as the command prints it.
[[nodiscard]] QString PiecesTable(ByteView record, GameVersion version);

// The JSON document of a decoded record, as the command prints it (indented, UTF-8).
// "complete" is null where `scan` says "-": a maze, or no pieces.
[[nodiscard]] QByteArray PiecesJson(ByteView record, GameVersion version);

} // namespace railwright::cli

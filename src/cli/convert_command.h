#pragma once

#include "cli/cli_commands.h"

#include <QStringList>
#include <QTextStream>

namespace railwright::cli {

// Parses "convert INPUT OUTPUT --to expansion|base [--game GAME] [--decoded] [--force]"
// (the words after "convert") and runs it: decodes INPUT (unless --decoded), moves the
// record to the other layout (see ConvertLayout), encodes it with the checksum of GAME
// (default: the game INPUT's checksum matches) and writes OUTPUT atomically; OUTPUT may be
// INPUT. Any refusal leaves OUTPUT as it was.
[[nodiscard]] CommandResult RunConvertCommand(const QStringList& arguments, QTextStream& out);

} // namespace railwright::cli

#pragma once

#include "cli/cli_commands.h"
#include "codec/track_construction.h"

#include <QStringList>
#include <QTextStream>
#include <optional>

namespace railwright::cli {

// A piece named on the command line: two hexadecimal digits ("2B") or its label as
// `pieces` prints it ("right quarter turn 3 tiles", any case); nothing for other text.
[[nodiscard]] std::optional<std::uint8_t> ParsePieceCode(const QString& text);

// One step of `track`: "--delete N", "--delete N-M", "--insert N:CODE[,CODE...]" or
// "--replace N:CODE[,CODE...]" (the option's name and its value); the edit, or why the
// step is not one.
struct TrackStep
{
    std::optional<PieceListEdit> edit;
    QString error;
};
[[nodiscard]] TrackStep ParseTrackStep(const QString& option, const QString& value);

// Parses "track INPUT OUTPUT [--delete N[-M]] [--insert N:CODES] [--replace N:CODES]
// [--decoded] [--force]" (the words after "track") and runs it: the edits are applied to
// INPUT's record in the order given, and OUTPUT written in INPUT's form (encoded with the
// checksum of the game INPUT is for, or a decoded record) by the rules of every command's
// OUTPUT. When any step fails nothing is written and the message names the step.
[[nodiscard]] CommandResult RunTrackCommand(const QStringList& arguments, QTextStream& out);

} // namespace railwright::cli

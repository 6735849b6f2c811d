#pragma once

#include "codec/byte_buffer.h"
#include "codec/game_version.h"

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <optional>

namespace railwright::cli {

inline constexpr int ExitSuccess = 0;
inline constexpr int ExitFailure = 1;
inline constexpr int ExitUsage = 2;

// How a command ended: its exit status and, unless it succeeded, one line saying why
// (without the program-name prefix, which the caller adds).
struct CommandResult
{
    int exitCode = ExitSuccess;
    QString message;
    QStringList notes; // said on the error stream, after success too (what --force dropped)
    // The command has written its own messages (the drawing module, which has its own
    // streams); only the exit status is left to pass on.
    bool reported = false;

    [[nodiscard]] static CommandResult success() { return {}; }
    [[nodiscard]] static CommandResult failure(QString why)
    {
        return {ExitFailure, std::move(why), {}};
    }
    [[nodiscard]] static CommandResult usage(QString why)
    {
        return {ExitUsage, std::move(why), {}};
    }
};

// Why what was written to `out` did not all arrive ("can't write to standard output
// (why)"), after flushing it; empty when it did.
[[nodiscard]] QString OutputFailure(QTextStream& out);

// Ends a command as the tool does: a failure when its output did not all arrive, then
// each note and any failure as one line "railwright-cli: ..." on `err`. Returns the exit
// status (0 done, 1 failed, 2 the command line is wrong).
[[nodiscard]] int FinishCommand(CommandResult result, QTextStream& out, QTextStream& err);

// The game named on the command line ("original", "corkscrew", "loopy", any case), or
// nothing for any other text.
[[nodiscard]] std::optional<GameVersion> ParseGameName(const QString& name);

struct OutputFile; // see output_file.h

// Every command reads a track-design INPUT by the editor's rules (at most 65,000 bytes,
// not empty) and writes OUTPUT atomically: on any failure OUTPUT is neither created nor
// changed.

// Writes the decoded record of INPUT. A damaged body or one that decodes to nothing is
// refused.
[[nodiscard]] CommandResult DecodeFile(const QString& input, const OutputFile& output);

// Run-length encodes the record in INPUT (a decoded record may be far larger than a
// track-design file) and appends the checksum of `version`. Refused, naming the limit,
// when the result would be larger than the editor opens.
[[nodiscard]] CommandResult EncodeFile(const QString& input, const OutputFile& output,
                                       GameVersion version);

// Prints which game's checksum closes INPUT; a failure when none matches.
[[nodiscard]] CommandResult VerifyFile(const QString& input, QTextStream& out);

// Writes the .RCS file for a text source (see ParseCodeTableSource); a bad line is
// refused with its number and nothing is written.
[[nodiscard]] CommandResult PackCodeTable(const QString& source, const OutputFile& output);

// Prints one line per entry of an .RCS file: code, tab, trimmed name (UTF-8).
[[nodiscard]] CommandResult ListCodeTable(const QString& file, QTextStream& out);

struct InfoRequest
{
    QString input;
    std::optional<GameVersion> version; // none: from byte 7, as the editor's Decode sets it
    QString tablesDirectory;
    bool inputIsDecoded = false;
};

// Prints the ride info report, one line each. Refused when INPUT cannot be decoded or a
// code table is missing or unreadable in the tables folder.
[[nodiscard]] CommandResult PrintRideInfo(const InfoRequest& request, QTextStream& out);

} // namespace railwright::cli

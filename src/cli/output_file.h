#pragma once

#include "cli/cli_commands.h"
#include "codec/byte_buffer.h"

#include <QString>

// Where a command's output goes, by one set of rules for every command that writes a file
// (decode, encode, convert, codes pack and render's pictures).
namespace railwright::cli {

// What --force lets a command that writes OUTPUT do.
inline constexpr char16_t ForceOptionText[] =
    u"Replace OUTPUT even when it is read-only; when it has other hard links, write into the "
    u"file all its names share (once the new content is safe in a temporary file).";

// Where a command writes: a file, or standard output for "-" and "/dev/stdout".
struct OutputFile
{
    QString path;
    bool force = false;      // see ForceOptionText
    bool waitForDisk = true; // see SaveOptions::waitForDisk
};

// Whether `path` names standard output ("-" or "/dev/stdout").
[[nodiscard]] bool IsStandardOutput(const QString& path);

// Writes `bytes` to `output` by SaveFile's rules (never over a file that is not a regular
// one, nor over the program's own standard output or error). A read-only OUTPUT and one
// with other hard links are refused unless `force`, and the refusal says so.
[[nodiscard]] CommandResult WriteOutput(const OutputFile& output, ByteView bytes);

} // namespace railwright::cli

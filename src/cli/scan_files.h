#pragma once

#include "codec/byte_buffer.h"

#include <QString>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <optional>

// Finding and reading the files of a scan, one at a time: memory grows with the depth of
// the folders, never with the number of files.
namespace railwright::cli {

// `path` as the system names it: its own bytes (see PathFromNative), UTF-16 on Windows.
[[nodiscard]] std::filesystem::path SystemPath(const QString& path);

// What a scan found: a file to read, or a folder it could not list.
struct FoundPath
{
    QString path;                     // its bytes kept (see PathFromNative)
    QString problem;                  // why a folder could not be listed; empty for a file
    bool listedAsRegularFile = false; // its folder's listing says so (no link, no device)
};

// Calls `visit` for each file a scan of `paths` reads, in the order the file system lists
// them: a named file whatever its name (or type, or whether it exists), and in a named
// folder and its subfolders every file ending in ".td4" in any case. Links to folders
// inside a folder are not followed. A folder that cannot be listed is visited with why.
// Stops when `visit` returns false.
void ForEachScannedFile(const QStringList& paths,
                        const std::function<bool(const FoundPath& found)>& visit);

struct ScannedFile
{
    std::optional<qint64> size; // known when the file could be opened
    QString problem;            // why it was not read; empty when it was
    ByteView bytes;             // the whole file, in the caller's buffer, when read
};

// Reads a file of at most the largest size the editor opens into `buffer`. A file that is
// missing, unreadable, empty, oversized or not a regular file is refused with why; what
// is there is looked at before it is opened, so a device or a named pipe never is ("is a
// character device, not a file").
// `listedAsRegularFile` (see FoundPath) spares the look before opening.
[[nodiscard]] ScannedFile ReadScannedFile(const QString& path, ByteBuffer& buffer,
                                          bool listedAsRegularFile = false);

} // namespace railwright::cli

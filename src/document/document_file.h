#pragma once

#include "codec/byte_buffer.h"

#include <QString>

namespace railwright {

// Files longer than this are not opened.
inline constexpr qint64 MaxDocumentFileSize = 65000;

struct LoadResult
{
    ByteBuffer bytes;  // the file, one element per byte, when ok
    QString errorText; // a message for the user otherwise

    [[nodiscard]] bool ok() const { return errorText.isEmpty(); }
};

// Reads at most `limit` + 1 bytes of the regular file at `path` (or of the file a link
// names), so a caller can tell a file longer than `limit`. Anything else (a folder, a
// named pipe, a device, a socket) is refused before it is opened, so this never blocks.
// errorText says "Can't open file: PATH (why)" when the file cannot be opened and
// "Can't read file: PATH (why)" when a read fails; `why` is "does not exist", "is a
// folder", "is a named pipe, not a file" or the system's words.
[[nodiscard]] LoadResult ReadRegularFile(const QString& path, qint64 limit);

// Reads a whole file as raw bytes by ReadRegularFile's rules. Also refuses a file over
// MaxDocumentFileSize ("The file is too large to open.") and an empty file.
[[nodiscard]] LoadResult LoadFile(const QString& path);

struct SaveResult
{
    QString errorText;

    [[nodiscard]] bool ok() const { return errorText.isEmpty(); }
};

// Writes exactly `bytes` to `path` through an atomic replace: a temporary file in the
// same folder, with a name short enough for any name the file system allows, renamed
// over the target. A link is followed and the file it names replaced. On any failure
// the old file (if any) stays whole and errorText says what went wrong:
// "Can't open file: PATH (why)" when nothing could be written (the target exists and is
// not a regular file, is read-only, its folder is missing), otherwise
// "Can't save file: PATH (why)." and whether a file was there before.
[[nodiscard]] SaveResult SaveFile(const QString& path, ByteView bytes);

// The file name without its folder, as shown in the window title.
[[nodiscard]] QString DisplayFileName(const QString& path);

} // namespace railwright

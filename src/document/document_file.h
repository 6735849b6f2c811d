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

// Reads a whole file as raw bytes. Refuses, with the user's message in errorText:
// a file over MaxDocumentFileSize ("The file is too large to open."), one that cannot
// be opened ("Can't open file: " + path) and an empty file.
[[nodiscard]] LoadResult LoadFile(const QString& path);

struct SaveResult
{
    QString errorText;

    [[nodiscard]] bool ok() const { return errorText.isEmpty(); }
};

// Writes exactly `bytes` to `path` through an atomic replace: on any failure the old
// file (if any) stays whole and errorText says what went wrong. A target that cannot
// be opened gives "Can't open file: " + path.
[[nodiscard]] SaveResult SaveFile(const QString& path, ByteView bytes);

// The file name without its folder, as shown in the window title.
[[nodiscard]] QString DisplayFileName(const QString& path);

} // namespace railwright

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// File names as the system holds them. On POSIX a name is a string of bytes that need not
// be UTF-8 (old archives are full of Latin-1 names). The program carries every path as a
// QString in which valid UTF-8 stands as its characters and each other byte 0xHH as the
// lone surrogate U+DCHH, so a name read from the command line, a folder listing or a
// dialog reaches the system again byte for byte.
namespace railwright {

// The path for the system's bytes `bytes` (POSIX), by the rule above.
[[nodiscard]] QString PathFromNative(QByteArrayView bytes);

// The system's bytes for `path`: the inverse of PathFromNative.
[[nodiscard]] QByteArray NativePath(const QString& path);

// True when `text` holds a byte that is not part of valid UTF-8 (see above).
[[nodiscard]] bool HasUndecodableBytes(QStringView text);

// `text` with each byte that is not valid UTF-8 written as "\xHH" (upper-case digits);
// everything else is kept.
[[nodiscard]] QString EscapeUndecodableBytes(const QString& text);

// A path for people: the system's separators, undecodable bytes as "\xHH".
[[nodiscard]] QString ShownPath(const QString& path);

// A path as a dialog or a dropped link gave it: Qt decodes names that are not UTF-8 with
// U+FFFD in place of the bytes it could not read, which names no file. Each such part of
// `path` that does not exist is looked up in its folder, and the one name there that Qt
// would show the same way takes its place. Returns `path` unchanged when nothing needs
// looking up or no single name matches.
[[nodiscard]] QString RecoverDecodedPath(const QString& path);

// Whether anything has the name `path`, a link that leads nowhere too (by its bytes, see
// above; QFileInfo would look up U+FFFD instead).
[[nodiscard]] bool NameExists(const QString& path);

// Whether `path` is a folder or a link to one (by its bytes).
[[nodiscard]] bool IsFolder(const QString& path);

} // namespace railwright

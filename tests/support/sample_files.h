#pragma once

#include "codec/checksum.h"
#include "codec/rle.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <cstdint>

// Decoded records and encoded track-design files for the window tests, and the small
// file chores around them.
namespace railwright::test {

// A record that exercises both block kinds: literal stretches, long runs of one value,
// runs longer than one block and the colour-scheme byte 7.
inline ByteBuffer sampleRecord(std::uint8_t byte7, std::size_t size = 300)
{
    ByteBuffer record(size);
    for (std::size_t i = 0; i < size; ++i) {
        record[i] = std::uint8_t((i * 37 + 11) % 251);
    }
    for (std::size_t i = 40; i < 60 && i < size; ++i) {
        record[i] = 0x55;
    }
    for (std::size_t i = 100; i < 240 && i < size; ++i) {
        record[i] = 0;
    }
    if (size > 7) {
        record[7] = byte7;
    }
    return record;
}

// The file the game would write for `record`.
inline ByteBuffer encodedFile(const ByteBuffer& record, GameVersion version = GameVersion::Original)
{
    return AppendChecksum(RLEEncode(record), version);
}

inline QByteArray asBytes(const ByteBuffer& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

// Writes `bytes` to `name` in `folder` and returns its path; a test that cannot write
// its own input stops at once.
inline QString writeFile(const QString& folder, const QString& name, const QByteArray& bytes)
{
    const QString path = QDir(folder).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        qFatal("cannot write test file");
    }
    return path;
}

// The file's contents, or "<missing>" when it cannot be read.
inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace railwright::test

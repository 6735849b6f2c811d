#pragma once

#include "codec/byte_buffer.h"

#include <QByteArray>
#include <QMetaType>
#include <QString>
#include <cstddef>
#include <cstdint>

// Byte buffers written as "41 42 0A" in test tables, and shown the same way when a
// comparison fails.
namespace railwright::testing {

inline ByteBuffer hexBytes(const char* text)
{
    const QByteArray raw = QByteArray::fromHex(QByteArray(text));
    return ByteBuffer(raw.begin(), raw.end());
}

inline QString toHex(const ByteBuffer& bytes)
{
    const QByteArray raw(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    return QString::fromLatin1(raw.toHex(' ').toUpper());
}

inline ByteBuffer repeated(std::size_t count, std::uint8_t value)
{
    return ByteBuffer(count, value);
}

inline ByteBuffer concat(ByteBuffer a, const ByteBuffer& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// `count` bytes in which no two neighbours are equal.
inline ByteBuffer distinctNeighbours(std::size_t count, std::uint8_t start = 0)
{
    ByteBuffer out(count);
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = std::uint8_t(start + i);
    }
    return out;
}

} // namespace railwright::testing

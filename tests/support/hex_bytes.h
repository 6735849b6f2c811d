#pragma once

#include "codec/byte_buffer.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <initializer_list>
#include <utility>

// Byte buffers written as "41 42 0A" in test tables, and shown the same way when a
// comparison fails; records of zeros with a few bytes set.
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

// A record of `length` zero bytes with the given bytes set.
inline ByteBuffer recordWith(std::size_t length,
                             std::initializer_list<std::pair<std::size_t, int>> set)
{
    ByteBuffer record(length, 0);
    for (const auto& [offset, value] : set) {
        record[offset] = std::uint8_t(value);
    }
    return record;
}

} // namespace railwright::testing

#pragma once

#include "codec/code_table_format.h"

#include <QString>
#include <array>
#include <cstdint>

namespace railwright {

// The names a code table gives the 256 byte values, looked up once so that naming the
// codes of many records costs an array index each. A code is matched as stored: two
// upper-case hexadecimal digits ("0F"), so a lower-case code names nothing; of several
// entries with one code the last names it.
class CodeNames
{
public:
    explicit CodeNames(const CodeTable& table);

    // The name for `value` (UTF-8 from the table's Windows-1252), or empty when no entry
    // has its code.
    [[nodiscard]] const QString& name(std::uint8_t value) const { return m_names[value]; }

private:
    std::array<QString, 256> m_names;
};

} // namespace railwright

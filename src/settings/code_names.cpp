#include "code_names.h"

namespace railwright {

namespace {

int UpperHexDigit(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    return c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

} // namespace

CodeNames::CodeNames(const CodeTable& table)
{
    for (const CodeRecord& entry : table) {
        if (entry.code.size() != CodeFieldLength) {
            continue;
        }
        const int high = UpperHexDigit(entry.code[0]);
        const int low = UpperHexDigit(entry.code[1]);
        if (high >= 0 && low >= 0) {
            m_names[std::size_t(high * 16 + low)] =
                QString::fromStdString(Windows1252ToUtf8(TrimmedName(entry)));
        }
    }
}

} // namespace railwright

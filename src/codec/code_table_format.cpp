#include "code_table_format.h"

#include <algorithm>
#include <array>

namespace railwright {

namespace {

// Windows-1252 differs from Latin-1 only in 0x80-0x9F. The five bytes the code page
// leaves undefined (81, 8D, 8F, 90, 9D) keep the control code point of the same value,
// so every byte has a character and the mapping stays reversible.
constexpr std::array<char32_t, 32> HighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

char32_t CodePointOf(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F) {
        return HighControlRange[byte - 0x80];
    }
    return byte;
}

void AppendUtf8(std::string& out, char32_t codePoint)
{
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        // Every character of the code page lies in the Basic Multilingual Plane.
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

std::string FixedField(const std::string& text, std::size_t length)
{
    std::string field = text.substr(0, length);
    field.resize(length, ' ');
    return field;
}

} // namespace

CodeTable ParseCodeTable(ByteView file)
{
    // The game's count is the length divided by 130, rounded half to even; a rounded-up
    // partial record has nothing to read, so only whole records become entries.
    const std::size_t count = std::min(file.size() / CodeRecordLength, MaxCodeTableEntries);
    CodeTable table;
    table.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto record = file.subspan(i * CodeRecordLength, CodeRecordLength);
        const auto name = record.subspan(CodeFieldLength);
        table.push_back({std::string(record.begin(), record.begin() + CodeFieldLength),
                         std::string(name.begin(), name.end())});
    }
    return table;
}

ByteBuffer SerializeCodeTable(const CodeTable& table)
{
    ByteBuffer file;
    file.reserve(table.size() * CodeRecordLength);
    for (const CodeRecord& entry : table) {
        const std::string code = FixedField(entry.code, CodeFieldLength);
        const std::string name = FixedField(entry.name, NameFieldLength);
        file.insert(file.end(), code.begin(), code.end());
        file.insert(file.end(), name.begin(), name.end());
    }
    return file;
}

std::string TrimmedName(const CodeRecord& record)
{
    const std::size_t first = record.name.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    const std::size_t last = record.name.find_last_not_of(' ');
    return record.name.substr(first, last - first + 1);
}

int CodeValue(const CodeRecord& record)
{
    int value = 0;
    // Only the field's two characters count, as in the file, whatever the string holds.
    for (const char c : std::string_view(record.code).substr(0, CodeFieldLength)) {
        const int digit = HexDigitValue(c);
        if (digit < 0) {
            break;
        }
        value = value * 16 + digit;
    }
    return value;
}

std::string Windows1252ToUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        AppendUtf8(out, CodePointOf(static_cast<unsigned char>(c)));
    }
    return out;
}

} // namespace railwright

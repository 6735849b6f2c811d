// Any bytes at all make a code table: whole records of 130 bytes in file order, each
// split into its two-byte code and 128-byte name exactly as stored, and writing the
// table back gives those bytes again. The helpers that read an entry accept any
// contents, and the names always come out as valid UTF-8.
//
// The same bytes also drive SerializeCodeTable with fields of any
// length, which must be padded or cut to their fixed widths.
#include "codec/code_table_format.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace railwright;

void require(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

// The length of the UTF-8 sequence starting at `text[at]`, or 0 when it is not a
// well-formed one (overlong forms, surrogates and code points past U+10FFFF included).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at)
{
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    char32_t codePoint = 0;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() - at < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            return 0;
        }
        codePoint = codePoint << 6 | (byte(at + i) & 0x3F);
    }
    const bool overlong =
        (length == 3 && codePoint < 0x800) || (length == 4 && codePoint < 0x10000);
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    if (overlong || surrogate || codePoint > 0x10FFFF) {
        return 0;
    }
    return length;
}

// Every byte of the code page is one character, so the UTF-8 text holds exactly as
// many characters as the input had bytes.
void RequireUtf8Of(std::string_view windows1252)
{
    const std::string utf8 = Windows1252ToUtf8(windows1252);
    std::size_t characters = 0;
    for (std::size_t at = 0; at < utf8.size(); ++characters) {
        const std::size_t length = Utf8SequenceLength(utf8, at);
        require(length != 0);
        at += length;
    }
    require(characters == windows1252.size());
    // Plain ASCII passes through unchanged.
    for (std::size_t i = 0, out = 0; i < windows1252.size(); ++i) {
        const auto c = static_cast<unsigned char>(windows1252[i]);
        if (c < 0x80) {
            require(utf8[out] == windows1252[i]);
        }
        out += Utf8SequenceLength(utf8, out);
    }
}

void CheckEntry(const CodeRecord& entry, const std::uint8_t* stored)
{
    require(entry.code.size() == CodeFieldLength);
    require(entry.name.size() == NameFieldLength);
    // Compared as text: a byte of 80h or more is a negative char.
    const auto* storedText = reinterpret_cast<const char*>(stored);
    require(entry.code == std::string_view(storedText, CodeFieldLength));
    require(entry.name == std::string_view(storedText + CodeFieldLength, NameFieldLength));

    const std::string trimmed = TrimmedName(entry);
    require(trimmed.size() <= entry.name.size());
    if (!trimmed.empty()) {
        require(trimmed.front() != ' ' && trimmed.back() != ' ');
        require(entry.name.find(trimmed) != std::string::npos);
    } else {
        require(entry.name.find_first_not_of(' ') == std::string::npos);
    }

    const int value = CodeValue(entry);
    require(value >= 0 && value <= 0xFF);

    RequireUtf8Of(entry.name);
    RequireUtf8Of(trimmed);
}

// Fields longer than their width are cut, shorter ones padded with spaces.
void CheckFixedWidths(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) {
        return;
    }
    const std::size_t codeLength = std::min<std::size_t>(data[0] % 8, size - 2);
    const std::size_t nameLength =
        std::min<std::size_t>(data[1] + data[1] / 2, size - 2 - codeLength);
    const std::uint8_t* codeStart = data + 2;
    const std::uint8_t* nameStart = codeStart + codeLength;
    const CodeRecord entry{std::string(codeStart, nameStart),
                           std::string(nameStart, nameStart + nameLength)};
    const ByteBuffer file = SerializeCodeTable({entry, entry});
    require(file.size() == 2 * CodeRecordLength);
    require(
        std::equal(file.begin(), file.begin() + CodeRecordLength, file.begin() + CodeRecordLength));
    for (std::size_t i = 0; i < CodeRecordLength; ++i) {
        const bool inCode = i < CodeFieldLength;
        const std::size_t offset = inCode ? i : i - CodeFieldLength;
        const std::string& field = inCode ? entry.code : entry.name;
        const std::uint8_t expected =
            offset < field.size() ? static_cast<std::uint8_t>(field[offset]) : std::uint8_t(' ');
        require(file[i] == expected);
    }
    // A cut or padded entry reads back as exactly what was written.
    const CodeTable again = ParseCodeTable(file);
    require(again.size() == 2);
    require(SerializeCodeTable(again) == file);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const ByteView file(data, size);
    const CodeTable table = ParseCodeTable(file);
    const std::size_t count = std::min(size / CodeRecordLength, MaxCodeTableEntries);
    require(table.size() == count);
    for (std::size_t i = 0; i < count; ++i) {
        CheckEntry(table[i], data + i * CodeRecordLength);
    }

    const ByteBuffer written = SerializeCodeTable(table);
    require(written.size() == count * CodeRecordLength);
    require(std::equal(written.begin(), written.end(), data));

    CheckFixedWidths(data, size);
    RequireUtf8Of(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}

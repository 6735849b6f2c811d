#pragma once

#include "byte_buffer.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace railwright {

// One entry of a code table: a two-character hexadecimal code and a name padded with
// spaces to 128 characters, both exactly as stored (the name in Windows-1252).
struct CodeRecord
{
    std::string code; // 2 bytes
    std::string name; // 128 bytes
};

using CodeTable = std::vector<CodeRecord>; // entry 1 of the file is element 0

// The three tables the editor reads at start-up.
struct CodeTables
{
    CodeTable rideTypes;      // RCCODES.RCS, byte 0
    CodeTable vehicleTypes;   // VTCODES.RCS, byte 1
    CodeTable operatingModes; // OMCODES.RCS, byte 6
};

inline constexpr std::size_t CodeFieldLength = 2;
inline constexpr std::size_t NameFieldLength = 128;
inline constexpr std::size_t CodeRecordLength = CodeFieldLength + NameFieldLength;
inline constexpr std::size_t MaxCodeTableEntries = 32767;

// Splits the contents of an .RCS file into records of 130 bytes, in file order. A final
// partial record is ignored and at most MaxCodeTableEntries records are read.
[[nodiscard]] CodeTable ParseCodeTable(ByteView file);

// The file contents for a table: each code and name padded or cut to its field length.
[[nodiscard]] ByteBuffer SerializeCodeTable(const CodeTable& table);

// The name without its leading and trailing spaces, still in Windows-1252.
[[nodiscard]] std::string TrimmedName(const CodeRecord& record);

// The code read as hexadecimal digits of either case, stopping at the first character
// that is not one: "1F" gives 31, "0a" gives 10, "G1" gives 0.
[[nodiscard]] int CodeValue(const CodeRecord& record);

// Windows-1252 text (the game's code page) as UTF-8.
[[nodiscard]] std::string Windows1252ToUtf8(std::string_view text);

} // namespace railwright

#pragma once

#include <string>
#include <string_view>

namespace railwright {

// A number as 32 characters '0'/'1', most significant bit first. The fraction is
// dropped, a negative value gives 32 zeros and 2^32 or more gives 32 ones.
[[nodiscard]] std::string ValToBin(double value);

// The value of a bit string: only its first 32 characters count, any character other
// than '1' is a zero bit, and a shorter string is read as the high-order bits.
[[nodiscard]] double BinToVal(std::string_view bits);

} // namespace railwright

#include "bit_string.h"

#include <cstdint>

namespace railwright {

std::string ValToBin(double value)
{
    // Greedy subtraction from the top bit down: a fraction never reaches bit 0, a
    // negative value sets no bit and a value of 2^32 or more sets every bit.
    std::string bits;
    bits.reserve(32);
    for (int i = 31; i >= 0; --i) {
        const double weight = double(std::uint64_t(1) << i);
        if (value >= weight) {
            bits.push_back('1');
            value -= weight;
        } else {
            bits.push_back('0');
        }
    }
    return bits;
}

double BinToVal(std::string_view bits)
{
    double sum = 0;
    const std::size_t count = bits.size() < 32 ? bits.size() : 32;
    for (std::size_t pos = 0; pos < count; ++pos) {
        if (bits[pos] == '1') {
            sum += double(std::uint64_t(1) << (31 - pos));
        }
    }
    return sum;
}

} // namespace railwright

#pragma once

namespace railwright {

// How the grid and the edit box show a byte. The numbers are the modes' codes and
// also the edit box's maximum text length.
enum class DisplayMode
{
    Charter = 1,
    Hexidecimal = 2,
    Decimal = 3,
};

} // namespace railwright

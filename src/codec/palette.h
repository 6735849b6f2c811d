#pragma once

#include <array>
#include <cstdint>

// The game's 32 remappable colours as it shows them, in palette order: red, green, blue.
// Colour fields of a record hold an index into this table.
namespace railwright {

inline constexpr std::array<std::array<std::uint8_t, 3>, 32> PaletteRgb = {{
    {47, 64, 63},   {111, 128, 127}, {176, 192, 191}, {112, 119, 175}, {128, 80, 176},
    {15, 64, 176},  {63, 135, 223},  {32, 144, 143},  {31, 120, 0},    {79, 135, 95},
    {95, 143, 48},  {64, 175, 32},   {128, 159, 95},  {128, 136, 48},  {208, 167, 15},
    {143, 80, 0},   {255, 111, 16},  {176, 71, 0},    {175, 128, 63},  {127, 87, 31},
    {112, 103, 64}, {207, 128, 95},  {159, 56, 48},   {143, 0, 0},     {223, 0, 7},
    {208, 56, 143}, {224, 159, 159}, {143, 7, 64},    {63, 64, 112},   {127, 207, 207},
    {255, 231, 47}, {143, 208, 239},
}};

} // namespace railwright

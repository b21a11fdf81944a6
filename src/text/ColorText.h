#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zbpg {

// A colour as stored: 0x00BBGGRR for an RGB colour, 0x80000000 plus an index for a system
// colour, 0x1FFFFFFF for none.
using Color = std::int32_t;

constexpr Color kColorBlack = 0x000000;
constexpr Color kColorWhite = 0xFFFFFF;
constexpr Color kColorNone = 0x1FFFFFFF;
constexpr Color kSystemColorBase = static_cast<Color>(0x80000000u);

// The colour's name when it has one ("clWhite"), else "$" and eight uppercase hex digits.
std::string colorToText(Color color);

// A colour name (ASCII letters in any case) or integer text; anything else raises the error
// "'%s' は整数ではありません".
Color textToColor(std::string_view text);

} // namespace zbpg

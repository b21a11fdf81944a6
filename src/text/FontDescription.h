#pragma once

#include "text/ColorText.h"

#include <cstdint>
#include <string>

namespace zbpg {

// Style bits as stored: bold 1, italic 2, underline 4, strike-out 8.
constexpr std::uint8_t kFontBold = 1;
constexpr std::uint8_t kFontItalic = 2;
constexpr std::uint8_t kFontUnderline = 4;
constexpr std::uint8_t kFontStrikeOut = 8;
constexpr std::uint8_t kFontStyleMask = 15;

// Character sets a font description may name; only the Japanese one is used.
constexpr std::uint8_t kDefaultCharset = 1;
constexpr std::uint8_t kShiftJisCharset = 128;

// The largest font a drawn item may have, in points and in pixels (1000 points at 96 dots per
// inch): far beyond any screen, and small enough that no conversion of a stored size, however
// wild, overflows.
constexpr int kMaxFontPoints = 1000;
constexpr int kMaxFontPixels = 1333;

// The font of a drawn item, independent of any toolkit. A negative height is the character
// height in pixels; the size in points is derived at 96 dots per inch.
struct FontDescription {
    std::string face;
    int height = -12;
    Color color = kColorBlack;
    std::uint8_t style = 0;
    std::uint8_t charset = kDefaultCharset;

    static constexpr int kPixelsPerInch = 96;

    int size() const;
    // A size beyond kMaxFontPoints either way is taken as kMaxFontPoints.
    void setSize(int points);

    bool operator==(const FontDescription&) const = default;
};

// a * b / c rounded half away from zero, as the platform's own scaling does.
int mulDiv(int a, int b, int c);

} // namespace zbpg

#include "base/Error.h"
#include "text/ColorText.h"
#include "text/FontDescription.h"
#include "text/IntegerText.h"

#include <climits>
#include <gtest/gtest.h>

namespace zbpg {
namespace {

TEST(IntegerText, AcceptsDecimalAndHexadecimalForms) {
    EXPECT_EQ(parseIntegerText(" 42"), 42);
    EXPECT_EQ(parseIntegerText("$2A"), 42);
    EXPECT_EQ(parseIntegerText("0x2A"), 42);
    EXPECT_EQ(parseIntegerText("X2a"), 42);
    EXPECT_EQ(parseIntegerText("-7"), -7);
    EXPECT_EQ(parseIntegerText("+7"), 7);
    EXPECT_EQ(parseIntegerText("-2147483648"), INT32_MIN);
    EXPECT_EQ(parseIntegerText("2147483647"), INT32_MAX);
    EXPECT_EQ(parseIntegerText("$FFFFFFFF"), -1);
    EXPECT_EQ(parseIntegerText("$80000000"), INT32_MIN);
    EXPECT_EQ(parseIntegerText("$000000000000002A"), 42); // leading zeros are not significant
}

TEST(IntegerText, RejectsAnythingElse) {
    for (const char* text : {"", " ", "4 2", "42abc", "-$2A", "$", "0x", "-", "42 ", "2147483648",
                             "-2147483649", "$100000000", "abc", "1.5"})
        EXPECT_FALSE(parseIntegerText(text)) << '"' << text << '"';
    EXPECT_EQ(integerTextOr("abc", 810), 810);
}

TEST(ColorText, WritesNamesWhereTheyExistElseHex) {
    EXPECT_EQ(colorToText(0xFFFFFF), "clWhite");
    EXPECT_EQ(colorToText(0), "clBlack");
    EXPECT_EQ(colorToText(static_cast<Color>(0x80000000u + 24)), "clInfoBk");
    EXPECT_EQ(colorToText(kColorNone), "clNone");
    EXPECT_EQ(colorToText(0x00FF8000), "$00FF8000");
    EXPECT_EQ(colorToText(static_cast<Color>(0x80000019u)), "$80000019");
}

TEST(ColorText, ReadsNamesInAnyCaseAndIntegerText) {
    for (const char* text : {"clWhite", "CLWHITE", "16777215", "$00FFFFFF"})
        EXPECT_EQ(textToColor(text), 0xFFFFFF) << text;
    EXPECT_EQ(textToColor("cl3DDkShadow"), static_cast<Color>(0x80000015u));
}

TEST(ColorText, ReadingAnUnknownNameRaisesTheIntegerError) {
    try {
        textToColor("white");
        FAIL() << "no error raised";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "'white' は整数ではありません");
    }
}

TEST(FontDescription, ConvertsPointsAndPixelsAt96Dpi) {
    FontDescription font;
    font.height = -11;
    EXPECT_EQ(font.size(), 8);
    font.height = -12;
    EXPECT_EQ(font.size(), 9);
    font.setSize(8);
    EXPECT_EQ(font.height, -11);
    font.setSize(9);
    EXPECT_EQ(font.height, -12);
    font.setSize(12);
    EXPECT_EQ(font.height, -16);
}

TEST(FontDescription, SettingTheSameSizeKeepsAnOddHeight) {
    FontDescription font;
    font.height = -14; // 10.5 points, shown as 11
    font.setSize(font.size());
    EXPECT_EQ(font.height, -14);
}

TEST(FontDescription, SizesBeyondTheLargestFontAreBoundedBeforeTheyAreScaled) {
    const std::pair<int, int> sizeAndHeight[] = {{1610612736, -kMaxFontPixels},
                                                 {INT_MAX, -kMaxFontPixels},
                                                 {kMaxFontPoints, -kMaxFontPixels},
                                                 {-1610612736, kMaxFontPixels},
                                                 {INT_MIN, kMaxFontPixels}};
    for (const auto& [size, height] : sizeAndHeight) {
        FontDescription font;
        font.setSize(size);
        EXPECT_EQ(font.height, height) << size;
    }
}

TEST(FontDescription, MulDivRoundsHalfAwayFromZero) {
    EXPECT_EQ(mulDiv(14, 72, 96), 11);
    EXPECT_EQ(mulDiv(-14, 72, 96), -11);
    EXPECT_EQ(mulDiv(11, 72, 96), 8);
}

} // namespace
} // namespace zbpg

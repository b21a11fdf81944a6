#include "text/Encoding.h"

#include <gtest/gtest.h>

namespace zbpg {
namespace {

TEST(Encoding, ConvertsJapaneseBothWays) {
    const std::string text = "画面サイズ";
    const auto bytes = utf8ToCp932(text);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes, "\x89\xE6\x96\xCA\x83\x54\x83\x43\x83\x59");
    EXPECT_EQ(cp932ToUtf8(*bytes), text);
}

TEST(Encoding, KeepsTheWindowsMappingsOfTheCodePage) {
    // 5C is a backslash, 81 60 the fullwidth tilde, 87 40 a NEC circled digit.
    EXPECT_EQ(cp932ToUtf8("C:\\a"), "C:\\a");
    EXPECT_EQ(cp932ToUtf8("\x81\x60"), "\xEF\xBD\x9E");
    EXPECT_EQ(cp932ToUtf8("\x87\x40"), "①");
    EXPECT_EQ(utf8ToCp932("①"), "\x87\x40");
}

TEST(Encoding, RefusesTextThatWouldNotComeBackUnchanged) {
    EXPECT_FALSE(utf8ToCp932("/home/zoë/Bilder"));
    EXPECT_FALSE(utf8ToCp932("〜")); // WAVE DASH would come back as FULLWIDTH TILDE
    EXPECT_FALSE(fitsCp932("😀"));
    EXPECT_TRUE(fitsCp932("ＩＰアドレス　　："));
}

TEST(Encoding, RefusesInvalidBytes) {
    EXPECT_FALSE(cp932ToUtf8("\x81"));         // a lead byte alone
    EXPECT_FALSE(isValidUtf8("\xC3"));         // truncated
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));     // overlong
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80")); // surrogate
    EXPECT_TRUE(isValidUtf8("zoë 画面"));
}

TEST(Encoding, ConvertsUtf16LittleEndian) {
    EXPECT_EQ(utf8ToUtf16le("a画😀"), std::string("a\x00\x3B\x75\x3D\xD8\x00\xDE", 8));
    EXPECT_EQ(utf16leToUtf8(std::string("a\x00\x3B\x75\x3D\xD8\x00\xDE", 8)), "a画😀");
    EXPECT_FALSE(utf16leToUtf8(std::string("\x3D\xD8", 2))); // unpaired surrogate
    EXPECT_FALSE(utf16leToUtf8("abc"));                      // odd length
}

TEST(Encoding, ReplacesOnlyTheBytesThatAreNotUtf8) {
    EXPECT_EQ(toValidUtf8("ok ë"), "ok ë");
    EXPECT_EQ(toValidUtf8("a\xFF\xC3"), "a\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(Encoding, PrefixNeverSplitsACharacter) {
    const std::string text = "ab画面"; // 2 + 3 + 3 bytes
    EXPECT_EQ(utf8PrefixLength(text, 8), 8u);
    EXPECT_EQ(utf8PrefixLength(text, 7), 5u);
    EXPECT_EQ(utf8PrefixLength(text, 4), 2u);
}

TEST(Encoding, FoldsOnlyAsciiLetters) {
    EXPECT_TRUE(equalsIgnoringAsciiCase("WPPaintIdx", "wppaintidx"));
    EXPECT_FALSE(equalsIgnoringAsciiCase("Ａ", "ａ"));
    EXPECT_EQ(asciiLower("MFFont_FontName"), "mffont_fontname");
}

} // namespace
} // namespace zbpg

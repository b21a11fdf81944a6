#include "settings/ComponentStream.h"

#include <gtest/gtest.h>

namespace zbpg {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

ListControlDescription named(const std::string& name) {
    ListControlDescription control;
    control.name = name;
    return control;
}

TEST(ComponentStream, IntegersTakeTheSmallestKind) {
    ListControlDescription control = named("L");
    control.tag = 1;
    control.left = -128;
    control.top = 128;
    control.width = 40000;
    control.height = -32768;
    const Bytes stream = encodeComponentStream(control);
    const Bytes expected = bytesOf(std::string("TPF0\x08TListBox\x01L"
                                               "\x03Tag\x02\x01"
                                               "\x04Left\x02\x80"
                                               "\x03Top\x03\x80\x00"
                                               "\x05Width\x04\x40\x9C\x00\x00"
                                               "\x06Height\x03\x00\x80"
                                               "\x0AItemHeight\x02\x10"
                                               "\x08TabOrder\x02\x00"
                                               "\x00\x00\x00",
                                               83));
    EXPECT_EQ(stream, expected);
    EXPECT_EQ(decodeComponentStream(stream, named("L")), control);
}

TEST(ComponentStream, LongAndNonCp932LinesSurvive) {
    ListControlDescription control = named("ListBoxWPFile");
    control.visible = false;
    control.lines = {std::string(256, 'a'), "/home/zoë", "", "画像"};
    const Bytes stream = encodeComponentStream(control);
    const std::string text(stream.begin(), stream.end());
    EXPECT_NE(text.find(std::string("\x0C\x00\x01\x00\x00", 5)), std::string::npos); // long text
    EXPECT_NE(text.find(std::string("\x14\x0A\x00\x00\x00/home/zo", 13)), std::string::npos);
    EXPECT_NE(text.find(std::string("\x07Visible\x08", 9)), std::string::npos);
    EXPECT_EQ(decodeComponentStream(stream, named("ListBoxWPFile")), control);
}

TEST(ComponentStream, AbsentPropertiesTakeTheValuesOfANewControl) {
    ListControlDescription current = named("L");
    current.tag = 5;
    current.visible = false;
    current.lines = {"x"};
    current.tabOrder = 7;
    const Bytes minimal = bytesOf(std::string("TPF0\x08TListBox\x01L\x00\x00\x00", 18));
    const auto decoded = decodeComponentStream(minimal, current);
    ASSERT_TRUE(decoded);
    ListControlDescription expected = named("L");
    expected.tabOrder = 7;
    EXPECT_EQ(*decoded, expected);
}

TEST(ComponentStream, ReadsWideStrings) {
    const Bytes stream = bytesOf(std::string("TPF0\x08TListBox\x01L"
                                             "\x0DItems.Strings\x01\x12\x02\x00\x00\x00"
                                             "a\x00\x3B\x30\x00"
                                             "\x00\x00\x00",
                                             43));
    const auto decoded = decodeComponentStream(stream, named("L"));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->lines, (std::vector<std::string>{"a\xE3\x80\xBB"}));
}

TEST(ComponentStream, RefusesWhatItCannotDecode) {
    ListControlDescription control = named("L");
    control.lines = {"one", "two"};
    const Bytes good = encodeComponentStream(control);
    ASSERT_TRUE(decodeComponentStream(good, named("L")));
    EXPECT_TRUE(decodeComponentStream(good, named("l"))) << "names match without regard to case";

    for (std::size_t size = 0; size < good.size(); ++size)
        EXPECT_FALSE(decodeComponentStream(Bytes(good.begin(), good.begin() + size), named("L")))
            << "truncated to " << size;
    Bytes badSignature = good;
    badSignature[3] = '1';
    EXPECT_FALSE(decodeComponentStream(badSignature, named("L")));
    EXPECT_FALSE(decodeComponentStream(good, named("Other"))) << "another control's stream";
    ListControlDescription memo = named("L");
    memo.className = "TMemo";
    EXPECT_FALSE(decodeComponentStream(encodeComponentStream(memo), named("L")));
    const Bytes unknownProperty = bytesOf(std::string("TPF0\x08TListBox\x01L\x05"
                                                      "Color\x02\x01\x00\x00\x00",
                                                      26));
    EXPECT_FALSE(decodeComponentStream(unknownProperty, named("L")));
    const Bytes wrongKind =
        bytesOf(std::string("TPF0\x08TListBox\x01L\x03Top\x09\x00\x00\x00", 23));
    EXPECT_FALSE(decodeComponentStream(wrongKind, named("L")));
    Bytes trailingChild = good;
    trailingChild[trailingChild.size() - 2] = 8;
    EXPECT_FALSE(decodeComponentStream(trailingChild, named("L")));
    const Bytes badCp932 = bytesOf(
        std::string("TPF0\x08TListBox\x01L\x0DItems.Strings\x01\x06\x01\x81\x00\x00\x00\x00", 37));
    EXPECT_FALSE(decodeComponentStream(badCp932, named("L")));
}

} // namespace
} // namespace zbpg

#include "wallpaper/BmpFile.h"

#include "text/Error.h"

#include <gtest/gtest.h>

namespace zbpg {
namespace {

std::string le(std::uint32_t value, int bytes = 4) {
    std::string out;
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
    return out;
}

// A BMP file put together from its parts; masks sit after an info header and inside longer
// ones. offBits 0: the rows follow the palette.
struct BmpParts {
    std::uint32_t header = 40;
    std::int32_t width = 2;
    std::int32_t height = 2;
    std::uint32_t bits = 8;
    std::uint32_t compression = 0;
    std::uint32_t colorsUsed = 0;
    std::string masks;
    std::string palette;
    std::string rows;
    std::uint32_t offBits = 0;
};

std::string bmpFile(const BmpParts& p) {
    std::string info = le(p.header);
    if (p.header == 12) {
        info += le(p.width, 2) + le(p.height, 2) + le(1, 2) + le(p.bits, 2);
    } else {
        info += le(p.width) + le(p.height) + le(1, 2) + le(p.bits, 2) + le(p.compression) +
                le(p.rows.size()) + le(0) + le(0) + le(p.colorsUsed) + le(0) + p.masks;
        if (p.header > 40)
            info.resize(p.header, '\0');
    }
    const auto offBits =
        static_cast<std::uint32_t>(p.offBits ? p.offBits : 14 + info.size() + p.palette.size());
    return "BM" + le(0) + le(0) + le(offBits) + info + p.palette + p.rows;
}

// A 5 by 3 bitmap (odd width: padding and half bytes) with a byte in every place.
Bitmap sample(int bits, std::size_t colors, std::array<std::uint32_t, 4> masks = {}) {
    Bitmap bitmap{5, 3, bits, {}, masks[0] != 0, masks, {}};
    for (std::size_t i = 0; i < colors; ++i)
        bitmap.palette.push_back(static_cast<std::uint32_t>(0x10203 * i) & 0xFFFFFF);
    for (std::size_t i = 0; i < bitmap.rowBytes() * 3; ++i)
        bitmap.pixels.push_back(static_cast<std::uint8_t>(i * 37 + 11));
    return bitmap;
}

class BmpRoundTrip : public testing::TestWithParam<Bitmap> {};

TEST_P(BmpRoundTrip, WritesABitmapInItsOwnFormatAndReadsItBack) {
    EXPECT_EQ(decodeBmp(encodeBmp(GetParam())), GetParam());
}

INSTANTIATE_TEST_SUITE_P(EveryPixelFormat, BmpRoundTrip,
                         testing::Values(sample(1, 2), sample(4, 16), sample(4, 5), sample(8, 256),
                                         sample(16, 0), sample(16, 0, {0xF800, 0x07E0, 0x001F, 0}),
                                         sample(24, 0), sample(32, 0),
                                         sample(32, 0, {0xFF, 0xFF00, 0xFF0000, 0}),
                                         sample(32, 0, {0xFF0000, 0xFF00, 0xFF, 0xFF000000})));

struct VariantCase {
    const char* name;
    BmpParts parts;
    Bitmap expected;
};

class BmpVariant : public testing::TestWithParam<VariantCase> {};

TEST_P(BmpVariant, ReadsAsItsHeaderAndCompressionSay) {
    EXPECT_EQ(decodeBmp(bmpFile(GetParam().parts)), GetParam().expected) << GetParam().name;
}

const std::string kTwoColours3 = "\x01\x02\x03\x04\x05\x06"; // core: blue, green, red
const std::string kTwoColours4 = std::string("\x01\x02\x03\0\x04\x05\x06\0", 8);

INSTANTIATE_TEST_SUITE_P(
    Files, BmpVariant,
    testing::Values(
        VariantCase{"core header, rows bottom-up",
                    {12, 2, 2, 1, 0, 0, "", kTwoColours3, std::string("\x40\0\0\0\x80\0\0\0", 8)},
                    {2, 2, 1, {0x030201, 0x060504}, false, {}, {0x80, 0, 0, 0, 0x40, 0, 0, 0}}},
        VariantCase{"info header, rows top-down",
                    {40, 1, -2, 24, 0, 0, "", "", std::string("\1\2\3\0\4\5\6\0", 8)},
                    {1, 2, 24, {}, false, {}, {1, 2, 3, 0, 4, 5, 6, 0}}},
        VariantCase{"V5 header, bit fields with alpha",
                    {124, 1, 1, 32, 3, 0, le(0xFF) + le(0xFF00) + le(0xFF0000) + le(0xFF000000), "",
                     "\1\2\3\4"},
                    {1, 1, 32, {}, true, {0xFF, 0xFF00, 0xFF0000, 0xFF000000}, {1, 2, 3, 4}}},
        // A run, end of line; a delta over one row; absolute mode, padded; the end.
        VariantCase{
            "RLE8",
            {40, 4, 3, 8, 1, 2, "", kTwoColours4,
             std::string("\3\1\0\0\0\2\1\1\0\3\1\0\1\0\0\1", 16)},
            {4, 3, 8, {0x030201, 0x060504}, false, {}, {0, 1, 0, 1, 0, 0, 0, 0, 1, 1, 1, 0}}},
        VariantCase{
            "RLE4",
            {40, 5, 2, 4, 2, 2, "", kTwoColours4, std::string("\5\x10\0\0\0\3\x01\x10\0\1", 10)},
            {5, 2, 4, {0x030201, 0x060504}, false, {}, {0x01, 0x10, 0, 0, 0x10, 0x10, 0x10, 0}}}));

class DamagedBmp : public testing::TestWithParam<std::string> {};

TEST_P(DamagedBmp, IsRefusedAsAnInvalidBitmap) {
    try {
        decodeBmp(GetParam());
        ADD_FAILURE() << "read a damaged file";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "ビットマップイメージが不正です");
    }
}

const BmpParts kGood{40, 2, 2, 24, 0, 0, "", "", std::string(16, '\7')};
BmpParts with(BmpParts parts, void (*change)(BmpParts&)) {
    change(parts);
    return parts;
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedBmp,
    testing::Values("", "BM", "PK" + bmpFile(kGood).substr(2), bmpFile(kGood).substr(0, 40),
                    bmpFile(kGood).substr(0, bmpFile(kGood).size() - 1),
                    bmpFile(with(kGood, [](BmpParts& p) { p.header = 20; })),
                    bmpFile(with(kGood, [](BmpParts& p) { p.width = 0; })),
                    bmpFile(with(kGood, [](BmpParts& p) { p.height = 0; })),
                    bmpFile(with(kGood, [](BmpParts& p) { p.width = p.height = 100000; })),
                    bmpFile(with(kGood, [](BmpParts& p) { p.bits = 7; })),
                    bmpFile(with(kGood, [](BmpParts& p) { p.compression = 4; })),
                    bmpFile(with(kGood, [](BmpParts& p) { p.offBits = 30; })),
                    bmpFile(with(kGood, [](BmpParts& p) { p.offBits = 1000; })),
                    bmpFile(with(kGood, [](BmpParts& p) { p.bits = 1, p.colorsUsed = 3; })),
                    bmpFile(with(kGood, [](BmpParts& p) { p.bits = 8, p.palette = "\1\2\3\4"; })),
                    bmpFile(with(kGood,
                                 [](BmpParts& p) {
                                     p.bits = 16, p.compression = 3,
                                     p.masks = le(0xFF00) + le(0x0FF0) + le(0x000F);
                                 })),
                    bmpFile(with(kGood, [](BmpParts& p) { p.compression = 1; })),
                    bmpFile(with(kGood,
                                 [](BmpParts& p) {
                                     p.bits = 8, p.compression = 1, p.height = -2, p.colorsUsed = 1,
                                     p.palette = le(0);
                                 })),
                    bmpFile(with(kGood, [](BmpParts& p) {
                        p.bits = 8, p.compression = 1, p.colorsUsed = 1, p.palette = le(0),
                        p.rows = std::string("\0\4\1", 3);
                    }))));

} // namespace
} // namespace zbpg

#include "rotation/BmpFile.h"

#include "base/Error.h"

#include <gtest/gtest.h>

namespace zbpg {
namespace {

std::string le(std::uint32_t value, int bytes = 4) {
    std::string out;
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
    return out;
}

// A BMP file from its parts, by default a good 2 by 2 24-bit one. Masks follow an info header
// and lie inside longer ones; offBits 0: the rows follow the palette.
struct BmpParts {
    std::uint32_t header = 40;
    std::int32_t width = 2;
    std::int32_t height = 2;
    std::uint32_t bits = 24;
    std::uint32_t compression = 0;
    std::uint32_t colorsUsed = 0;
    std::string masks = "";
    std::string palette = "";
    std::string rows = std::string(16, '\7');
    std::uint32_t offBits = 0;
};

std::string bmpFile(const BmpParts& p) {
    std::string info = le(p.header);
    if (p.header == 12)
        info += le(p.width, 2) + le(p.height, 2) + le(1, 2) + le(p.bits, 2);
    else
        info += le(p.width) + le(p.height) + le(1, 2) + le(p.bits, 2) + le(p.compression) +
                le(p.rows.size()) + std::string(8, '\0') + le(p.colorsUsed) + le(0) + p.masks;
    info.resize(std::max<std::size_t>(info.size(), p.header), '\0');
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

INSTANTIATE_TEST_SUITE_P(
    EveryPixelFormat, BmpRoundTrip,
    testing::Values(sample(1, 2), sample(4, 16), sample(4, 5), sample(8, 256), sample(16, 0),
                    sample(16, 0, {0xF800, 0x07E0, 0x001F, 0}), sample(24, 0), sample(32, 0),
                    sample(32, 0, {0xFF, 0xFF00, 0xFF0000, 0}),
                    sample(32, 0, {0xFF0000, 0xFF00, 0xFF, 0xFF000000})),
    [](const auto& format) {
        const Bitmap& b = format.param;
        return "Bits" + std::to_string(b.bitsPerPixel) +
               (b.palette.empty() ? "" : "Colours" + std::to_string(b.palette.size())) +
               (!b.bitFields      ? ""
                : b.masks[3] != 0 ? "AlphaMasks"
                                  : "Masks");
    });

class BmpVariant : public testing::TestWithParam<std::pair<BmpParts, Bitmap>> {};

TEST_P(BmpVariant, ReadsAsItsHeaderAndCompressionSay) {
    EXPECT_EQ(decodeBmp(bmpFile(GetParam().first)), GetParam().second);
}

const std::string kTwoColours = std::string("\1\2\3\0\4\5\6\0", 8);
const std::vector<std::uint32_t> kTwoColourValues{0x030201, 0x060504};

INSTANTIATE_TEST_SUITE_P(
    Files, BmpVariant,
    testing::Values(
        // Core header: three-byte palette entries; rows bottom-up.
        std::pair(BmpParts{.header = 12,
                           .bits = 1,
                           .palette = "\1\2\3\4\5\6",
                           .rows = std::string("\x40\0\0\0\x80\0\0\0", 8)},
                  Bitmap{2, 2, 1, kTwoColourValues, false, {}, {0x80, 0, 0, 0, 0x40, 0, 0, 0}}),
        std::pair(BmpParts{.width = 1, .height = -2, .rows = std::string("\1\2\3\0\4\5\6\0", 8)},
                  Bitmap{1, 2, 24, {}, false, {}, {1, 2, 3, 0, 4, 5, 6, 0}}),
        std::pair(BmpParts{.header = 124,
                           .width = 1,
                           .height = 1,
                           .bits = 32,
                           .compression = 3,
                           .masks = le(0xFF) + le(0xFF00) + le(0xFF0000) + le(0xFF000000),
                           .rows = "\1\2\3\4"},
                  Bitmap{1, 1, 32, {}, true, {0xFF, 0xFF00, 0xFF0000, 0xFF000000}, {1, 2, 3, 4}}),
        // RLE8: a run, end of line; a delta over a row; absolute mode, padded; the end.
        std::pair(BmpParts{.width = 4,
                           .height = 3,
                           .bits = 8,
                           .compression = 1,
                           .colorsUsed = 2,
                           .palette = kTwoColours,
                           .rows = std::string("\3\1\0\0\0\2\1\1\0\3\1\0\1\0\0\1", 16)},
                  Bitmap{
                      4, 3, 8, kTwoColourValues, false, {}, {0, 1, 0, 1, 0, 0, 0, 0, 1, 1, 1, 0}}),
        std::pair(BmpParts{.width = 5,
                           .bits = 4,
                           .compression = 2,
                           .colorsUsed = 2,
                           .palette = kTwoColours,
                           .rows = std::string("\5\x10\0\0\0\3\1\x10\0\1", 10)},
                  Bitmap{
                      5, 2, 4, kTwoColourValues, false, {}, {1, 0x10, 0, 0, 0x10, 0x10, 0x10, 0}})),
    [](const auto& variant) {
        const BmpParts& parts = variant.param.first;
        return parts.compression == 1   ? "Rle8"
               : parts.compression == 2 ? "Rle4"
               : parts.header == 12     ? "CoreHeader"
               : parts.header == 124    ? "V5Header"
                                        : "TopDown";
    });

class DamagedBmp : public testing::TestWithParam<std::string> {};

TEST_P(DamagedBmp, IsRefusedAsAnInvalidBitmap) {
    try {
        decodeBmp(GetParam());
        ADD_FAILURE() << "read a damaged file";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "ビットマップイメージが不正です");
    }
}

const std::string kGood = bmpFile({});
const std::string kRle8 = std::string("\0\0\0\0", 4); // a one-colour palette

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedBmp,
    testing::Values(
        "", "BM", "PK" + kGood.substr(2), kGood.substr(0, 40), kGood.substr(0, kGood.size() - 1),
        bmpFile({.header = 20}), bmpFile({.width = 0}), bmpFile({.height = 0}),
        bmpFile({.width = 100000, .height = 100000}), bmpFile({.bits = 7}),
        bmpFile({.compression = 4}), bmpFile({.compression = 1}), bmpFile({.offBits = 30}),
        bmpFile({.offBits = 1000}), bmpFile({.bits = 1, .colorsUsed = 3}),
        bmpFile({.bits = 8, .palette = "\1\2"}),
        bmpFile({.bits = 16, .compression = 3, .masks = le(0xFF00) + le(0x0FF0) + le(0x000F)}),
        bmpFile({.height = -2, .bits = 8, .compression = 1, .colorsUsed = 1, .palette = kRle8}),
        bmpFile({.bits = 8,
                 .compression = 1,
                 .colorsUsed = 1,
                 .palette = kRle8,
                 .rows = std::string("\0\4\1", 3)})),
    // By their place in the list: their bytes make no name.
    [](const auto& file) { return "File" + std::to_string(file.index); });

} // namespace
} // namespace zbpg

// The converted wallpaper is shown by the desktop picture, which reads it with Qt.

#include "rotation/BmpFile.h"

#include <QImage>
#include <gtest/gtest.h>

namespace zbpg {
namespace {

struct QtCase {
    Bitmap bitmap; // two pixels
    QRgb left;
    QRgb right;
};

class ConvertedWallpaper : public testing::TestWithParam<QtCase> {};

TEST_P(ConvertedWallpaper, IsReadByQtInEveryPixelFormat) {
    const std::string file = encodeBmp(GetParam().bitmap);
    const QImage image = QImage::fromData(reinterpret_cast<const uchar*>(file.data()),
                                          static_cast<int>(file.size()), "BMP")
                             .convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(2, 1));
    EXPECT_EQ(image.pixel(0, 0), GetParam().left);
    EXPECT_EQ(image.pixel(1, 0), GetParam().right);
}

Bitmap twoPixels(int bits, std::vector<std::uint8_t> row, std::vector<std::uint32_t> palette = {},
                 std::array<std::uint32_t, 4> masks = {}) {
    row.resize(4 * ((row.size() + 3) / 4));
    return {2, 1, bits, std::move(palette), masks[0] != 0, masks, std::move(row)};
}

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kRed5 = qRgb(248, 0, 0);
const QRgb kBlue5 = qRgb(0, 0, 248);
const QRgb kGrey = qRgb(0x40, 0x80, 0xC0);

INSTANTIATE_TEST_SUITE_P(
    Formats, ConvertedWallpaper,
    testing::Values(QtCase{twoPixels(1, {0x40}, {0xFF0000, 0x0000FF}), kRed, kBlue},
                    QtCase{twoPixels(4, {0x10}, {0x0000FF, 0x4080C0}), kGrey, kBlue},
                    QtCase{twoPixels(8, {2, 0}, {0xFF0000, 0, 0x4080C0}), kGrey, kRed},
                    // Qt widens five bits by shifting them: 31 becomes 248.
                    QtCase{twoPixels(16, {0x00, 0x7C, 0x1F, 0x00}), kRed5, kBlue5},
                    QtCase{twoPixels(16, {0x00, 0xF8, 0x1F, 0x00}, {}, {0xF800, 0x07E0, 0x001F, 0}),
                           kRed5, kBlue5},
                    QtCase{twoPixels(24, {0xC0, 0x80, 0x40, 0, 0, 0xFF}), kGrey, kRed},
                    QtCase{twoPixels(32, {0xC0, 0x80, 0x40, 0, 0xFF, 0, 0, 0}), kGrey, kBlue},
                    QtCase{twoPixels(32, {0x40, 0x80, 0xC0, 0xFF, 0xFF, 0, 0, 0x80}, {},
                                     {0xFF, 0xFF00, 0xFF0000, 0xFF000000}),
                           kGrey, qRgba(255, 0, 0, 0x80)}),
    [](const auto& format) {
        const Bitmap& bitmap = format.param.bitmap;
        return "Bits" + std::to_string(bitmap.bitsPerPixel) + (bitmap.bitFields ? "Masks" : "");
    });

} // namespace
} // namespace zbpg

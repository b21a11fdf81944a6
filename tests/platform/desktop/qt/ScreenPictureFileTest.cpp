#include "platform/desktop/qt/ScreenPictureFile.h"

#include "platform/desktop/qt/DesktopPicture.h"
#include "support/TempFolder.h"

#include <QBuffer>
#include <QByteArray>
#include <gtest/gtest.h>

using namespace zbpg::platform;
using namespace zbpg::test;

namespace {

// Neighbouring pixels differ, also across long rows, so a misplaced byte shows.
QImage patterned(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x % 251, y % 241, (x + y) % 239));
    return image;
}

QImage decoded(const std::string& bytes) {
    QImage image;
    image.loadFromData(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())), "PNG");
    return image.convertToFormat(QImage::Format_RGB32);
}

std::string encoded(const QImage& picture, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(picture.save(&buffer, format));
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

constexpr std::size_t kLimit = std::size_t{256} << 20;

// A one-pixel picture; a single row longer than a stored block; and rows that fill several
// image data chunks, with blocks and chunks ending in the middle of rows.
class ScreenPngTest : public testing::TestWithParam<QSize> {};

TEST_P(ScreenPngTest, ReadsBackAsTheSamePixelsWithQtAndWithoutIt) {
    const QImage picture = patterned(GetParam().width(), GetParam().height());
    const std::string bytes = encodeScreenPng(picture);
    for (const QImage& read : {decoded(bytes), decodeScreenPng(bytes, kLimit)}) {
        ASSERT_EQ(read.size(), picture.size());
        EXPECT_TRUE(read == picture);
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, ScreenPngTest,
                         testing::Values(QSize(1, 1), QSize(30000, 1), QSize(701, 613)),
                         [](const auto& size) {
                             return std::to_string(size.param.width()) + "x" +
                                    std::to_string(size.param.height());
                         });

// Anything but a whole file of the program's own layout is left to Qt's decoder.
TEST(ScreenPictureFileTest, OtherFilesAreNotReadWithoutQt) {
    const QImage picture = patterned(40, 30);
    const std::string own = encodeScreenPng(picture);
    for (const std::string& bytes :
         {encoded(picture, "PNG"), own.substr(0, own.size() - 12), own.substr(0, 200)})
        EXPECT_TRUE(decodeScreenPng(bytes, kLimit).isNull());
    EXPECT_TRUE(decodeScreenPng(own, 40 * 30 * 4 - 1).isNull()); // beyond the image limit
    EXPECT_FALSE(decodeScreenPng(own, 40 * 30 * 4).isNull());
}

// Rows padded to four bytes, stored bottom-up and (with a negative height) top-down.
TEST(ScreenPictureFileTest, PlainBitmapsReadAsQtReadsThem) {
    const QImage picture = patterned(7, 5);
    const std::string bottomUp = encoded(picture, "BMP");
    EXPECT_TRUE(decodePlainBmp(bottomUp, kLimit) == picture);
    const std::size_t pixelsAt = 54, rowBytes = 24;
    std::string topDown = bottomUp.substr(0, pixelsAt);
    for (std::size_t row = 5; row-- > 0;)
        topDown += bottomUp.substr(pixelsAt + row * rowBytes, rowBytes);
    const std::int32_t negative = -5;
    topDown.replace(22, 4, reinterpret_cast<const char*>(&negative), 4);
    EXPECT_TRUE(decodePlainBmp(topDown, kLimit) == picture);
    for (const std::string& other :
         {bottomUp.substr(0, bottomUp.size() - 1),
          encoded(picture.convertToFormat(QImage::Format_Indexed8), "BMP")})
        EXPECT_TRUE(decodePlainBmp(other, kLimit).isNull()) << other.size();
}

} // namespace

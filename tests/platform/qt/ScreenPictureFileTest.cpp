#include "platform/qt/ScreenPictureFile.h"

#include "platform/qt/DesktopPicture.h"
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
                         testing::Values(QSize(1, 1), QSize(30000, 1), QSize(701, 613)));

// Anything but a whole file of the program's own layout is left to Qt's decoder.
TEST(ScreenPictureFileTest, OtherFilesAreNotReadWithoutQt) {
    const QImage picture = patterned(40, 30);
    const std::string own = encodeScreenPng(picture);
    QByteArray compressed;
    QBuffer buffer(&compressed);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(picture.save(&buffer, "PNG"));
    for (const std::string& bytes : {std::string(compressed.constData(), compressed.size()),
                                     own.substr(0, own.size() - 12), own.substr(0, 200)})
        EXPECT_TRUE(decodeScreenPng(bytes, kLimit).isNull());
    EXPECT_TRUE(decodeScreenPng(own, 40 * 30 * 4 - 1).isNull()); // beyond the image limit
    EXPECT_FALSE(decodeScreenPng(own, 40 * 30 * 4).isNull());
}

TEST(ScreenPictureFileTest, APreparedPictureChangedMeanwhileIsWrittenAsItIsNow) {
    const TempFolder folder;
    QImage picture = patterned(64, 48);
    prepareScreenPicture(picture);
    picture.setPixel(5, 5, qRgb(1, 2, 3));
    ASSERT_TRUE(writeScreenPicture(picture, folder.file("shown.png")));
    EXPECT_TRUE(decoded(readFile(folder.file("shown.png"))) == picture);
    dropPreparedScreenPicture();
}

TEST(ScreenPictureFileTest, AWrittenPictureIsReadAgainOnceItsFileChanges) {
    const TempFolder folder;
    const std::string path = folder.file("drawn.bmp");
    const QImage drawn = patterned(8, 6);
    ASSERT_TRUE(drawn.save(QString::fromStdString(path), "BMP"));
    DesktopPicture::rememberWrittenPicture(path, drawn);
    EXPECT_EQ(DesktopPicture::loadPicture(path).constBits(), drawn.constBits());
    QImage other(3, 2, QImage::Format_RGB32);
    other.fill(qRgb(9, 8, 7));
    ASSERT_TRUE(other.save(QString::fromStdString(path), "BMP"));
    EXPECT_TRUE(DesktopPicture::loadPicture(path) == other);
    DesktopPicture::forgetWrittenPicture();
}

} // namespace

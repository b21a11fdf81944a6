#include "base/Error.h"
#include "platform/desktop/DesktopService.h"
#include "platform/desktop/qt/DesktopPictureFixture.h"
#include "platform/os/AtomicFile.h"
#include "support/ImageChecks.h"
#include "support/ParamNames.h"
#include "support/UnusualFiles.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

using namespace zbpg::platform;
using namespace zbpg::test;

namespace {

// No X display either: these tests must see the machine without a desktop.
class DesktopPictureTest : public DesktopPictureFixture {
protected:
    void SetUp() override {
        DesktopPictureFixture::SetUp();
        ::setenv("HOME", m_home.path().c_str(), 1);
        ::unsetenv("DISPLAY");
    }
};

// ---- compose ------------------------------------------------------------------------------

TEST(DesktopPictureComposeTest, CenterPutsTheImageInTheMiddleOnTheBackground) {
    const QImage wallpaper = numberedImage(3, 2);
    const QColor background(1, 2, 3);
    const QImage desktop =
        DesktopPicture::compose(wallpaper, QSize(8, 5), WallpaperStyle::Center, background);
    ASSERT_EQ(desktop.size(), QSize(8, 5));
    EXPECT_EQ(desktop.format(), QImage::Format_RGB32);
    // (8 - 3) / 2 = 2 and (5 - 2) / 2 = 1
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(desktop.pixel(2 + x, 1 + y), wallpaper.pixel(x, y)) << x << "," << y;
    EXPECT_EQ(countPixels(desktop, background.rgb()), 8 * 5 - 3 * 2);
    EXPECT_EQ(desktop.pixel(1, 1), background.rgb());
    EXPECT_EQ(desktop.pixel(5, 2), background.rgb());
    EXPECT_EQ(desktop.pixel(2, 3), background.rgb());
}

TEST(DesktopPictureComposeTest, CenterCropsAnImageLargerThanTheScreen) {
    const QImage wallpaper = numberedImage(5, 6);
    const QImage desktop =
        DesktopPicture::compose(wallpaper, QSize(3, 2), WallpaperStyle::Center, Qt::black);
    // (3 - 5) / 2 = -1 and (2 - 6) / 2 = -2
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(desktop.pixel(x, y), wallpaper.pixel(x + 1, y + 2)) << x << "," << y;
}

TEST(DesktopPictureComposeTest, TileRepeatsTheImageFromTheTopLeft) {
    const QImage wallpaper = numberedImage(3, 2);
    const QImage desktop =
        DesktopPicture::compose(wallpaper, QSize(8, 5), WallpaperStyle::Tile, Qt::red);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(desktop.pixel(x, y), wallpaper.pixel(x % 3, y % 2)) << x << "," << y;
}

TEST(DesktopPictureComposeTest, StretchCoversTheWholeScreen) {
    QImage wallpaper(3, 2, QImage::Format_RGB32);
    wallpaper.fill(qRgb(0, 200, 0));
    const QImage desktop =
        DesktopPicture::compose(wallpaper, QSize(8, 5), WallpaperStyle::Stretch, Qt::blue);
    ASSERT_EQ(desktop.size(), QSize(8, 5));
    EXPECT_EQ(countPixels(desktop, qRgb(0, 200, 0)), 8 * 5);
}

TEST(DesktopPictureComposeTest, StretchKeepsTheHalvesOfTheImage) {
    QImage wallpaper(2, 1, QImage::Format_RGB32);
    wallpaper.setPixel(0, 0, qRgb(255, 0, 0));
    wallpaper.setPixel(1, 0, qRgb(0, 0, 255));
    const QImage desktop =
        DesktopPicture::compose(wallpaper, QSize(20, 4), WallpaperStyle::Stretch, Qt::black);
    for (int y = 0; y < 4; ++y) {
        EXPECT_EQ(desktop.pixel(0, y), qRgb(255, 0, 0));
        EXPECT_EQ(desktop.pixel(19, y), qRgb(0, 0, 255));
    }
}

TEST(DesktopPictureComposeTest, StretchToTheSameSizeKeepsEveryPixel) {
    const QImage wallpaper = numberedImage(8, 5);
    const QImage desktop =
        DesktopPicture::compose(wallpaper, QSize(8, 5), WallpaperStyle::Stretch, Qt::black);
    EXPECT_EQ(desktop, wallpaper);
}

// A 4:3 picture (left half red, right half blue, top rows green) on a 16:9 screen: covering scales
// by 1.6 and cuts 6 rows off above and below; fitting scales by 1.2 between 8 columns of colour.
using Pixels = std::vector<std::pair<QPoint, QRgb>>;
const QRgb kRed = qRgb(255, 0, 0), kBlue = qRgb(0, 0, 255), kAround = qRgb(1, 2, 3);
const Pixels kCovered{{{1, 0}, kRed}, {{62, 0}, kBlue}, {{1, 35}, kRed}, {{62, 35}, kBlue}};
class ShapeKeeping
    : public ::testing::TestWithParam<std::tuple<const char*, WallpaperStyle, Pixels>> {};

TEST_P(ShapeKeeping, KeepsThePicturesShape) {
    QImage wallpaper(40, 30, QImage::Format_RGB32);
    wallpaper.fill(kRed);
    QPainter(&wallpaper).fillRect(20, 0, 20, 30, kBlue);
    QPainter(&wallpaper).fillRect(0, 0, 40, 3, Qt::green);
    const auto& [name, style, pixels] = GetParam();
    const QImage desktop = DesktopPicture::compose(wallpaper, QSize(64, 36), style, kAround);
    for (const auto& [point, colour] : pixels)
        EXPECT_EQ(desktop.pixel(point), colour) << point.x() << "," << point.y();
}

INSTANTIATE_TEST_SUITE_P(Styles, ShapeKeeping,
                         ::testing::Values(std::tuple{"Cover", WallpaperStyle::Cover, kCovered},
                                           std::tuple{"Fit", WallpaperStyle::Fit,
                                                      Pixels{{{7, 18}, kAround},
                                                             {{20, 1}, qRgb(0, 255, 0)}}}),
                         [](const auto& shape) { return std::string(std::get<0>(shape.param)); });

TEST(DesktopPictureComposeTest, NoImageGivesTheBackgroundAlone) {
    for (const auto placement :
         {WallpaperStyle::Center, WallpaperStyle::Tile, WallpaperStyle::Stretch}) {
        const QImage desktop =
            DesktopPicture::compose(QImage(), QSize(4, 3), placement, QColor(9, 8, 7));
        ASSERT_EQ(desktop.size(), QSize(4, 3));
        EXPECT_EQ(countPixels(desktop, qRgb(9, 8, 7)), 12);
    }
}

// ---- background colour ---------------------------------------------------------------------

TEST_F(DesktopPictureTest, BackgroundColourIsReadAsThreeDecimals) {
    const std::vector<std::pair<std::string, QColor>> cases = {
        {"10 20 30", QColor(10, 20, 30)},
        {"  1   2 3 ", QColor(1, 2, 3)},
        {"255 255 255", QColor(255, 255, 255)},
        {"0\t128 64", QColor(0, 128, 64)},
        {"a b c", Qt::black},
        {"300 0 0", Qt::black},
        {"1 2", Qt::black},
        {"1 2 3 4", Qt::black},
        {"-1 2 3", Qt::black},
        {"", Qt::black},
        {"12x 0 0", Qt::black},
    };
    for (const auto& [text, expected] : cases) {
        setRegistry(kColorsKey, "Background", text);
        EXPECT_EQ(DesktopPicture::backgroundColor(), expected) << '"' << text << '"';
    }
}

TEST_F(DesktopPictureTest, MissingBackgroundColourIsBlack) {
    EXPECT_EQ(DesktopPicture::backgroundColor(), QColor(Qt::black));
}

// The drawing reaches the desktop without a copy of its pixels, and a change to the drawing
// afterwards does not reach a picture already handed over.
TEST_F(DesktopPictureTest, AScreenPictureSharesItsPixelsAndKeepsThem) {
    QImage drawing = numberedImage(4, 3);
    const QImage before = drawing.copy();
    const ScreenPicture picture = DesktopPicture::screenPictureOf(drawing);
    EXPECT_EQ(DesktopPicture::imageOf(picture).constBits(), drawing.constBits());
    drawing.fill(Qt::red);
    EXPECT_EQ(DesktopPicture::imageOf(picture), before);
}

// ---- paths and screen -----------------------------------------------------------------------

TEST_F(DesktopPictureTest, KeptPictureLivesInTheCacheFolder) {
    EXPECT_EQ(DesktopPicture::keptPicturePath(),
              m_home.file(".cache") + "/ZorbelPaneglyph/desktop.png");
}

TEST_F(DesktopPictureTest, WithoutADisplayTheScreenIsQtsPrimaryScreen) {
    ASSERT_NE(QGuiApplication::primaryScreen(), nullptr);
    EXPECT_EQ(DesktopPicture::screenSize(), QGuiApplication::primaryScreen()->size());
}

// ---- setting the wallpaper ------------------------------------------------------------------

TEST_F(DesktopPictureTest, TiledBmpBecomesTheKeptPicture) {
    setRegistry(kColorsKey, "Background", "10 20 30");
    const QImage wallpaper = numberedImage(3, 2);
    ASSERT_TRUE(DesktopPicture::setDeskWallpaper(writeBmp(wallpaper), WallpaperStyle::Tile));

    const QImage kept = keptPicture();
    ASSERT_EQ(kept.size(), DesktopPicture::screenSize());
    for (const QPoint p :
         {QPoint(0, 0), QPoint(4, 1), QPoint(2, 3), QPoint(kept.width() - 1, kept.height() - 1)})
        EXPECT_EQ(kept.pixel(p), wallpaper.pixel(p.x() % 3, p.y() % 2)) << p.x() << "," << p.y();
    EXPECT_EQ(countPixels(kept, qRgb(10, 20, 30)), 0);
    EXPECT_FALSE(recordedWallpaper()) << "showing records nothing";
}

TEST_F(DesktopPictureTest, CentredWallpaperOutlivesItsFile) {
    setRegistry(kColorsKey, "Background", "0 0 255");
    const QImage wallpaper = numberedImage(3, 2);
    const std::string path = writeBmp(wallpaper);
    ASSERT_TRUE(DesktopPicture::setDeskWallpaper(path, WallpaperStyle::Center));
    ASSERT_EQ(std::remove(path.c_str()), 0);

    // Without an X server the kept picture is the displayed desktop.
    const QSize screen = DesktopPicture::screenSize();
    const QImage desktop = keptPicture();
    ASSERT_EQ(desktop.size(), screen);
    const QPoint origin((screen.width() - 3) / 2, (screen.height() - 2) / 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(desktop.pixel(origin + QPoint(x, y)), wallpaper.pixel(x, y));
    EXPECT_EQ(countPixels(desktop, qRgb(0, 0, 255)), screen.width() * screen.height() - 6);
}

TEST_F(DesktopPictureTest, AStretchedWallpaperCoversTheScreen) {
    QImage wallpaper(3, 2, QImage::Format_RGB32);
    wallpaper.fill(qRgb(200, 100, 50));
    ASSERT_TRUE(DesktopPicture::setDeskWallpaper(writeBmp(wallpaper), WallpaperStyle::Stretch));
    const QImage kept = keptPicture();
    EXPECT_EQ(countPixels(kept, qRgb(200, 100, 50)), kept.width() * kept.height());
}

TEST_F(DesktopPictureTest, TheRecordedStyleTilesWhenBothValuesAreSet) {
    setRegistry(kDesktopKey, "TileWallpaper", "1");
    setRegistry(kDesktopKey, "WallpaperStyle", "2");
    const QImage wallpaper = numberedImage(3, 2);
    setRegistry(kDesktopKey, "Wallpaper", writeBmp(wallpaper));
    const QImage desktop = DesktopPicture::paintDesktop(QSize(6, 4));
    EXPECT_EQ(desktop.pixel(3, 2), wallpaper.pixel(0, 0));
    EXPECT_EQ(desktop.pixel(5, 3), wallpaper.pixel(2, 1));
}

// The painted desktop reads the tiling value as the rest of the program does: tiled exactly
// when its text is "1", and a value that holds no text is an error, not a guess.
TEST_F(DesktopPictureTest, OnlyTheTextOneTilesTheRecordedWallpaper) {
    const QImage wallpaper = numberedImage(3, 2);
    setRegistry(kDesktopKey, "Wallpaper", writeBmp(wallpaper));
    setRegistry(kDesktopKey, "TileWallpaper", "1 ");
    EXPECT_EQ(DesktopPicture::paintDesktop(QSize(6, 4)),
              DesktopPicture::compose(wallpaper, QSize(6, 4), kCentred, Qt::black));
    ASSERT_TRUE(
        Registry::currentUser().writeValue(kDesktopKey, "TileWallpaper", RegValue::number(1)));
    EXPECT_THROW((void)DesktopPicture::paintDesktop(QSize(6, 4)), zbpg::Error);
}

TEST_F(DesktopPictureTest, UnreadableFileChangesNothing) {
    const std::string good = writeBmp(numberedImage(3, 2));
    ASSERT_TRUE(DesktopPicture::setDeskWallpaper(good, WallpaperStyle::Tile));
    const std::string keptBytes = readFile(DesktopPicture::keptPicturePath());
    ASSERT_FALSE(keptBytes.empty());

    const std::string notAnImage = m_home.file("notes.bmp");
    writeFile(notAnImage, "this is no picture");
    EXPECT_FALSE(
        DesktopPicture::setDeskWallpaper(m_home.file("missing.bmp"), WallpaperStyle::Tile));
    EXPECT_FALSE(DesktopPicture::setDeskWallpaper(notAnImage, WallpaperStyle::Tile));
    EXPECT_EQ(readFile(DesktopPicture::keptPicturePath()), keptBytes);
}

TEST_F(DesktopPictureTest, EmptyPathLeavesTheBackgroundAlone) {
    setRegistry(kColorsKey, "Background", "7 77 177");
    ASSERT_TRUE(
        DesktopPicture::setDeskWallpaper(writeBmp(numberedImage(3, 2)), WallpaperStyle::Center));
    ASSERT_TRUE(DesktopPicture::setDeskWallpaper("", WallpaperStyle::Center));
    const QImage kept = keptPicture();
    ASSERT_FALSE(kept.isNull());
    EXPECT_EQ(countPixels(kept, qRgb(7, 77, 177)), kept.width() * kept.height());
}

// A link planted as the kept picture is replaced; the file it points to is left alone.
TEST_F(DesktopPictureTest, KeptPictureReplacesALinkAtItsName) {
    std::filesystem::create_directories(m_home.file(".cache/ZorbelPaneglyph"));
    writeFile(m_home.file("victim"), "the user's");
    std::filesystem::create_symlink(m_home.file("victim"), DesktopPicture::keptPicturePath());
    ASSERT_TRUE(DesktopPicture::showScreenPicture(numberedImage(4, 3)));
    EXPECT_EQ(readFile(m_home.file("victim")), "the user's");
}

TEST_F(DesktopPictureTest, KeptPictureCannotBeWritten) {
    // A file where the cache folder should be: the picture has nowhere to go, and without an X
    // server nothing has been shown: the error is not the one of a picture shown but not kept.
    writeFile(m_home.file(".cache"), "");
    try {
        (void)DesktopPicture::setDeskWallpaper(writeBmp(numberedImage(3, 2)),
                                               WallpaperStyle::Center);
        ADD_FAILURE() << "no error raised";
    } catch (const zbpg::Error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "ファイル " + DesktopPicture::keptPicturePath() + " を作成できません");
        EXPECT_EQ(dynamic_cast<const PictureNotKept*>(&error), nullptr);
    }
}

// Whatever a picture's path names, only a regular file within Qt's image limits is read, and
// nothing is waited for: not the wallpaper to show, not the recorded one, not the kept picture.
class SpecialPictureFile : public DesktopPictureTest,
                           public ::testing::WithParamInterface<const char*> {};

TEST_P(SpecialPictureFile, IsNeverWaitedForAndCountsAsNoPicture) {
    const std::string kind = GetParam();
    const std::string path = kind.front() == '/' ? kind : m_home.file(kind);
    if (kind == "fifo") {
        ASSERT_TRUE(makeFifo(path));
    } else if (kind == "folder") {
        std::filesystem::create_directory(path);
    } else if (kind == "larger") {
        writeFile(path, "BM");
        std::filesystem::resize_file(path, std::uintmax_t{1} << 31); // sparse
    }
    setRegistry(kColorsKey, "Background", "4 5 6");
    bool shown = true;
    EXPECT_TRUE(
        returnsPromptly([&] { shown = DesktopPicture::setDeskWallpaper(path, kCentred); }, path));
    EXPECT_FALSE(shown);

    setRegistry(kDesktopKey, "Wallpaper", path);
    QImage desktop;
    EXPECT_TRUE(
        returnsPromptly([&] { desktop = DesktopPicture::paintDesktop(QSize(4, 3)); }, path));
    EXPECT_EQ(countPixels(desktop, qRgb(4, 5, 6)), 12);
}

INSTANTIATE_TEST_SUITE_P(Kinds, SpecialPictureFile,
                         ::testing::Values("fifo", "folder", "/dev/zero", "larger"),
                         [](const auto& kind) { return nameOf(kind.param); });

// The largest pictures the rotation converts (RLE8: 8 bits, JPEG: 24), sparse after the header.
class LargestConvertedPicture : public DesktopPictureTest,
                                public ::testing::WithParamInterface<QImage::Format> {};
TEST_P(LargestConvertedPicture, IsReadForTheDesktop) {
    const int side = GetParam() == QImage::Format_Indexed8 ? 8192 : 8000;
    std::string bytes = readFile(writeBmp(QImage(side, 1, GetParam()))); // the rows are not read
    const std::size_t rowsAt = static_cast<unsigned char>(bytes[10]) | bytes[11] << 8;
    for (int i = 0; i < 4; ++i)
        bytes[22 + i] = static_cast<char>(side >> 8 * i); // the height
    writeFile(m_home.file("wall.bmp"), bytes.substr(0, rowsAt));
    std::filesystem::resize_file(m_home.file("wall.bmp"), rowsAt + (bytes.size() - rowsAt) * side);
    EXPECT_EQ(DesktopPicture::loadPicture(m_home.file("wall.bmp")).size(), QSize(side, side));
}
INSTANTIATE_TEST_SUITE_P(Formats, LargestConvertedPicture,
                         ::testing::Values(QImage::Format_Indexed8, QImage::Format_RGB888));

TEST_F(DesktopPictureTest, AKeptPictureThatIsAFifoIsNeitherReadNorWaitedFor) {
    ASSERT_TRUE(makeFolders(parentFolder(DesktopPicture::keptPicturePath())));
    ASSERT_TRUE(makeFifo(DesktopPicture::keptPicturePath()));
    setRegistry(kColorsKey, "Background", "4 5 6");
    QImage desktop;
    EXPECT_TRUE(returnsPromptly([&] { desktop = DesktopPicture::paintDesktop(QSize(4, 3)); },
                                DesktopPicture::keptPicturePath()));
    EXPECT_EQ(countPixels(desktop, qRgb(4, 5, 6)), 12);
    bool shown = false;
    EXPECT_TRUE(returnsPromptly([&] { shown = DesktopPicture::setDeskWallpaper("", kCentred); },
                                DesktopPicture::keptPicturePath()));
    EXPECT_TRUE(shown);
    EXPECT_EQ(countPixels(keptPicture(), qRgb(4, 5, 6)),
              keptPicture().width() * keptPicture().height());
}

// ---- painting the desktop -------------------------------------------------------------------

TEST_F(DesktopPictureTest, WithoutAnyPictureTheDesktopIsTheBackgroundColour) {
    setRegistry(kColorsKey, "Background", "30 60 90");
    const QImage desktop = DesktopPicture::paintDesktop(QSize(5, 4));
    ASSERT_EQ(desktop.size(), QSize(5, 4));
    EXPECT_EQ(countPixels(desktop, qRgb(30, 60, 90)), 20);
}

TEST_F(DesktopPictureTest, WithoutARootPixmapTheRecordedWallpaperIsPaintedInItsStyle) {
    setRegistry(kColorsKey, "Background", "1 1 1");
    setRegistry(kDesktopKey, "TileWallpaper", "1");
    const QImage wallpaper = numberedImage(4, 3);
    setRegistry(kDesktopKey, "Wallpaper", writeBmp(wallpaper));
    // An earlier session's drawing, kept: it must not come back.
    ASSERT_TRUE(DesktopPicture::setDeskWallpaper("", kCentred)); // creates the folder
    const QImage drawing = numberedImage(6, 4);
    ASSERT_TRUE(drawing.save(QString::fromStdString(DesktopPicture::keptPicturePath()), "PNG"));

    EXPECT_EQ(
        DesktopPicture::paintDesktop(QSize(6, 4)),
        DesktopPicture::compose(wallpaper, QSize(6, 4), WallpaperStyle::Tile, QColor(1, 1, 1)));
}

} // namespace

// The program's main job end to end on an X server (run under xvfb-run with a 1024x768 screen
// and -noreset): a logon run draws onto the desktop picture and leaves the clean wallpaper
// recorded, and shows the pictures of the wallpaper list in turn.

#include "options/OptionsStore.h"
#include "platform/desktop/WallpaperValues.h"
#include "platform/desktop/qt/DesktopPicture.h"
#include "platform/os/Processes.h"
#include "platform/store/Registry.h"
#include "support/Commands.h"
#include "support/JpegEncoding.h"
#include "support/TempFolder.h"
#include "text/Encoding.h"

#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

// Xlib macros (None, Bool, ...) would break the headers above, so it comes last.
#include <X11/Xlib.h>

namespace zbpg {
namespace {

namespace fs = std::filesystem;

const QRgb kWallpaper = qRgb(40, 60, 90);
const QRgb kFrame = qRgb(255, 0, 0);
const char* const kDesktop = "Control Panel\\Desktop";
// Only the 640 * 480 frame, in red; the system information at its default places.
const char* const kOnlyTheSmallestFrame = "[MonitorFrame]\r\nMFSZ2=0\r\nMFSZ3=0\r\nMFSZ4=0\r\n"
                                          "MFSZ5=0\r\nMFSZ6=0\r\nMFColor=255\r\n";

// A copy of the program in a folder of its own, so that its settings file sits beside it.
std::string installProgram(const test::TempFolder& folder) {
    const char* built = std::getenv("ZBPG_PROGRAM");
    if (!built)
        return {};
    const std::string program = folder.file("ZorbelPaneglyph");
    fs::copy_file(built, program);
    return program;
}

// One logon run of the copy, successful. A run that fails waits on its message box, so it is
// given a minute and then ended: a failing run fails its test instead of holding the suite.
void runOnlyDraw(const std::string& program, const test::TempFolder& folder) {
    const auto run =
        test::runCommand("cd '" + folder.path() + "' && '" + program + "' -OnlyDraw", 60);
    ASSERT_EQ(run.status, 0) << run.output;
}

bool allPixelsAre(const QImage& image, const QRect& area, QRgb colour) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) != colour)
                return false;
    return true;
}

int pixelsOtherThan(const QImage& image, const QRect& area, QRgb colour) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixel(x, y) != colour ? 1 : 0;
    return count;
}

// A wallpaper of one colour, shown and recorded as the user's.
std::string showCleanWallpaper(const test::TempFolder& folder) {
    const std::string clean = folder.file("clean.bmp");
    QImage wallpaper(1024, 768, QImage::Format_RGB32);
    wallpaper.fill(kWallpaper);
    EXPECT_TRUE(wallpaper.save(QString::fromStdString(clean), "BMP"));
    EXPECT_TRUE(
        platform::DesktopPicture::setDeskWallpaper(clean, platform::WallpaperStyle::Center));
    EXPECT_TRUE(platform::writeWallpaperValue(platform::WallpaperValue::Wallpaper, clean));
    return clean;
}

TEST(OnlyDrawOnX11, DrawsFramesAndSystemInformationOntoTheDesktop) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
    test::TempFolder folder;
    const std::string program = installProgram(folder);
    ASSERT_FALSE(program.empty()) << "ZBPG_PROGRAM names the built program";

    const std::string clean = showCleanWallpaper(folder);
    test::writeFile(folder.file("ZorbelPaneglyph.ini"), kOnlyTheSmallestFrame);

    ::unsetenv("QT_QPA_PLATFORM"); // the program sees the X server as a user's session would
    ASSERT_NO_FATAL_FAILURE(runOnlyDraw(program, folder));

    const QImage desktop = platform::DesktopPicture::paintDesktop(QSize(1024, 768))
                               .convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(desktop.size(), QSize(1024, 768));
    for (int y : {0, 100, 477})
        EXPECT_EQ(desktop.pixel(0, y), kFrame) << y;
    for (int y : {1, 100, 477})
        EXPECT_EQ(desktop.pixel(638, y), kFrame) << y;
    for (int x : {0, 300, 638}) {
        EXPECT_EQ(desktop.pixel(x, 0), kFrame) << x;
        EXPECT_EQ(desktop.pixel(x, 478), kFrame) << x;
    }
    EXPECT_EQ(desktop.pixel(639, 100), kWallpaper);
    EXPECT_EQ(desktop.pixel(100, 479), kWallpaper);
    EXPECT_GT(pixelsOtherThan(desktop, QRect(810, 610, 214, 14), kWallpaper), 20) << "user line";
    EXPECT_GT(pixelsOtherThan(desktop, QRect(810, 630, 214, 14), kWallpaper), 20) << "host line";
    EXPECT_GT(pixelsOtherThan(desktop, QRect(810, 650, 214, 14), kWallpaper), 20) << "address";
    EXPECT_TRUE(allPixelsAre(desktop, QRect(1, 30, 636, 447), kWallpaper)) << "inside the frame";
    EXPECT_TRUE(allPixelsAre(desktop, QRect(640, 0, 384, 600), kWallpaper));
    EXPECT_TRUE(allPixelsAre(desktop, QRect(0, 670, 1024, 98), kWallpaper));

    EXPECT_FALSE(fs::exists(folder.file("ZorbelPaneglyphTmp.bmp")));
    const auto recorded =
        platform::Registry::currentUser().readValue("Control Panel\\Desktop", "Wallpaper");
    ASSERT_TRUE(recorded);
    EXPECT_EQ(recorded->text, clean);
}

// A full disk (no file may grow beyond 100 blocks): neither the run's picture file nor the kept
// picture can be written, but the X root window shows the drawing without a file. The run shows
// it, tells what it could not keep, and succeeds.
TEST(OnlyDrawOnX11, OnAFullDiskThePictureIsShownAndWhatCouldNotBeKeptIsTold) {
    test::TempFolder folder;
    const std::string program = installProgram(folder);
    test::writeFile(folder.file("ZorbelPaneglyph.ini"), kOnlyTheSmallestFrame);
    ::unsetenv("QT_QPA_PLATFORM");
    const auto run =
        test::runCommand("cd '" + folder.path() + "' && trap '' XFSZ && ulimit -f 100 && '" +
                             program + "' -OnlyDraw 2>&1",
                         60);
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find(folder.file("ZorbelPaneglyphTmp-")), std::string::npos);
    EXPECT_NE(run.output.find(platform::DesktopPicture::keptPicturePath() + " を作成できません"),
              std::string::npos);
    EXPECT_EQ(platform::DesktopPicture::paintDesktop(QSize(1024, 768)).pixel(0, 100), kFrame);
}

// "壁紙を再表示してから描画" draws on the clean wallpaper every time: two runs in a row leave the
// same picture. Drawing over the desktop as shown piles the text's soft edges up run by run.
TEST(OnlyDrawOnX11, OnlyTheRewriteModeDrawsOnTheCleanWallpaperEveryTime) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
    ::unsetenv("QT_QPA_PLATFORM");
    for (const bool rewrite : {true, false}) {
        test::TempFolder folder;
        const std::string program = installProgram(folder);
        ASSERT_FALSE(program.empty()) << "ZBPG_PROGRAM names the built program";
        (void)showCleanWallpaper(folder);
        test::writeFile(folder.file("ZorbelPaneglyph.ini"),
                        std::string("[Application]\r\nDrawTypeOverwrite=") + (rewrite ? "0" : "1") +
                            "\r\nDrawTypeRewrite=" + (rewrite ? "1" : "0") + "\r\n");
        QImage desktops[2];
        for (QImage& desktop : desktops) {
            ASSERT_NO_FATAL_FAILURE(runOnlyDraw(program, folder));
            desktop = platform::DesktopPicture::paintDesktop(QSize(1024, 768));
        }
        EXPECT_EQ(desktops[0] == desktops[1], rewrite) << (rewrite ? "rewrite" : "overwrite");
    }
}

TEST(OnlyDrawOnX11, ANewSessionStartsFromTheRecordedWallpaperInItsStyle) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
    test::TempFolder folder;
    const std::string program = installProgram(folder);
    ASSERT_FALSE(program.empty()) << "ZBPG_PROGRAM names the built program";

    // The server of a new session has no wallpaper; the last session's drawing is still kept.
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    for (const char* name : {"_XROOTPMAP_ID", "ESETROOT_PMAP_ID"})
        XDeleteProperty(display, DefaultRootWindow(display), XInternAtom(display, name, False));
    XCloseDisplay(display);
    QImage drawing(1024, 768, QImage::Format_RGB32);
    drawing.fill(qRgb(1, 2, 3));
    const std::string kept = platform::DesktopPicture::keptPicturePath();
    fs::create_directories(fs::path(kept).parent_path());
    ASSERT_TRUE(drawing.save(QString::fromStdString(kept)));
    QImage tile(5, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            tile.setPixel(x, y, qRgb(40 * x, 60 * y, 90));
    const std::string clean = folder.file("tile.bmp");
    ASSERT_TRUE(tile.save(QString::fromStdString(clean), "BMP"));
    const auto registry = platform::Registry::currentUser();
    ASSERT_TRUE(registry.writeValue(kDesktop, "Wallpaper", platform::RegValue::string(clean)));
    ASSERT_TRUE(registry.writeValue(kDesktop, "TileWallpaper", platform::RegValue::string("1")));

    test::writeFile(folder.file("ZorbelPaneglyph.ini"), kOnlyTheSmallestFrame);
    ::unsetenv("QT_QPA_PLATFORM");
    ASSERT_NO_FATAL_FAILURE(runOnlyDraw(program, folder));

    const QImage desktop = platform::DesktopPicture::paintDesktop(QSize(1024, 768));
    EXPECT_EQ(desktop.pixel(0, 100), kFrame);
    for (const QPoint p : {QPoint(639, 100), QPoint(700, 500), QPoint(1023, 767), QPoint(2, 479)})
        EXPECT_EQ(desktop.pixel(p), tile.pixel(p.x() % 5, p.y() % 3)) << p.x() << "," << p.y();
}

std::string solidBmp(const std::string& path, QRgb colour) {
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(colour);
    EXPECT_TRUE(image.save(QString::fromStdString(path), "BMP"));
    return path;
}

bool isNear(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) <= 3 && std::abs(qGreen(a) - qGreen(b)) <= 3 &&
           std::abs(qBlue(a) - qBlue(b)) <= 3;
}

TEST(OnlyDrawOnX11, SuccessiveRunsShowTheWallpaperListInTurnWithTheFramesOnTop) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
    test::TempFolder folder;
    const std::string program = installProgram(folder);
    ASSERT_FALSE(program.empty()) << "ZBPG_PROGRAM names the built program";

    // A folder with a picture, a sub-folder with another and a file that is no picture; a JPEG.
    const std::string pictures = folder.file("pictures");
    fs::create_directories(pictures + "/sub");
    const QRgb red = qRgb(200, 30, 30), green = qRgb(30, 200, 30), blue = qRgb(30, 30, 200);
    solidBmp(pictures + "/one.bmp", red);
    solidBmp(pictures + "/sub/two.bmp", green);
    test::writeFile(pictures + "/notes.txt", "no picture");
    const std::string jpeg = folder.file("three.jpg");
    test::writeFile(jpeg, test::solidJpeg(64, 48, {30, 30, 200}));

    TRegManager settings;
    openSettings(settings, folder.file("ZorbelPaneglyph.ini"));
    Options options = factoryOptions();
    options.wallpaper.draw = true;
    options.wallpaper.order.set(WallpaperOrder::Sequential, true);
    options.wallpaper.stat.lines = {"1", "1"};
    options.wallpaper.file.lines = {pictures, jpeg};
    options.monitorFrame.sizes = {true, false, false, false, false, false};
    options.monitorFrame.color = 0x0000FF;
    saveOptions(settings, options);

    ::unsetenv("QT_QPA_PLATFORM");
    std::vector<QRgb> shown;
    for (const int index : {0, 1, 2, 0}) {
        ASSERT_NO_FATAL_FAILURE(runOnlyDraw(program, folder));
        const QImage desktop = platform::DesktopPicture::paintDesktop(QSize(1024, 768));
        shown.push_back(desktop.pixel(512, 384));
        EXPECT_EQ(desktop.pixel(0, 100), kFrame) << index;
        EXPECT_NE(desktop.pixel(300, 300), shown.back()) << "centred, not tiled";
        EXPECT_EQ(settings.ItemFiler("WPPaintIdx").ReadInteger(), index);
    }
    // The folder's two pictures in the file system's order, the JPEG, the first again.
    EXPECT_TRUE((shown[0] == red && shown[1] == green) || (shown[0] == green && shown[1] == red));
    EXPECT_TRUE(isNear(shown[2], blue)) << std::hex << shown[2];
    EXPECT_EQ(shown[3], shown[0]);
    const auto recorded = platform::Registry::currentUser().readValue(kDesktop, "Wallpaper");
    ASSERT_TRUE(recorded);
    EXPECT_EQ(recorded->text, folder.file("ZorbelPaneglyph.bmp"));
}

} // namespace
} // namespace zbpg

#include "draw/DrawRun.h"

#include "common/zbpg_common.h"
#include "draw/DrawWatch.h"
#include "draw/Renderers.h"
#include "options/OptionsStore.h"
#include "platform/desktop/qt/DesktopPicture.h"
#include "platform/os/Processes.h"
#include "platform/store/Registry.h"
#include "support/FixedSystemInfo.h"
#include "support/RecordingDesktopService.h"
#include "support/RecordingDialogService.h"
#include "support/RecordingMessageService.h"
#include "support/TempFolder.h"
#include "text/IntegerText.h"

#include <QGuiApplication>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

namespace zbpg {
namespace {

using test::readFile;
using test::writeFile;

// A draw run on a 1024 by 768 screen whose desktop is black, with its shown picture recorded.
class DrawRunTest : public ::testing::Test {
protected:
    DrawRunTest() {
        platform::setSleeper([this](int milliseconds) { pauses.push_back(milliseconds); });
        openSettings(regManager, folder.file("ZorbelPaneglyph.ini"));
        (void)SetWallpaperFile("/pictures/clean.bmp");
    }
    ~DrawRunTest() override { platform::setSleeper({}); }

    // Runs the options; false when the run ended with an error (recorded in runError).
    bool run(bool onlyDraw = false) {
        DrawRun drawRun(options, onlyDraw, tmpBitmap, rotation());
        drawRun.OnSystemInfo = [this](SystemInfoLine line, const std::string& value) {
            fetched.emplace_back(line, value);
        };
        try {
            drawRun.DrawDesktop();
        } catch (const std::exception& error) {
            runError = error.what();
            return false;
        }
        if (!options.wallpaper.draw) {
            EXPECT_EQ(drawRun.baseWallpaper(), "/pictures/clean.bmp");
        }
        return true;
    }

    QImage shownPicture() const {
        return desktop.wallpapers.empty()
                   ? QImage()
                   : platform::DesktopPicture::imageOf(desktop.wallpapers.back().picture);
    }
    static QImage blackScreen() {
        QImage image(1024, 768, QImage::Format_RGB32);
        image.fill(Qt::black);
        return image;
    }

    // Nothing drawn but the free message, typed, red, at the top left.
    void onlyFreeMessage(const std::vector<std::string>& lines) {
        options.monitorFrame.draw = false;
        for (auto& line : options.systemInfo)
            line.draw = false;
        options.freeMessage.draw = true;
        options.freeMessage.input = lines;
        options.freeMessage.font = {"ＭＳ ゴシック", -40, 0x0000FF, 0, 128};
    }

    // The wallpaper rotation on, in list order, tiled, over the given rows; nothing drawn on top.
    void rotate(const std::vector<CheckListRow>& rows) {
        onlyFreeMessage({});
        options.freeMessage.draw = false;
        options.wallpaper.draw = true;
        options.wallpaper.order.set(WallpaperOrder::Sequential, true);
        options.wallpaper.position.set(WallpaperPosition::Tile, true);
        options.wallpaper.rows = rows;
    }
    // A small picture of one colour, as a BMP file.
    std::string picture(const std::string& name, QRgb colour) {
        QImage image(2, 2, QImage::Format_RGB32);
        image.fill(colour);
        EXPECT_TRUE(image.save(QString::fromStdString(folder.file(name)), "BMP"));
        return folder.file(name);
    }
    int paintIndex() { return regManager.ItemFiler("WPPaintIdx").ReadInteger(); }
    // The composed pictures' files in the folder now, each a run's own.
    std::vector<std::string> runPictures() const {
        std::vector<std::string> files;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
            if (entry.path().filename().string().starts_with("ZorbelPaneglyphTmp"))
                files.push_back(entry.path().string());
        }
        return files;
    }

    // An entry of an application list.
    void addEntry(AppList which, const std::string& stat, const std::string& command,
                  const std::string& parameters, bool wait, const std::string& seconds) {
        auto& list = options.appList(which);
        list.rows.push_back({command, stat == "1"});
        const std::vector<std::string> entry{
            stat, command,          parameters,       "",     "1", "0",
            "0",  wait ? "1" : "0", wait ? "0" : "1", seconds};
        for (std::size_t i = 0; i < entry.size(); ++i)
            list.fields[i].lines.push_back(entry[i]);
    }

    // A script that appends its name and arguments to a log, so that tests see what ran.
    std::string loggingScript(const std::string& name) {
        const std::string path = folder.file(name);
        writeFile(path, "#!/bin/sh\necho \"" + name + " $*\" >> \"" + folder.file("log") + "\"\n");
        ::chmod(path.c_str(), 0755);
        return path;
    }

    RotationContext rotation() { return {regManager, random, folder.file("ZorbelPaneglyph.bmp")}; }

    test::TempFolder folder;
    TRegManager regManager;
    std::mt19937 random{7};
    test::RecordingMessageService messages;
    test::FakeDesktopService desktop{1024, 768};
    test::FixedSystemInfo systemInfo;
    Options options = factoryOptions();
    std::string tmpBitmap = folder.file("ZorbelPaneglyphTmp.bmp");
    std::vector<int> pauses;
    std::vector<std::pair<SystemInfoLine, std::string>> fetched;
    std::string runError;
};

TEST_F(DrawRunTest, ShowsTheComposedPictureWhileTheCleanWallpaperStaysRecorded) {
    QImage savedWhileShown;
    desktop.whileShowing = [&] {
        savedWhileShown.load(QString::fromStdString(runPictures().at(0)));
    };
    ASSERT_TRUE(run());
    ASSERT_EQ(desktop.wallpapers.size(), 1u);
    EXPECT_TRUE(desktop.wallpapers[0].isPicture());
    EXPECT_EQ(savedWhileShown.convertToFormat(QImage::Format_RGB32), shownPicture())
        << "the temporary bitmap holds the shown picture while it is shown";
    EXPECT_EQ(desktop.recordedWhenShown, std::vector<std::string>{"/pictures/clean.bmp"})
        << "a run killed while its picture is shown must leave the clean wallpaper recorded";
    EXPECT_TRUE(runPictures().empty());
    std::string wallpaper;
    GetWallpaperFile(wallpaper);
    EXPECT_EQ(wallpaper, "/pictures/clean.bmp");
    const QImage picture = shownPicture();
    ASSERT_EQ(picture.size(), QSize(1024, 768));
    // The shipped frames in white, the 640 * 480 one on columns 0 and 638.
    EXPECT_EQ(picture.pixel(0, 100), qRgb(255, 255, 255));
    EXPECT_EQ(picture.pixel(638, 100), qRgb(255, 255, 255));
    EXPECT_EQ(picture.pixel(639, 100), qRgb(0, 0, 0));
    EXPECT_EQ(QGuiApplication::applicationDisplayName().toStdString(),
              QGuiApplication::applicationName().toStdString())
        << "the run gives the application no display name, which Qt would add to every title";
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(DrawRunTest, WithNothingEnabledTheDesktopIsShownAsItWas) {
    onlyFreeMessage({});
    options.freeMessage.draw = false;
    ASSERT_TRUE(run());
    EXPECT_EQ(shownPicture(), blackScreen());
    EXPECT_TRUE(fetched.empty()) << "no line is drawn, so nothing is fetched";
}

TEST_F(DrawRunTest, ItemsAreDrawnInTheUsersOrder) {
    onlyFreeMessage({"■■■■■■■■■■■■■■■■■■■■■■■■"});
    options.monitorFrame.draw = true;
    options.monitorFrame.color = 0x00FF00;
    options.drawing.drawSeq.lines = {"任意表示", "画面サイズ", "システム情報"};
    ASSERT_TRUE(run());

    QImage expected = blackScreen();
    drawTextLines(expected, options.freeMessage.input, options.freeMessage.font, 0, 0, 0);
    for (const auto [width, height] : kFixedFrameSizes)
        drawMonitorFrame(expected, width, height, sizeText(width, height),
                         options.monitorFrame.font, FrameAnchor::TopLeft, 0x00FF00);
    EXPECT_EQ(shownPicture(), expected);
}

TEST_F(DrawRunTest, SystemInformationLinesDrawTheLabelFollowedByTheValue) {
    onlyFreeMessage({});
    options.freeMessage.draw = false;
    options.line(SystemInfoLine::User).draw = true;
    options.line(SystemInfoLine::IPAddress) = {true, "IP: ", 20, 40, options.freeMessage.font};
    ASSERT_TRUE(run());

    EXPECT_EQ(fetched,
              (std::vector<std::pair<SystemInfoLine, std::string>>{
                  {SystemInfoLine::User, "zorbel"}, {SystemInfoLine::IPAddress, "192.0.2.10"}}));
    QImage expected = blackScreen();
    const auto& user = options.line(SystemInfoLine::User);
    drawTextItem(expected, user.label + "zorbel", user.font, user.left, user.top);
    drawTextItem(expected, "IP: 192.0.2.10", options.freeMessage.font, 20, 40);
    EXPECT_EQ(shownPicture(), expected);
}

TEST_F(DrawRunTest, ATrialRunRecordsItsStartingWallpaperAndALogonRunTheCurrentOne) {
    ASSERT_TRUE(run());
    std::string wallpaper;
    GetWallpaperFile(wallpaper);
    EXPECT_EQ(wallpaper, "/pictures/clean.bmp");

    // As the rotation or a program of the before list would record another wallpaper.
    (void)SetWallpaperFile("/pictures/next.bmp");
    DrawRun logon(options, true, tmpBitmap, rotation());
    logon.DrawDesktop();
    GetWallpaperFile(wallpaper);
    EXPECT_EQ(wallpaper, "/pictures/next.bmp");
    EXPECT_EQ(logon.baseWallpaper(), "/pictures/next.bmp");
}

TEST_F(DrawRunTest, AWatchsRedrawShowsTheCleanWallpaperFirstAndNeitherRotatesNorStartsTheLists) {
    rotate({{picture("a.bmp", qRgb(1, 2, 3)), true}});
    options.drawing.method.set(DrawMethod::Overwrite, true);
    addEntry(AppList::Before, "1", loggingScript("before.sh"), "", true, "0");
    redrawOnCleanWallpaper(options, tmpBitmap, rotation());
    ASSERT_EQ(desktop.wallpapers.size(), 2u);
    EXPECT_EQ(desktop.wallpapers[0].file, "/pictures/clean.bmp");
    EXPECT_TRUE(desktop.wallpapers[1].isPicture());
    EXPECT_EQ(paintIndex(), -1) << "as a new installation has it";
    EXPECT_FALSE(std::filesystem::exists(folder.file("log")));
}

TEST_F(DrawRunTest, AMissingMessageFileEndsTheRunWithItsName) {
    writeFile(tmpBitmap, "the picture of a killed run");
    onlyFreeMessage({});
    options.freeMessage.source.down = {true, false};
    options.freeMessage.file = folder.file("missing.txt");
    EXPECT_FALSE(run());
    EXPECT_EQ(runError, "ファイル " + folder.file("missing.txt") + " は開けません");
    EXPECT_TRUE(desktop.wallpapers.empty()) << "nothing is shown after the error";
    EXPECT_FALSE(std::filesystem::exists(tmpBitmap)) << "a killed run's picture is removed first";
    EXPECT_EQ(QGuiApplication::applicationDisplayName().toStdString(),
              QGuiApplication::applicationName().toStdString());
}

TEST_F(DrawRunTest, APictureThatCannotBeShownEndsTheRunWithItsName) {
    addEntry(AppList::After, "1", loggingScript("after.sh"), "", true, "0");
    desktop.wallpaperAnswer = false;
    EXPECT_FALSE(run());
    EXPECT_TRUE(runError.starts_with("ファイル " + folder.file("ZorbelPaneglyphTmp-")) &&
                runError.ends_with(".bmp を壁紙に表示できません"))
        << runError;
    EXPECT_TRUE(runPictures().empty());
    EXPECT_EQ(readFile(folder.file("log")), "") << "the after list follows a shown picture only";
}

// Runs at the same time (an autostart entry and a click, two logins) each have a picture file of
// their own, which the other neither removes nor overwrites; one a killed run left goes.
TEST_F(DrawRunTest, RunsAtTheSameTimeKeepTheirOwnPictureFiles) {
    writeFile(folder.file("ZorbelPaneglyphTmp-999999-1.bmp"), "the picture of a killed run");
    std::vector<std::string> whileBothShow;
    QImage firstKept;
    desktop.whileShowing = [&] {
        if (desktop.wallpapers.size() > 1)
            return (void)(whileBothShow = runPictures());
        const std::string mine = runPictures().at(0);
        EXPECT_TRUE(run()) << runError; // the other run, while this one's picture is shown
        firstKept.load(QString::fromStdString(mine));
    };
    ASSERT_TRUE(run()) << runError;
    EXPECT_EQ(whileBothShow.size(), 2u);
    EXPECT_EQ(firstKept.size(), QSize(1024, 768)) << "kept after the other run ended";
    EXPECT_TRUE(runPictures().empty());
}

TEST_F(DrawRunTest, SettingsThatCannotBeWrittenStillShowThePictureAndWhatFailedIsReported) {
    const std::string settings = platform::Registry::currentUser().filePath();
    std::filesystem::remove(settings);
    ASSERT_TRUE(SetWallpaperFile("/pictures/clean.bmp"));
    ::chmod(settings.c_str(), 0444); // the style values are missing and cannot be written
    EXPECT_FALSE(run());
    EXPECT_EQ(runError, "'TileWallpaper' の設定に失敗しました");
    EXPECT_EQ(desktop.wallpapers.size(), 1u) << "reported after the picture is shown";

    ::chmod(settings.c_str(), 0644);
    ASSERT_TRUE(SetWallpaperTile(false) && SetWallpaperStretch(false));
    ::chmod(settings.c_str(), 0444); // nothing needs writing any more
    EXPECT_TRUE(run()) << runError;
    EXPECT_EQ(desktop.wallpapers.size(), 2u);
    ::chmod(settings.c_str(), 0644);
}

TEST_F(DrawRunTest, ATrialRunThatCannotRecordItsStartingWallpaperAgainSaysSo) {
    ASSERT_TRUE(SetWallpaperTile(false) && SetWallpaperStretch(false));
    // A program of the before list records another wallpaper and leaves the settings read-only.
    const std::string settings = platform::Registry::currentUser().filePath();
    const std::string script = folder.file("switch.sh");
    writeFile(script, "#!/bin/sh\nsed -i 's|/pictures/clean.bmp|/pictures/next.bmp|' '" + settings +
                          "' && chmod 0444 '" + settings + "'\n");
    ::chmod(script.c_str(), 0755);
    addEntry(AppList::Before, "1", script, "", true, "0");
    EXPECT_FALSE(run());
    ::chmod(settings.c_str(), 0644);
    EXPECT_EQ(runError, "'Wallpaper' の設定に失敗しました");
    EXPECT_EQ(desktop.wallpapers.size(), 1u);
}

TEST_F(DrawRunTest, ALogonRunShowsTheNextPictureOfTheListAndATrialRunShowsItAgain) {
    const QRgb red = qRgb(255, 0, 0);
    const QRgb blue = qRgb(0, 0, 255);
    rotate({{picture("red.bmp", red), true},
            {picture("green.bmp", qRgb(0, 255, 0)), false},
            {picture("blue.bmp", blue), true}});
    const std::string converted = folder.file("ZorbelPaneglyph.bmp");
    for (const auto& [onlyDraw, colour, index] : {std::tuple(false, red, -1),
                                                  {true, red, 0},
                                                  {true, blue, 1},
                                                  {false, blue, 1},
                                                  {true, red, 0}}) {
        desktop.wallpapers.clear();
        ASSERT_TRUE(run(onlyDraw)) << runError;
        ASSERT_EQ(desktop.wallpapers.size(), 2u);
        EXPECT_EQ(desktop.wallpapers[0].file, converted)
            << "the converted picture is shown and recorded, then drawn on";
        EXPECT_EQ(desktop.wallpapers[0].style, platform::WallpaperStyle::Tile);
        EXPECT_EQ(shownPicture().pixel(501, 333), colour) << index;
        EXPECT_EQ(paintIndex(), index) << "only a logon run moves the rotation on";
    }
    EXPECT_TRUE(IsWallpaperTiled());
    EXPECT_FALSE(IsWallpaperStretched());
}

TEST_F(DrawRunTest, APictureThatCannotBeReadOrShownIsNamedAndPassedOverAndTheRunStillDraws) {
    const QRgb red = qRgb(255, 0, 0), blue = qRgb(0, 0, 255);
    const CheckListRow bad{folder.file("bad.bmp"), true}, refused{picture("blue.bmp", blue), true},
        good{picture("red.bmp", red), true};
    rotate({{good.text, false}});
    ASSERT_TRUE(run(true)) << "without a candidate the run draws on the desktop as it is";
    EXPECT_EQ(paintIndex(), -1);
    writeFile(bad.text, "BM damaged");
    desktop.whileShowing = [&] { // the desktop refuses the blue picture, converted
        const QImage shown(QString::fromStdString(folder.file("ZorbelPaneglyph.bmp")));
        desktop.wallpaperAnswer =
            desktop.wallpapers.back().isPicture() || shown.pixel(0, 0) != blue;
    };
    // From the first, from the last, and with only the two left: the shown or kept one is red.
    for (const auto& [rows, index] : {std::pair(std::vector{bad, refused, good}, 2),
                                      {{bad, refused, good}, 2},
                                      {{bad, refused}, 1}}) {
        rotate(rows);
        testing::internal::CaptureStderr();
        ASSERT_TRUE(run(true)) << runError;
        const std::string told = testing::internal::GetCapturedStderr();
        for (const std::string& named : {"ビットマップイメージが不正です (" + bad.text + ")",
                                         "ファイル " + refused.text + " を壁紙に表示できません"})
            EXPECT_NE(told.find(named), std::string::npos) << told;
        EXPECT_EQ(shownPicture().pixel(501, 333), red);
        EXPECT_EQ(paintIndex(), index);
    }
}

TEST_F(DrawRunTest, TheListsRunAroundTheDrawingAndPauseAfterStartsWithoutWaiting) {
    const std::string before = loggingScript("before.sh");
    const std::string after = loggingScript("after.sh");
    addEntry(AppList::Before, "1", before, "one \"two words\"", true, "0");
    addEntry(AppList::Before, "0", before, "skipped", true, "0");
    addEntry(AppList::Before, "1", folder.file("missing"), "", false, "7");
    addEntry(AppList::After, "1", after, "", true, "0");
    addEntry(AppList::After, "1", "/bin/true", "", false, "5");
    addEntry(AppList::After, "1", "/bin/true", "", false, "2147483647");
    ASSERT_TRUE(run());
    EXPECT_EQ(readFile(folder.file("log")), "before.sh one two words\nafter.sh \n");
    EXPECT_EQ(pauses, (std::vector<int>{5000, 999000}))
        << "no pause after a failed start; none longer than the entry editor offers";
}

// Real programs in list order: a start without waiting goes on at once, and its pause gives the
// program the time to run before the next entry.
TEST_F(DrawRunTest, BothListsStartTheirProgramsInOrderWithAndWithoutWaiting) {
    // A pause lasts until the program started without waiting has written its line, at most as
    // long as it is: a lost order still shows, and the run takes no whole seconds.
    platform::setSleeper([this](int milliseconds) {
        pauses.push_back(milliseconds);
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        while (!readFile(folder.file("log")).ends_with("-nowait.sh \n") &&
               std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    });
    for (const AppList which : {AppList::Before, AppList::After}) {
        const std::string stem = which == AppList::Before ? "before" : "after";
        addEntry(which, "1", loggingScript(stem + "-nowait.sh"), "", false, "1");
        addEntry(which, "1", loggingScript(stem + "-wait.sh"), stem, true, "0");
    }
    ASSERT_TRUE(run());
    EXPECT_EQ(readFile(folder.file("log")),
              "before-nowait.sh \nbefore-wait.sh before\nafter-nowait.sh \nafter-wait.sh after\n");
    EXPECT_EQ(pauses, (std::vector<int>{1000, 1000}));
}

TEST_F(DrawRunTest, APauseThatIsNoNumberEndsTheRun) {
    addEntry(AppList::After, "1", "/bin/true", "", false, "soon");
    EXPECT_FALSE(run());
    EXPECT_EQ(runError, "'soon' は整数ではありません ([AppExec] AEAWTNoWaitSec)");
}

} // namespace
} // namespace zbpg

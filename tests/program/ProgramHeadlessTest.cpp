// The built program without any display: a logon run shows its picture through a desktop that
// answers without one (sway's swaymsg and swaybg, stood in for) or says on standard error why
// it could not, and the settings window says clearly that it needs a display.

#include "options/OptionsStore.h"
#include "platform/store/Registry.h"
#include "support/Commands.h"
#include "support/ParamNames.h"
#include "support/SilentSocket.h"
#include "support/TestEnvironment.h"

#include <array>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace zbpg {
namespace {

namespace fs = std::filesystem;

class ProgramWithoutDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        const char* built = std::getenv("ZBPG_PROGRAM");
        ASSERT_NE(built, nullptr) << "ZBPG_PROGRAM names the built program";
        program = folder.file("ZorbelPaneglyph");
        fs::copy_file(built, program);
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        ::unsetenv("QT_QPA_PLATFORM");
        ::setenv("XDG_CONFIG_HOME", folder.file("config").c_str(), 1);
        ::setenv("XDG_CACHE_HOME", folder.file("cache").c_str(), 1);
        ::setenv("SWAYSOCK", folder.file("sway.sock").c_str(), 1); // sway answers
    }
    void TearDown() override {
        ::unsetenv("SWAYSOCK");
        ::unsetenv("XDG_CURRENT_DESKTOP");
    }

    // The picture sway was told to show (its quoted word).
    std::string keptPicture() const {
        const std::string words = swaymsg.words();
        const auto start = words.find('"') + 1;
        return start == 0 ? "" : words.substr(start, words.find('"', start) - start);
    }
    std::string standardError() const { return test::readFile(folder.file("stderr")); }

    // Runs the program with a shell only to catch its exit status and its error output.
    int run(const std::string& arguments) {
        const std::string command =
            "'" + program + "' " + arguments + " 2> '" + folder.file("stderr") + "'";
        return test::runCommand(command, 60).status;
    }

    test::TempFolder folder;
    test::SwayStandIns swaymsg{folder};
    std::string program;
};

TEST_F(ProgramWithoutDisplay, ALogonRunShowsItsPictureThroughTheDesktop) {
    EXPECT_EQ(run("-OnlyDraw"), 0) << standardError();
    ASSERT_FALSE(keptPicture().empty()) << swaymsg.words();
    EXPECT_TRUE(fs::exists(keptPicture()));
    EXPECT_FALSE(fs::exists(folder.file("ZorbelPaneglyphTmp.bmp")));
}

TEST_F(ProgramWithoutDisplay, WithoutAnyDesktopALogonRunFailsAndSaysSo) {
    ::unsetenv("SWAYSOCK");
    EXPECT_EQ(run("-OnlyDraw"), 1);
    EXPECT_NE(standardError().find("壁紙を表示できるデスクトップがありません"), std::string::npos)
        << standardError();
}

TEST_F(ProgramWithoutDisplay, TheDesktopTakenInsteadOfTheSessionsOwnIsNamed) {
    // GNOME's settings without dconf would be forgotten at exit: they cannot show anything.
    ::setenv("XDG_CURRENT_DESKTOP", "GNOME", 1);
    EXPECT_EQ(run("-OnlyDraw"), 0) << standardError();
    EXPECT_NE(standardError().find("(GNOME) の壁紙設定を使えません。壁紙は swaymsg で表示します。"),
              std::string::npos)
        << standardError();
}

TEST_F(ProgramWithoutDisplay, ALogonRunThatFailsSaysSoAndEndsInFailure) {
    test::writeFile(folder.file("cache"), ""); // no cache folder can be made: nowhere to draw
    EXPECT_EQ(run("-OnlyDraw"), 1);
    EXPECT_NE(standardError().find(folder.file("cache/ZorbelPaneglyph")), std::string::npos)
        << standardError();
    EXPECT_NE(standardError().find("を作成できません"), std::string::npos) << standardError();
}

TEST_F(ProgramWithoutDisplay, SettingsALogonRunCannotReadAreToldAndItEndsInFailure) {
    test::writeFile(folder.file("ZorbelPaneglyph.ini"), "[MonitorFrame]\nMFFont_FontColor=white\n");
    EXPECT_EQ(run("-OnlyDraw"), 1);
    EXPECT_NE(
        standardError().find("'white' は整数ではありません ([MonitorFrame] MFFont_FontColor)"),
        std::string::npos)
        << standardError();
}

TEST_F(ProgramWithoutDisplay, ReadOnlySettingsStillDrawAndWhatCannotBeRecordedIsReported) {
    const auto registry = platform::Registry::currentUser();
    const char* desktop = "Control Panel\\Desktop";
    ASSERT_TRUE(registry.writeValue(desktop, "Wallpaper", platform::RegValue::string("")));
    ::chmod(registry.filePath().c_str(), 0444); // the style values are missing
    EXPECT_EQ(run("-OnlyDraw"), 1);
    EXPECT_TRUE(fs::exists(keptPicture())) << "drawn all the same";
    EXPECT_NE(standardError().find("'TileWallpaper' の設定に失敗しました"), std::string::npos)
        << standardError();

    ::chmod(registry.filePath().c_str(), 0644);
    fs::remove(folder.file("words"));
    ASSERT_TRUE(registry.writeValue(desktop, "TileWallpaper", platform::RegValue::string("0")));
    ASSERT_TRUE(registry.writeValue(desktop, "WallpaperStyle", platform::RegValue::string("0")));
    ::chmod(registry.filePath().c_str(), 0444); // nothing needs to be written
    EXPECT_EQ(run("-OnlyDraw"), 0) << standardError();
    EXPECT_TRUE(fs::exists(keptPicture()));
}

// Two logon runs at once (an autostart entry and a click) both succeed and each move the rotation
// on.
TEST_F(ProgramWithoutDisplay, TwoLogonRunsAtOnceBothSucceedAndMoveTheRotationOnByTwo) {
    const std::string onePixel("BM\x3a\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\1\0\0\0\1\0\0\0\1\0\x18",
                               29);
    fs::create_directory(folder.file("pictures"));
    for (char shade = 0; shade < 8; ++shade) // pictures of one pixel, 24 bits
        test::writeFile(folder.file("pictures/" + std::to_string(shade) + ".bmp"),
                        onePixel + std::string(25, '\0') + std::string(3, shade) + '\0');
    TRegManager settings;
    openSettings(settings, folder.file("ZorbelPaneglyph.ini"));
    Options options = factoryOptions();
    options.wallpaper.draw = true;
    options.wallpaper.order.set(WallpaperOrder::Sequential, true);
    options.wallpaper.stat.lines = {"1"};
    options.wallpaper.file.lines = {folder.file("pictures")};
    saveOptions(settings, options);
    const std::string once = "'" + program + "' -OnlyDraw 2>> '" + folder.file("stderr") + "'";
    for (const int index : {1, 3, 5}) {
        // Neither run fails because the other runs.
        EXPECT_EQ(test::runCommand(once + " & first=$!; " + once +
                                       "; second=$?; wait $first; exit $(($? | second))",
                                   60)
                      .status,
                  0)
            << standardError();
        EXPECT_EQ(settings.ItemFiler("WPPaintIdx").ReadInteger(), index) << standardError();
    }
}

// As any failed run, with the program's own message; the file is left as it is.
TEST_F(ProgramWithoutDisplay, ARegistryFileThatCannotBeReadEndsTheLogonRunWithItsMessage) {
    const std::string registryFile = platform::Registry::currentUser().filePath();
    fs::create_directories(registryFile);
    EXPECT_EQ(run("-OnlyDraw"), 1);
    EXPECT_NE(standardError().find("ファイル " + registryFile + " は開けません"), std::string::npos)
        << standardError();
    EXPECT_TRUE(fs::is_empty(registryFile));
}

TEST_F(ProgramWithoutDisplay, TheSettingsWindowSaysItNeedsADisplay) {
    EXPECT_EQ(run(""), 1);
    EXPECT_NE(test::readFile(folder.file("stderr")).find("ディスプレイ"), std::string::npos);
}

// A display the session names that nobody answers, a compositor that never answers ("silent"),
// a platform Qt has no plugin for: the settings window and the logon run alike end with the
// program's own message, never with Qt's abort or a wait.
class UnusableDisplay : public ProgramWithoutDisplay,
                        public ::testing::WithParamInterface<std::array<const char*, 3>> {};

TEST_P(UnusableDisplay, EndsWithTheProgramsOwnMessage) {
    const auto [variable, value, told] = GetParam();
    ::unsetenv("SWAYSOCK"); // no desktop either: the logon run has nowhere to show its picture
    std::optional<test::SilentSocket> silent;
    if (value == std::string("silent"))
        silent.emplace(folder.file("wayland-0"));
    ::setenv(variable, silent ? silent->path().c_str() : value, 1);
    for (const char* arguments : {"", "-OnlyDraw"}) {
        EXPECT_EQ(run(arguments), 1);
        EXPECT_NE(standardError().find(told), std::string::npos) << standardError();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Displays, UnusableDisplay,
    ::testing::Values(std::array{"DISPLAY", ":77", "ディスプレイ :77 に接続できません。"},
                      std::array{"WAYLAND_DISPLAY", "silent", "に接続できません。"},
                      std::array{"QT_QPA_PLATFORM", "none",
                                 "ディスプレイ none に表示できません。"}),
    [](const auto& display) {
        return test::nameOf(std::string(display.param[0]) + display.param[1]);
    });

// --help and --version answer on standard output without any display, --help in the language
// of the locale that names the messages' language.
TEST_F(ProgramWithoutDisplay, AnswersHelpAndVersionAndEndsInSuccess) {
    const std::array<std::string, 3> answers[] = {
        {"", "--version -OnlyDraw", "ZorbelPaneglyph " ZBPG_VERSION "\n"},
        {"", "--help", "Usage: ZorbelPaneglyph [-OnlyDraw | -Watch | --help | --version]\n"},
        {"LANG=ja_JP.UTF-8", "--help", "使い方: ZorbelPaneglyph"},
        {"LANG=ja_JP.UTF-8 LC_ALL=C.UTF-8", "--help", "Usage: "},
        {"LANG=en_GB.UTF-8 LC_MESSAGES=ja_JP.eucJP", "--help", "使い方: "}};
    for (const auto& [locale, argument, printed] : answers) {
        const auto answer = test::runCommand("env -u LC_ALL -u LC_MESSAGES -u LANG " + locale +
                                                 " '" + program + "' " + argument + " 2>&1",
                                             60);
        EXPECT_EQ(answer.status, 0) << locale;
        EXPECT_EQ(answer.output.rfind(printed, 0), 0u) << locale << "\n" << answer.output;
    }
}

} // namespace
} // namespace zbpg

int main(int argc, char** argv) {
    zbpg::test::TestEnvironment environment;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

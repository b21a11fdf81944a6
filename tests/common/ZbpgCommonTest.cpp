#include "base/Error.h"
#include "common/zbpg_common.h"
#include "platform/store/Registry.h"
#include "support/ParamNames.h"
#include "support/RecordingDesktopService.h"
#include "support/TempFolder.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>
#include <thread>

namespace zbpg {
namespace {

TEST(ZbpgCommon, PathKindTellsFoldersFilesAndNothing) {
    test::TempFolder folder;
    test::writeFile(folder.file("a.txt"), "x");
    EXPECT_EQ(GetPathKind(folder.path()), PathKind::Folder);
    EXPECT_EQ(GetPathKind(folder.file("a.txt")), PathKind::File);
    EXPECT_EQ(GetPathKind(folder.file("missing")), PathKind::Nothing);
    EXPECT_EQ(GetPathKind(""), PathKind::Nothing);
}

TEST(ZbpgCommon, PathPartsKeepTheFinalSeparator) {
    EXPECT_EQ(ExtractFileDir("/home/u/msg.txt"), "/home/u/");
    EXPECT_EQ(ExtractFileDir("/msg.txt"), "/");
    EXPECT_EQ(ExtractFileDir("msg.txt"), "");
    EXPECT_EQ(ChangeFileExt("/opt/ZorbelPaneglyph", ".ini"), "/opt/ZorbelPaneglyph.ini");
    EXPECT_EQ(ChangeFileExt("/opt/zp.bin", ".ini"), "/opt/zp.ini");
    EXPECT_EQ(ChangeFileExt("/op.t/zp", ".ini"), "/op.t/zp.ini") << "a dot in a folder name";
}

TEST(ZbpgCommon, StartupFolderIsSeededWithTheAutostartFolderOnce) {
    const std::string autostart = std::string(std::getenv("XDG_CONFIG_HOME")) + "/autostart";
    EXPECT_EQ(GetStartupFolder(), autostart);
    const auto registry = platform::Registry::currentUser();
    const char* key = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    ASSERT_TRUE(registry.writeValue(key, "Startup", platform::RegValue::string("/elsewhere")));
    EXPECT_EQ(GetStartupFolder(), "/elsewhere") << "a value the user set is kept";
    ASSERT_TRUE(registry.writeValue(key, "Startup", platform::RegValue::string("relstart")));
    EXPECT_EQ(GetStartupFolder(), "") << "a relative folder names none";
}

} // namespace
} // namespace zbpg

namespace zbpg {
namespace {

class DesktopValues : public ::testing::Test {
protected:
    platform::Registry registry = platform::Registry::currentUser();
    const char* key = "Control Panel\\Desktop";
    void set(const char* name, const std::string& text) {
        ASSERT_TRUE(registry.writeValue(key, name, platform::RegValue::string(text)));
    }
};

TEST_F(DesktopValues, MissingValuesReadEmptyAndUntiledUnstretched) {
    std::string path = "stale";
    GetWallpaperFile(path);
    EXPECT_EQ(path, "");
    EXPECT_FALSE(IsWallpaperTiled());
    EXPECT_FALSE(IsWallpaperStretched());
}

TEST_F(DesktopValues, OnlyTheProgramsOwnTextsCountAsTiledOrStretched) {
    set("TileWallpaper", "1");
    set("WallpaperStyle", "6");
    EXPECT_TRUE(IsWallpaperTiled());
    EXPECT_FALSE(IsWallpaperStretched());
    ASSERT_TRUE(SetWallpaperStretch(true));
    EXPECT_EQ(registry.readValue(key, "WallpaperStyle")->text, "2");
    ASSERT_TRUE(SetWallpaperTile(false));
    EXPECT_EQ(registry.readValue(key, "TileWallpaper")->text, "0");
    ASSERT_TRUE(SetWallpaperFile(""));
    EXPECT_EQ(registry.readValue(key, "Wallpaper"), platform::RegValue::string(""));
}

TEST_F(DesktopValues, AValueThatHoldsNoTextIsAnError) {
    ASSERT_TRUE(registry.writeValue(key, "Wallpaper", platform::RegValue::number(3)));
    std::string path;
    try {
        GetWallpaperFile(path);
        FAIL() << "no error raised";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "'Wallpaper' のデータ型が不正です");
    }
}

TEST_F(DesktopValues, ChangeWallpaperWritesTheStyleBeforeShowing) {
    test::FakeDesktopService desktop;
    EXPECT_TRUE(ChangeWallpaper("/p/a.bmp", true, false));
    EXPECT_TRUE(IsWallpaperTiled());
    EXPECT_FALSE(IsWallpaperStretched());
    ASSERT_EQ(desktop.wallpapers.size(), 1u);
    EXPECT_EQ(desktop.wallpapers[0].file, "/p/a.bmp");
    EXPECT_EQ(desktop.wallpapers[0].style, platform::WallpaperStyle::Tile);
    std::string recorded;
    GetWallpaperFile(recorded);
    EXPECT_EQ(recorded, "/p/a.bmp");
    desktop.wallpaperAnswer = false;
    EXPECT_FALSE(ChangeWallpaper("", false, true));
    GetWallpaperFile(recorded);
    EXPECT_EQ(recorded, "/p/a.bmp") << "a file that is not shown is not recorded";

    // Shown, but not kept where the desktop reads it again: still the user's wallpaper now.
    desktop.wallpaperAnswer = true;
    desktop.whileShowing = [] { throw platform::PictureNotKept("not kept"); };
    EXPECT_THROW((void)ChangeWallpaper("/p/b.bmp", false, false), platform::PictureNotKept);
    GetWallpaperFile(recorded);
    EXPECT_EQ(recorded, "/p/b.bmp");
}

TEST_F(DesktopValues, AWallpaperChosenInTheDesktopsSettingsIsRecordedInItsStyle) {
    test::FakeDesktopService desktop;
    set("Wallpaper", "/old.bmp");
    desktop.chosen = {"/mine.jpg", platform::WallpaperStyle::Tile, std::nullopt};
    std::string path;
    GetWallpaperFile(path);
    EXPECT_EQ(path, "/mine.jpg");
    EXPECT_TRUE(IsWallpaperTiled());
    desktop.chosen = {"/zoomed.png", platform::WallpaperStyle::Stretch, std::nullopt};
    GetWallpaperFile(path);
    EXPECT_EQ(path, "/zoomed.png");
    EXPECT_FALSE(IsWallpaperTiled());
    EXPECT_TRUE(IsWallpaperStretched());
}

// "元に戻す" shows a file in the desktop's own style kept for it, until a position is chosen.
TEST_F(DesktopValues, TheDesktopsOwnStyleComesBackWithItsFileUntilAPositionIsChosen) {
    test::FakeDesktopService desktop;
    desktop.chosen = {"/mine.jpg", platform::WallpaperStyle::Cover, std::nullopt};
    std::string path;
    GetWallpaperFile(path);
    desktop.chosen.reset();
    const auto shownStyle = [&desktop](const std::string& file) {
        ShowWallpaper(file, file);
        return desktop.wallpapers.back().style;
    };
    EXPECT_EQ(shownStyle("/mine.jpg"), platform::WallpaperStyle::Cover);
    EXPECT_EQ(shownStyle("/other.jpg"), platform::WallpaperStyle::Stretch);
    set("TileWallpaper", "1");
    EXPECT_EQ(shownStyle("/mine.jpg"), platform::WallpaperStyle::Tile);
    ASSERT_TRUE(ChangeWallpaper("/mine.jpg", false, true));
    EXPECT_EQ(shownStyle("/mine.jpg"), platform::WallpaperStyle::Stretch);
}

TEST(Launcher, FolderAndCommandLineFollowTheCommand) {
    EXPECT_EQ(LaunchFolderOf("/opt/my tools/run"), "/opt/my tools");
    EXPECT_EQ(LaunchFolderOf("/run"), "/");
    EXPECT_EQ(LaunchFolderOf("run"), "");
    EXPECT_EQ(WaitCommandLine("/opt/my tools/run", "-a b"), "\"/opt/my tools/run\" -a b");
    EXPECT_EQ(WaitCommandLine("/bin/true", ""), "\"/bin/true\" ");
}

TEST(Launcher, AWaitingStartRunsInTheCommandsFolderWithItsWords) {
    test::TempFolder folder;
    ::mkdir(folder.file("my tools").c_str(), 0755);
    const std::string script = folder.file("my tools/run.sh");
    test::writeFile(script, "#!/bin/sh\necho \"$PWD|$1|$2\" > \"" + folder.file("out") + "\"\n");
    ::chmod(script.c_str(), 0755);
    EXPECT_TRUE(ExecApplication(nullptr, true, script, "first 'second word'", "", 1));
    EXPECT_EQ(test::readFile(folder.file("out")), folder.file("my tools") + "|first|second word\n");
}

TEST(Launcher, WhatCannotBeStartedFails) {
    test::TempFolder folder;
    test::writeFile(folder.file("notes.txt"), "text");
    EXPECT_FALSE(ExecApplication(nullptr, true, folder.file("notes.txt"), "", "", 1))
        << "a document cannot be waited for";
    EXPECT_FALSE(ExecApplication(nullptr, true, folder.file("missing"), "", "", 1));
    EXPECT_FALSE(ExecApplication(nullptr, false, folder.file("missing"), "", "", 1));
    EXPECT_TRUE(ExecApplication(nullptr, false, "true", "", "", 1)) << "found on PATH";
}

// A stand-in for the desktop's handler on PATH that notes where it was started and with what.
class AddressHandler : public ::testing::TestWithParam<std::pair<const char*, bool>> {
protected:
    AddressHandler() : m_path(std::getenv("PATH")) {
        ::mkdir(m_folder.file("bin").c_str(), 0755);
        const std::string handler = m_folder.file("bin/xdg-open");
        test::writeFile(handler, "#!/bin/sh\necho \"$PWD|$*\" > \"" + log() + ".part\"\nmv \"" +
                                     log() + ".part\" \"" + log() + "\"\n");
        ::chmod(handler.c_str(), 0755);
        ::setenv("PATH", (m_folder.file("bin") + ":" + m_path).c_str(), 1);
    }
    ~AddressHandler() override { ::setenv("PATH", m_path.c_str(), 1); }

    std::string log() const { return m_folder.file("opened"); }
    // What the handler noted, once it has run (it runs detached).
    std::string noted() const {
        for (int i = 0; i < 500 && !std::filesystem::exists(log()); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return test::readFile(log());
    }

private:
    test::TempFolder m_folder;
    std::string m_path;
};

TEST_P(AddressHandler, OpensOnlyAddressesWithASchemeAndInNoFolderNamedAfterThem) {
    const auto [command, isAddress] = GetParam();
    EXPECT_EQ(ExecApplication(nullptr, false, command, "", "", 1), isAddress);
    if (isAddress) {
        EXPECT_EQ(noted(), std::filesystem::current_path().string() + "|" + command + "\n");
    }
}

INSTANTIATE_TEST_SUITE_P(Commands, AddressHandler,
                         ::testing::Values(std::make_pair("https://example.org/a/page?q=1", true),
                                           std::make_pair("mailto:zorbel@example.org", true),
                                           std::make_pair("svn+ssh://example.org/repository", true),
                                           std::make_pair("C:\\Windows\\notepad.exe", false),
                                           std::make_pair("no such:document", false)),
                         [](const auto& command) { return test::nameOf(command.param.first); });

TEST(Shortcut, ADesktopEntryStartsTheTargetInItsFolder) {
    test::TempFolder folder;
    const std::string link = folder.file("autostart/ZorbelPaneglyph.desktop");
    ASSERT_TRUE(CreateShortcut(link, "/opt/50% \"odd\"/ZorbelPaneglyph", "-OnlyDraw", "",
                               "ZorbelPaneglyph"));
    EXPECT_EQ(test::readFile(link),
              "[Desktop Entry]\nType=Application\nName=ZorbelPaneglyph\nComment=ZorbelPaneglyph\n"
              "Exec=\"/opt/50%% \\\\\"odd\\\\\"/ZorbelPaneglyph\" -OnlyDraw\n"
              "Path=/opt/50% \"odd\"/\nTerminal=false\n");
}

} // namespace
} // namespace zbpg

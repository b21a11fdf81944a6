#include "common/ProgramFiles.h"

#include "platform/store/Registry.h"
#include "support/TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace zbpg {
namespace {

TEST(ProgramFiles, SettingsAndHelpSitBesideAWritableProgram) {
    test::TempFolder folder;
    const std::string program = folder.file("ZorbelPaneglyph");
    EXPECT_EQ(iniFilePathFor(program), folder.file("ZorbelPaneglyph.ini"));
    // Without pages beside the program, the shared data folder of an installation.
    EXPECT_EQ(helpFilePathFor(program),
              folder.path() + "/../share/ZorbelPaneglyph/help/index.html");
    ::mkdir(folder.file("help").c_str(), 0755);
    test::writeFile(folder.file("help/index.html"), "<html></html>");
    EXPECT_EQ(helpFilePathFor(program), folder.file("help/index.html"));
}

TEST(ProgramFiles, PicturesSitBesideAWritableProgramElseInTheCacheFolder) {
    test::TempFolder folder;
    const auto beside = ProgramFiles::forProgram(folder.file("ZorbelPaneglyph"));
    EXPECT_EQ(beside.tmpBitmapFile, folder.file("ZorbelPaneglyphTmp.bmp"));
    EXPECT_EQ(beside.wallpaperBitmapFile, folder.file("ZorbelPaneglyph.bmp"));
    EXPECT_EQ(ProgramFiles::forProgram("/opt/zp/ZorbelPaneglyph").wallpaperBitmapFile,
              std::string(std::getenv("XDG_CACHE_HOME")) + "/ZorbelPaneglyph/ZorbelPaneglyph.bmp");
}

TEST(ProgramFiles, TheMachinesSettingsSeedAnInstalledProgramsOwn) {
    test::TempFolder folder;
    const std::string name = "/ZorbelPaneglyph/ZorbelPaneglyph.ini";
    ::setenv("XDG_CONFIG_DIRS", (folder.file("site") + ":" + folder.file("vendor")).c_str(), 1);
    const auto installed = [] { return ProgramFiles::forProgram("/opt/zp/ZorbelPaneglyph"); };
    EXPECT_EQ(installed().seedIniFile, "") << "no folder of the machine holds settings";
    EXPECT_EQ(installed().iniFile,
              std::string(std::getenv("XDG_CONFIG_HOME")) + "/ZorbelPaneglyph/ZorbelPaneglyph.ini");

    for (const char* machineFolder : {"vendor", "site"}) {
        std::filesystem::create_directories(folder.file(machineFolder) + "/ZorbelPaneglyph");
        test::writeFile(folder.file(machineFolder) + name, "[Application]\n");
        EXPECT_EQ(installed().seedIniFile, folder.file(machineFolder) + name)
            << "the first folder of the list that holds them";
    }
    EXPECT_EQ(ProgramFiles::forProgram(folder.file("ZorbelPaneglyph")).seedIniFile, "")
        << "a program that keeps its settings beside itself has nothing to seed them";
}

TEST(ProgramFiles, TheStartupLinkIsADesktopEntryInTheAutostartFolder) {
    const std::string autostart = std::string(std::getenv("XDG_CONFIG_HOME")) + "/autostart";
    const auto files = ProgramFiles::forProgram("/opt/zp/ZorbelPaneglyph");
    EXPECT_EQ(files.startUpLink, autostart + "/ZorbelPaneglyph.desktop");

    // A Startup value that names no folder: there is no link, rather than one in the root.
    const auto registry = platform::Registry::currentUser();
    const char* key = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    ASSERT_TRUE(registry.writeValue(key, "Startup", platform::RegValue::number(1)));
    EXPECT_EQ(ProgramFiles::forProgram("/opt/zp/ZorbelPaneglyph").startUpLink, "");
    ASSERT_TRUE(registry.writeValue(key, "Startup", platform::RegValue::string(autostart)));
}

} // namespace
} // namespace zbpg

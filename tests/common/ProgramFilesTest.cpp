#include "common/ProgramFiles.h"

#include "platform/Registry.h"
#include "support/TempFolder.h"

#include <cstdlib>
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

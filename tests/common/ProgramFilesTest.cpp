#include "common/ProgramFiles.h"

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
    const auto files = ProgramFiles::forProgram("/opt/zp/ZorbelPaneglyph");
    EXPECT_EQ(files.startUpLink,
              std::string(std::getenv("XDG_CONFIG_HOME")) + "/autostart/ZorbelPaneglyph.desktop");
}

} // namespace
} // namespace zbpg

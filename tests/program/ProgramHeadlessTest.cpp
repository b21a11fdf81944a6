// The built program without any display: a logon run still draws into the kept picture, and the
// settings window says clearly that it needs one.

#include "platform/Processes.h"
#include "support/TempFolder.h"
#include "support/TestEnvironment.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>

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
    }

    // Runs the program with a shell only to catch its exit status and its error output.
    int run(const std::string& arguments) {
        const std::string command =
            "'" + program + "' " + arguments + " 2> '" + folder.file("stderr") + "'";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    test::TempFolder folder;
    std::string program;
};

TEST_F(ProgramWithoutDisplay, ALogonRunDrawsIntoTheKeptPicture) {
    EXPECT_EQ(run("-OnlyDraw"), 0);
    const std::string kept =
        std::string(std::getenv("XDG_CACHE_HOME")) + "/ZorbelPaneglyph/desktop.png";
    EXPECT_TRUE(fs::exists(kept));
    EXPECT_FALSE(fs::exists(folder.file("ZorbelPaneglyphTmp.bmp")));
}

TEST_F(ProgramWithoutDisplay, TheSettingsWindowSaysItNeedsADisplay) {
    EXPECT_EQ(run(""), 1);
    EXPECT_NE(test::readFile(folder.file("stderr")).find("ディスプレイ"), std::string::npos);
}

} // namespace
} // namespace zbpg

int main(int argc, char** argv) {
    zbpg::test::TempFolder home;
    zbpg::test::prepareTestEnvironment(home);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

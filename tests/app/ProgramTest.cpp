#include "app/Program.h"

#include "common/zbpg_common.h"
#include "platform/os/Processes.h"
#include "support/ProgramFilesIn.h"
#include "support/RecordingDesktopService.h"
#include "support/RecordingDialogService.h"
#include "support/RecordingMessageService.h"
#include "support/TempFolder.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace zbpg {
namespace {

TEST(StartMode, OnlyTheExactOptionsAreTakenAndAnyOtherIsRefused) {
    EXPECT_EQ(startModeOf({}), StartMode::Settings);
    EXPECT_EQ(startModeOf({"-OnlyDraw"}), StartMode::OnlyDraw);
    EXPECT_EQ(startModeOf({"-OnlyDraw", "ignored"}), StartMode::OnlyDraw);
    EXPECT_EQ(startModeOf({"-Watch", "ignored"}), StartMode::Watch);
    EXPECT_EQ(startModeOf({"-onlydraw"}), StartMode::WrongOption);
    EXPECT_EQ(startModeOf({"", "-OnlyDraw"}), StartMode::WrongOption);
    EXPECT_EQ(startModeOf({"--help", "-OnlyDraw"}), StartMode::Help);
    EXPECT_EQ(startModeOf({"--version"}), StartMode::Version);
    EXPECT_EQ(startModeOf({"-OnlyDraw", "--help"}), StartMode::OnlyDraw);
    for (const char* nearly : {"--Help", "-help", "-h", "--version=1", "-OnlyDraw "})
        EXPECT_EQ(startModeOf({nearly}), StartMode::WrongOption) << nearly;
}

// A start without the window, on a 1024 by 768 screen, with its pauses recorded.
class WithoutWindow : public ::testing::Test {
protected:
    WithoutWindow() {
        platform::setSleeper([this](int milliseconds) { pauses.push_back(milliseconds); });
    }
    ~WithoutWindow() override { platform::setSleeper({}); }

    ProgramFiles files() const { return test::programFilesIn(folder); }
    void store(const std::string& text) { test::writeFile(files().iniFile, text); }

    test::TempFolder folder;
    test::RecordingMessageService messages;
    test::FakeDesktopService desktop{1024, 768};
    std::vector<int> pauses;
};

TEST_F(WithoutWindow, TheLogonRunWaitsTheStoredSecondsThenDrawsOnce) {
    store("[Application]\nStartUpWaitSec=5\n");
    EXPECT_TRUE(runWithoutWindow(StartMode::OnlyDraw, files()));
    EXPECT_EQ(pauses, std::vector<int>{5000});
    ASSERT_EQ(desktop.wallpapers.size(), 1u);
    EXPECT_TRUE(desktop.wallpapers[0].isPicture());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(WithoutWindow, AWrongOptionIsRefusedWithoutDrawing) {
    EXPECT_TRUE(runWithoutWindow(StartMode::WrongOption, files()));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0], (platform::MessageRequest{
                                     "ZorbelPaneglyph", "起動オプションが違います。",
                                     platform::MessageIcon::Error, platform::MessageButtons::Ok}));
    EXPECT_TRUE(desktop.wallpapers.empty());
}

TEST_F(WithoutWindow, SettingsThatCannotBeReadAreLoggedAndLeaveTheBoxToTheWindow) {
    store("[MonitorFrame]\nMFFont_FontColor=white\n");
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(runWithoutWindow(StartMode::OnlyDraw, files()));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "ZorbelPaneglyph: 'white' は整数ではありません ([MonitorFrame] MFFont_FontColor)\n");
    EXPECT_TRUE(messages.shown.empty()) << "the window reads the file again and reports it once";
    EXPECT_TRUE(desktop.wallpapers.empty());
}

TEST_F(WithoutWindow, AFailedRunIsReportedAndTheWindowIsToBeShown) {
    store("[FreeMessage]\nFreeMessageDraw=1\nFMCheckFile=1\nFMCheckInput=0\nFMFile=" +
          folder.file("missing") + "\n");
    EXPECT_FALSE(runWithoutWindow(StartMode::OnlyDraw, files()));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "ファイル " + folder.file("missing") + " は開けません.");

    // With a display the box is for the user; standard error keeps it for the session's log,
    // written before the box waits for someone to close it (nobody may, at an unattended logon).
    const std::string platformName = std::getenv("QT_QPA_PLATFORM");
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    std::string loggedBeforeTheBox;
    messages.whileShowing = [&] { loggedBeforeTheBox = ::testing::internal::GetCapturedStderr(); };
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(runWithoutWindow(StartMode::OnlyDraw, files()));
    ::setenv("QT_QPA_PLATFORM", platformName.c_str(), 1);
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(loggedBeforeTheBox,
              "ZorbelPaneglyph: ファイル " + folder.file("missing") + " は開けません\n");
}

} // namespace
} // namespace zbpg

#include "app/Application.h"

#include "app/Program.h"
#include "common/Error.h"
#include "support/RecordingMessageService.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QEvent>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace zbpg {
namespace {

// An object whose every event handler fails, as a handler with a bad settings file might.
class FailingObject final : public QObject {
public:
    bool event(QEvent*) override { throw Error("ファイル x は開けません"); }
};

TEST(Application, AnErrorLeavingAHandlerIsReportedAndTheProgramGoesOn) {
    test::RecordingMessageService messages;
    FailingObject failing;
    QEvent event(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&failing, &event));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0], (platform::MessageRequest{
                                     "ZorbelPaneglyph", "ファイル x は開けません.",
                                     platform::MessageIcon::Error, platform::MessageButtons::Ok}));
    QEvent again(QEvent::User);
    QCoreApplication::sendEvent(&failing, &again);
    EXPECT_EQ(messages.shown.size(), 2u);
}

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

int main(int argc, char** argv) {
    zbpg::test::TempFolder home;
    zbpg::test::prepareTestEnvironment(home);
    zbpg::Application application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

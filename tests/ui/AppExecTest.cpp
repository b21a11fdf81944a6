#include "ui/AppExec.h"

#include "controls/DROPDST.h"
#include "controls/PanelEx.h"
#include "options/OptionsStore.h"
#include "support/Controls.h"
#include "support/RecordingDialogService.h"
#include "support/RecordingMessageService.h"
#include "support/TempFolder.h"
#include "text/Texts.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <gtest/gtest.h>

namespace zbpg {
namespace {

// The entry editor at (200, 150), its choosers and message boxes recorded; run() opens it and
// takes the steps, which close it by its buttons.
class AppEntryDialogTest : public ::testing::Test {
protected:
    AppEntryDialogTest() {
        openSettings(settings, folder.file("ZorbelPaneglyph.ini"));
        dialog.move(200, 150);
    }
    template <typename Control> Control& find(const char* name) {
        return test::control<Control>(dialog, name);
    }
    bool run(std::function<void()> steps) {
        dialog.OnShowModal = [steps](TFormAppExecEnt&) { steps(); };
        return dialog.ShowModal();
    }
    std::string text(const char* field) { return find<QLineEdit>(field).text().toStdString(); }

    test::TempFolder folder;
    test::RecordingMessageService messages;
    test::RecordingDialogService dialogs;
    TRegManager settings;
    TFormAppExecEnt dialog{settings};
};

TEST_F(AppEntryDialogTest, AnEmptyCommandIsRefusedWithTheFocusInItsFieldAndCancelAlwaysCloses) {
    EXPECT_FALSE(run([&] {
        find<QLineEdit>("EditAECmdParam").setFocus();
        find<QPushButton>("ButtonOK").click();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.focusWidget(), &find<QLineEdit>("EditAECmd"));
        find<QPushButton>("ButtonCancel").click();
    }));
    EXPECT_EQ(messages.shown, (std::vector<platform::MessageRequest>{
                                  {texts::kProgramName, texts::kCommandRequired,
                                   platform::MessageIcon::Error, platform::MessageButtons::Ok}}));
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(AppEntryDialogTest, ThePauseIsOfferedOnlyWithoutWaitingAndStopsAt999) {
    const auto pauseEnabled = [this] { return find<TPanelEx>("PanelExAEWTNW").Enabled(); };
    dialog.setEntry({"cmd", "", "", true, false, false, false, true, 5000});
    (void)run([&] {
        EXPECT_TRUE(pauseEnabled());
        find<QRadioButton>("RadioButtonAEWTWait").click();
        EXPECT_FALSE(pauseEnabled());
        find<QRadioButton>("RadioButtonAEWTNoWait").click();
        EXPECT_TRUE(pauseEnabled());
    });
    EXPECT_EQ(dialog.entry().waitSeconds, 999);
    // Each button is set on its own: a later one on wins, and with none on none is checked.
    dialog.setEntry({"cmd", "", "", true, true, false, false, false, 0});
    EXPECT_EQ(dialog.entry(), (AppEntry{"cmd", "", "", false, true, false, false, false, 0}));
}

TEST_F(AppEntryDialogTest, TheChoosersStartInTheRememberedFoldersAndRememberTheChosenOnes) {
    settings.ItemFiler("AEECmdDir").WriteString(folder.path() + "/");
    dialogs.fileAnswers.push_back(platform::FileDialogResult{{folder.file("tool")}, 1});
    dialogs.folderAnswers.push_back(folder.path());
    (void)run([&] {
        find<QToolButton>("SpeedButtonAECmd").click();
        EXPECT_EQ(dialogs.placedAt, std::make_pair(200, 150 + titleButtonHeight() + 1));
        find<QToolButton>("SpeedButtonAETmpDir").click();
    });
    EXPECT_EQ(dialogs.fileRequests.at(0).initialFolder, folder.path() + "/");
    EXPECT_EQ(dialogs.folderRequests.at(0).initialFolder, "/") << "no folder remembered yet";
    EXPECT_EQ(text("EditAECmd"), folder.file("tool"));
    EXPECT_EQ(text("EditAETmpDir"), folder.path());
    EXPECT_EQ(settings.ItemFiler("AEECmdDir").ReadString(), folder.path() + "/");
    EXPECT_EQ(settings.ItemFiler("AEETmpDir").ReadString(), folder.path());
}

TEST_F(AppEntryDialogTest, AFileDroppedAsWorkingFolderGivesItsFolder) {
    test::writeFile(folder.file("notes.txt"), "");
    auto& drop = find<TDropDst>("DropDstAETmpDir");
    for (const auto& [dropped, shown] : std::vector<std::pair<std::string, std::string>>{
             {folder.file("notes.txt"), folder.path()},
             {folder.path(), folder.path()},
             {folder.file("gone/file"), folder.file("gone/file")}}) {
        drop.OnFileDrop(&drop, {dropped, "/other"}, 0, 0);
        EXPECT_EQ(text("EditAETmpDir"), shown) << dropped;
    }
}

} // namespace
} // namespace zbpg

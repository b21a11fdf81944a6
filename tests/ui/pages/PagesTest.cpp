#include "controls/CoupleLb.h"
#include "controls/DROPDST.h"
#include "controls/EditUpDown.h"
#include "controls/GradBox.h"
#include "controls/OpenDialogEx.h"
#include "options/OptionsStore.h"
#include "support/Controls.h"
#include "support/RecordingDialogService.h"
#include "support/RecordingMessageService.h"
#include "support/TempFolder.h"
#include "ui/FontButton.h"
#include "ui/Wallpaper.h"
#include "ui/pages/FreeMessagePage.h"
#include "ui/pages/MonitorFramePage.h"
#include "ui/pages/SetEnvPage.h"
#include "ui/pages/SysInfoPage.h"
#include "ui/pages/VersionPage.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <gtest/gtest.h>

namespace zbpg {
namespace {

using test::control;

// A page on a 1024 by 768 screen, showing the factory options with its rules applied, and
// counting the changes it reports.
template <typename Page> class PageTest : public ::testing::Test {
protected:
    template <typename... Arguments> void open(Arguments&&... arguments) {
        page = std::make_unique<Page>(std::forward<Arguments>(arguments)...);
        page->showOptions(factoryOptions());
        QObject::connect(page.get(), &SettingsPage::changed, [this] { ++changes; });
    }
    template <typename Control> Control& find(const char* name) {
        return control<Control>(*page, name);
    }
    Options taken() const {
        Options options = factoryOptions();
        page->takeOptions(options);
        return options;
    }
    // Every control of the page but the given ones.
    std::vector<QWidget*> controlsExcept(std::initializer_list<QWidget*> except) const {
        std::vector<QWidget*> controls;
        for (auto* child : page->template findChildren<QWidget*>()) {
            const bool control = qobject_cast<QAbstractButton*>(child) ||
                                 qobject_cast<QLineEdit*>(child) ||
                                 qobject_cast<QPlainTextEdit*>(child);
            // The line edit inside a numeric field follows the field.
            if (control && std::find(except.begin(), except.end(), child) == except.end() &&
                !qobject_cast<QLineEdit*>(child->parentWidget()))
                controls.push_back(child);
        }
        return controls;
    }

    test::TempFolder folder;
    test::RecordingMessageService messages;
    test::RecordingDialogService dialogs;
    test::FakeDesktopService desktop{1024, 768};
    TFormWallpaper picker;
    std::unique_ptr<Page> page;
    int changes = 0;
};

// ---- 設定 ---------------------------------------------------------------------------------

class SetEnvPageTest : public PageTest<SetEnvPage> {
protected:
    SetEnvPageTest() { open(folder.file("autostart/ZorbelPaneglyph.desktop"), "/opt/zp dir/zp"); }
    std::vector<std::string> sequence() const { return taken().drawing.drawSeq.lines; }
};

TEST_F(SetEnvPageTest, DrawSequenceMovesTheSelectedRowAndTheSelectionWithIt) {
    auto& list = find<QListWidget>("ListBoxDrawSeq");
    list.setCurrentRow(2);
    EXPECT_EQ(changes, 0) << "selecting a row is no change";
    find<QToolButton>("SpeedButtonDSDown").click();
    EXPECT_EQ(changes, 0) << "the last row cannot move down";
    find<QToolButton>("SpeedButtonDSUp").click();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(sequence(), (std::vector<std::string>{"画面サイズ", "任意表示", "システム情報"}));
    EXPECT_EQ(list.currentRow(), 1);
    EXPECT_EQ(list.item(1)->text(), "任意表示");
    list.clearSelection();
    find<QToolButton>("SpeedButtonDSUp").click();
    EXPECT_EQ(sequence()[0], "画面サイズ") << "no selection, no move";
}

TEST_F(SetEnvPageTest, TheStartUpWaitHasNoChangeEventAndStopsAt999) {
    auto& wait = find<TEditUpDown>("EditUpDownStartUp");
    wait.SetPosition(5000);
    EXPECT_EQ(taken().drawing.startUpWaitSec, 999);
    EXPECT_EQ(changes, 0);
    find<QRadioButton>("RadioButtonRewrite").click();
    EXPECT_EQ(changes, 1);
}

TEST_F(SetEnvPageTest, TheStartUpButtonRegistersAndRemovesTheShortcut) {
    auto& button = find<QToolButton>("SpeedButtonStartUp");
    EXPECT_FALSE(page->UpdateStartUpButton());
    button.click();
    const std::string link = folder.file("autostart/ZorbelPaneglyph.desktop");
    EXPECT_EQ(test::readFile(link), "[Desktop Entry]\nType=Application\nName=ZorbelPaneglyph\n"
                                    "Comment=ZorbelPaneglyph\n"
                                    "Exec=\"/opt/zp dir/zp\" -OnlyDraw\n"
                                    "Path=/opt/zp dir\nTerminal=false\n");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "『ZorbelPaneglyph』をスタートアップに登録しました。");
    EXPECT_EQ(messages.shown[0].icon, platform::MessageIcon::Information);
    EXPECT_EQ(button.text(), "解除");
    EXPECT_EQ(changes, 0) << "the registration is no setting";

    button.click();
    EXPECT_FALSE(std::filesystem::exists(link));
    EXPECT_EQ(messages.shown.back().text, "『ZorbelPaneglyph』をスタートアップから削除しました。");
    EXPECT_EQ(button.text(), "登録");
}

TEST_F(SetEnvPageTest, AShortcutThatCannotBeWrittenIsReported) {
    test::writeFile(folder.file("autostart"), "a file where the folder should be");
    find<QToolButton>("SpeedButtonStartUp").click();
    open("", "/opt/zp dir/zp"); // no Startup folder at all
    find<QToolButton>("SpeedButtonStartUp").click();
    ASSERT_EQ(messages.shown.size(), 2u);
    for (const auto& shown : messages.shown) {
        EXPECT_EQ(shown.text, "『ZorbelPaneglyph』をスタートアップに登録できませんでした。");
        EXPECT_EQ(shown.icon, platform::MessageIcon::Error);
    }
    EXPECT_EQ(find<QToolButton>("SpeedButtonStartUp").text(), "登録");
}

// ---- 画面サイズ -------------------------------------------------------------------------------

class MonitorFramePageTest : public PageTest<MonitorFramePage> {
protected:
    MonitorFramePageTest() {
        open();
        page->applyScreenBounds({1024, 768});
        page->CheckBoxMonitorFrameClick();
        changes = 0;
    }
};

TEST_F(MonitorFramePageTest, TheCheckBoxEnablesThePageAndTheFreeSizeOnlyWhenChosen) {
    auto& frames = find<QCheckBox>("CheckBoxMonitorFrame");
    frames.setChecked(false);
    for (auto* control : controlsExcept({&frames}))
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    frames.setChecked(true);
    EXPECT_TRUE(find<QCheckBox>("CheckBoxSZ1").isEnabled());
    EXPECT_FALSE(find<TEditUpDown>("EditUpDownSZWidth").isEnabled()) << "free size is off";
    find<QCheckBox>("CheckBoxSZFree").setChecked(true);
    EXPECT_TRUE(find<TEditUpDown>("EditUpDownSZWidth").isEnabled());
    EXPECT_TRUE(find<QLineEdit>("EditCmnt").isEnabled());
}

TEST_F(MonitorFramePageTest, TheFreeSizeIsBoundedByTheScreenAndItsRuleMarksNothing) {
    auto& width = find<TEditUpDown>("EditUpDownSZWidth");
    width.SetPosition(5000);
    EXPECT_EQ(width.Position(), 1023);
    EXPECT_EQ(find<TEditUpDown>("EditUpDownSZHeight").Max(), 767);
    changes = 0;
    page->CheckBoxSZFreeClick();
    EXPECT_EQ(changes, 0);
    find<QToolButton>("SpeedButtonMFPc").click();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(taken().monitorFrame.frameAnchor(), FrameAnchor::Center);
    page->showScreenSize({1280, 800});
    EXPECT_EQ(find<TCoupleLabel>("CoupleLabelNowSize").Text(), "1280 * 800");
}

TEST_F(MonitorFramePageTest, TheFontButtonRunsTheDialogAndMarksEvenWhenCancelled) {
    auto& font = find<FontButton>("SpeedButtonMFFont");
    font.click();
    ASSERT_EQ(dialogs.fontRequests.size(), 1u);
    EXPECT_EQ(dialogs.fontRequests[0], factoryOptions().monitorFrame.font);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(taken().monitorFrame.font, factoryOptions().monitorFrame.font);

    const FontDescription chosen{"IPAPGothic", -24, 0x0000FF, kFontItalic, 128};
    dialogs.fontAnswers.push_back(chosen);
    font.click();
    EXPECT_EQ(taken().monitorFrame.font, chosen);
}

// ---- システム情報 ---------------------------------------------------------------------------

class SysInfoPageTest : public PageTest<SysInfoPage> {
protected:
    SysInfoPageTest() { open(picker); }
};

TEST_F(SysInfoPageTest, EachLineEnablesItsOwnControls) {
    find<QCheckBox>("CheckBoxSIComp").setChecked(false);
    EXPECT_FALSE(find<QLineEdit>("EditSICompLabel").isEnabled());
    EXPECT_FALSE(find<TEditUpDown>("EditUpDownSICompTop").isEnabled());
    EXPECT_TRUE(find<QLineEdit>("EditSIUserLabel").isEnabled());
    EXPECT_EQ(find<TEditUpDown>("EditUpDownSICompLeft").Max(), 1023);
    find<QCheckBox>("CheckBoxSIComp").setChecked(true);
    EXPECT_TRUE(find<FontButton>("SpeedButtonSICompFont").isEnabled());
    EXPECT_EQ(changes, 2);
}

// ---- 任意表示 ----------------------------------------------------------------------------------

class FreeMessagePageTest : public PageTest<FreeMessagePage> {
protected:
    FreeMessagePageTest() {
        openSettings(settings, folder.file("ZorbelPaneglyph.ini"));
        open(settings, openDialog, picker);
        page->CheckBoxFreeMessageClick();
        changes = 0;
    }

    // The file field and its chooser in use.
    void chooseFile() {
        find<QCheckBox>("CheckBoxFreeMessage").setChecked(true);
        find<QRadioButton>("RadioButtonFMFile").setChecked(true);
        changes = 0;
    }

    TRegManager settings;
    TOpenDialogEx openDialog;
};

TEST_F(FreeMessagePageTest, TheCheckBoxEnablesTheFileOrTheTypedLinesAsChosen) {
    auto& message = find<QCheckBox>("CheckBoxFreeMessage");
    EXPECT_FALSE(find<QPlainTextEdit>("MemoFMInput").isEnabled());
    message.setChecked(true);
    EXPECT_TRUE(find<QPlainTextEdit>("MemoFMInput").isEnabled());
    EXPECT_FALSE(find<QLineEdit>("EditFMFile").isEnabled()) << "\"直接入力する\" is chosen";
    EXPECT_TRUE(find<TEditUpDown>("EditUpDownFMLeft").isEnabled());
    find<QRadioButton>("RadioButtonFMFile").setChecked(true);
    EXPECT_TRUE(find<QLineEdit>("EditFMFile").isEnabled());
    EXPECT_FALSE(find<QPlainTextEdit>("MemoFMInput").isEnabled());
    message.setChecked(false);
    for (auto* control : controlsExcept({&message}))
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
}

TEST_F(FreeMessagePageTest, TypedLinesKeepEmptyAndBlankLines) {
    find<QPlainTextEdit>("MemoFMInput").setPlainText("a\n\n  c  ");
    EXPECT_EQ(taken().freeMessage.input, (std::vector<std::string>{"a", "", "  c  "}));
    Options shown = factoryOptions();
    shown.freeMessage.input = {"a", "", ""};
    page->showOptions(shown);
    EXPECT_EQ(taken().freeMessage.input, shown.freeMessage.input);
}

TEST_F(FreeMessagePageTest, TheFileChooserStartsInTheRememberedFolderAndRemembersTheNewOne) {
    std::filesystem::create_directories(folder.file("texts"));
    settings.ItemFiler("FMFileDir").WriteString(folder.file("texts/"));
    dialogs.fileAnswers.push_back(platform::FileDialogResult{{folder.file("texts/msg.txt")}, 1});
    chooseFile();
    find<QToolButton>("SpeedButtonFMFileOpen").click();
    ASSERT_EQ(dialogs.fileRequests.size(), 1u);
    const auto& request = dialogs.fileRequests[0];
    EXPECT_EQ(request.initialFolder, folder.file("texts/"));
    ASSERT_EQ(request.filters.size(), 1u);
    EXPECT_EQ(request.filters[0].patterns, "*.*");
    EXPECT_FALSE(request.multiSelect);
    EXPECT_EQ(taken().freeMessage.file, folder.file("texts/msg.txt"));
    EXPECT_EQ(settings.ItemFiler("FMFileDir").ReadString(), folder.file("texts/"));
    EXPECT_EQ(changes, 1);
}

TEST_F(FreeMessagePageTest, AMissingRememberedFolderAndACancelChangeNothing) {
    settings.ItemFiler("FMFileDir").WriteString(folder.file("gone/"));
    chooseFile();
    find<QToolButton>("SpeedButtonFMFileOpen").click();
    ASSERT_EQ(dialogs.fileRequests.size(), 1u);
    EXPECT_EQ(dialogs.fileRequests[0].initialFolder, "");
    EXPECT_EQ(taken().freeMessage.file, "");
    EXPECT_EQ(settings.ItemFiler("FMFileDir").ReadString(), folder.file("gone/"));
    EXPECT_EQ(changes, 0);
}

TEST_F(FreeMessagePageTest, ADropOnTheFileFieldTakesTheFirstName) {
    auto& drop = find<TDropDst>("DropDstFreeFile");
    drop.OnFileDrop(&drop, {"/a/first.txt", "/b/second.txt"}, 3, 4);
    EXPECT_EQ(taken().freeMessage.file, "/a/first.txt");
}

// ---- バージョン情報 -----------------------------------------------------------------------------

class VersionPageTest : public PageTest<VersionPage> {
protected:
    VersionPageTest() { open(); }
};

TEST_F(VersionPageTest, TheGradientTurnsAfterAPauseAndRestartsWhenShownAgain) {
    auto& box = find<TGradBox>("GradBoxVersion");
    auto& timer = find<QTimer>("TimerVersion");
    page->pageShown();
    EXPECT_EQ(box.GradStyle(), gsNone);
    EXPECT_EQ(timer.interval(), 3000);
    for (TGradStyle style : {gsTopBottom, gsRightLeft, gsBottomTop, gsLeftRight, gsTopBottom}) {
        page->TimerVersionTimer();
        EXPECT_EQ(box.GradStyle(), style);
    }
    EXPECT_EQ(timer.interval(), 1000);
    page->pageHidden();
    EXPECT_TRUE(timer.isActive()) << "the timer is never stopped";
    page->pageShown();
    EXPECT_EQ(box.GradStyle(), gsNone);
}

} // namespace
} // namespace zbpg

#include "controls/CoupleLb.h"
#include "controls/DROPDST.h"
#include "controls/EditUpDown.h"
#include "controls/GradBox.h"
#include "controls/OpenDialogEx.h"
#include "controls/SHBFFEX.h"
#include "options/OptionsStore.h"
#include "support/Controls.h"
#include "support/ParamNames.h"
#include "support/RecordingDesktopService.h"
#include "support/RecordingDialogService.h"
#include "support/RecordingMessageService.h"
#include "support/TempFolder.h"
#include "ui/FontButton.h"
#include "ui/PositionPickerWindow.h"
#include "ui/pages/FreeMessagePage.h"
#include "ui/pages/MonitorFramePage.h"
#include "ui/pages/SetEnvPage.h"
#include "ui/pages/SysInfoPage.h"
#include "ui/pages/VersionPage.h"
#include "ui/pages/WallpaperPage.h"

#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

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

// ---- 壁紙設定 ----------------------------------------------------------------------------------

class WallpaperPageTest : public PageTest<WallpaperPage> {
protected:
    WallpaperPageTest() {
        openSettings(settings, folder.file("ZorbelPaneglyph.ini"));
        open(settings, openDialog, folderDialog);
        std::filesystem::create_directories(folder.file("pics"));
        test::writeFile(folder.file("notes.txt"), "");
    }
    // Rows such as "+a -b" (a checked, b not), the row given selected.
    void showList(const std::string& rows, int selected) {
        Options options = factoryOptions();
        std::istringstream words(rows);
        for (std::string word; words >> word;) {
            options.wallpaper.rows.push_back({word.substr(1), word[0] == '+'});
            options.wallpaper.stat.lines.push_back(word[0] == '+' ? "1" : "0");
            options.wallpaper.file.lines.push_back(word.substr(1));
        }
        page->showOptions(options);
        list().setCurrentRow(selected);
        changes = 0;
    }
    QListWidget& list() { return find<QListWidget>("CheckListBoxWPList"); }
    // The rows as showList takes them, once the hidden lists are found to say the same.
    std::string shown() const {
        const WallpaperOptions shown = taken().wallpaper;
        std::string rows, hidden;
        for (const CheckListRow& row : shown.rows)
            rows += (row.checked ? " +" : " -") + row.text;
        for (std::size_t i = 0; i < std::max(shown.stat.lines.size(), shown.file.lines.size()); ++i)
            hidden += (shown.stat.lines.at(i) == "1" ? " +" : " -") + shown.file.lines.at(i);
        EXPECT_EQ(hidden, rows);
        return rows.empty() ? rows : rows.substr(1);
    }
    std::string setting(const char* item) { return settings.ItemFiler(item).ReadString(); }

    TRegManager settings;
    TOpenDialogEx openDialog;
    TSHBrowseForFolderEx folderDialog;
};

// "キャンセル(&C)" does nothing; the chooser starts in the remembered folder only while it is
// one; the chosen folder is remembered as it came back.
class WallpaperFolderChooserTest : public WallpaperPageTest,
                                   public ::testing::WithParamInterface<const char*> {};

TEST_P(WallpaperFolderChooserTest, StartsInTheRememberedFolderOnlyWhileItIsOne) {
    const std::string stored = *GetParam() != 0 ? folder.file(GetParam()) : "";
    settings.ItemFiler("WPFileDir").WriteString(stored);
    dialogs.folderAnswers.push_back(folder.file("new"));
    for (const char* item : {"PMCancel", "PMFolderSelect"})
        find<QAction>(item).trigger();
    const auto& request = dialogs.folderRequests.at(0);
    EXPECT_EQ(request.initialFolder, stored.ends_with("pics") ? stored : "/");
    EXPECT_EQ(request.caption, "フォルダを選択してください");
    EXPECT_EQ(shown(), "+" + folder.file("new"));
    EXPECT_EQ(setting("WPFileDir"), folder.file("new"));
    EXPECT_EQ(changes, 1);
}

INSTANTIATE_TEST_SUITE_P(RememberedFolders, WallpaperFolderChooserTest,
                         ::testing::Values("", "gone", "notes.txt", "pics"),
                         [](const auto& stored) { return test::nameOf(stored.param); });

TEST_F(WallpaperPageTest, TheFileChooserAddsThePicturesAndRemembersFolderAndFilter) {
    settings.ItemFiler("WPFileDir").WriteString(folder.path());
    settings.ItemFiler("WPFilterIdx").WriteInteger(3);
    dialogs.fileAnswers.push_back(
        platform::FileDialogResult{{"/x/a.txt", "/x/b.Jpeg", "/c.bmp"}, 2});
    find<QAction>("PMFileSelect").trigger();
    const auto& request = dialogs.fileRequests.at(0);
    EXPECT_EQ(std::tuple(request.initialFolder, request.filterIndex, request.multiSelect),
              std::tuple(folder.path(), 3, true));
    EXPECT_EQ(openDialog.Filter,
              "ビットマップファイル(*.bmp)|*.bmp|JPEGファイル(*.jpg;*.jpe;*.jpeg)|"
              "*.jpg;*.jpe;*.jpeg|画像ファイル(*.bmp;*.jpg;*.jpe;*.jpeg)|"
              "*.bmp;*.jpg;*.jpe;*.jpeg|すべてのファイル(*.*)|*.*");
    EXPECT_EQ(shown(), "+/x/b.Jpeg +/c.bmp");
    EXPECT_EQ(setting("WPFileDir"), "/x/"); // though a.txt was left out
    EXPECT_EQ(setting("WPFilterIdx"), "2");
    EXPECT_EQ(changes, 1);
}

// By the button ("SpeedButton" + edit) or the list's menu ("PM" + edit): the rows and the
// selected row before and after, and the changes marked.
using ListEdit = std::tuple<std::string, const char*, int, const char*, int, int>;
class WallpaperListEditTest : public WallpaperPageTest,
                              public ::testing::WithParamInterface<std::tuple<ListEdit, bool>> {};

TEST_P(WallpaperListEditTest, ChangesAllThreeListsAndMarksOnlyAChange) {
    const auto& [edit, before, selected, after, selectedAfter, marks] = std::get<0>(GetParam());
    showList(before, selected);
    if (std::get<1>(GetParam()))
        find<QAction>(("PM" + edit).c_str()).trigger();
    else
        find<QToolButton>(("SpeedButton" + edit).c_str()).click();
    const auto chosen = list().selectedItems();
    EXPECT_EQ(std::tuple(shown(), chosen.isEmpty() ? -1 : list().row(chosen[0]), changes),
              std::tuple(after, selectedAfter, marks));
}

// The edit, whether it changes the list, and by button or menu.
std::string listEditName(const ::testing::TestParamInfo<std::tuple<ListEdit, bool>>& edit) {
    const std::string& name = std::get<0>(std::get<0>(edit.param));
    const int marks = std::get<5>(std::get<0>(edit.param));
    return name + (marks != 0 ? "Changed" : "Unchanged") +
           (std::get<1>(edit.param) ? "ByMenu" : "ByButton");
}

INSTANTIATE_TEST_SUITE_P(
    ButtonsAndMenu, WallpaperListEditTest,
    ::testing::Combine(::testing::Values(ListEdit{"WPUp", "+a -b", 0, "+a -b", 0, 0},
                                         ListEdit{"WPUp", "-a +b +c", 1, "+b -a +c", 0, 1},
                                         ListEdit{"WPDown", "+a -b", 1, "+a -b", 1, 0},
                                         ListEdit{"WPDown", "+a -b +c", 1, "+a +c -b", 2, 1},
                                         ListEdit{"WPDel", "+a -b", -1, "+a -b", -1, 0},
                                         ListEdit{"WPDel", "+a -b +c", 1, "+a +c", 1, 1},
                                         ListEdit{"WPAllDel", "+a -b", 0, "", -1, 1},
                                         ListEdit{"WPAllOn", "+a +b", 0, "+a +b", 0, 0},
                                         ListEdit{"WPAllOn", "-a +b", 0, "+a +b", 0, 1},
                                         ListEdit{"WPAllOff", "-a +b", 1, "-a -b", 1, 1}),
                       ::testing::Bool()),
    listEditName);

// A file line without a row (a hand-edited file) is dropped at the first edit, so that an added
// row is not read back as that line.
TEST_F(WallpaperPageTest, ToggledMovedAndDroppedRowsSurviveASaveAndLoad) {
    showList("+a -b", -1);
    Options stored = taken();
    stored.wallpaper.file.lines.push_back("/orphan");
    page->showOptions(stored);
    list().setCurrentRow(1);
    QTest::keyClick(&list(), Qt::Key_Space);
    find<QToolButton>("SpeedButtonWPUp").click();
    const std::vector<std::string> dropped{folder.file("pics"), "/b.JPG", folder.file("notes.txt")};
    find<TDropDst>("DropDstWallpaper").OnFileDrop(nullptr, dropped, 0, 0);
    EXPECT_EQ(changes, 3);
    const std::string edited = "+b +a +" + folder.file("pics") + " +/b.JPG";
    EXPECT_EQ(shown(), edited);
    saveOptions(settings, taken());
    EXPECT_TRUE(loadOptions(settings, stored = factoryOptions(), {}).empty());
    page->showOptions(stored);
    EXPECT_EQ(shown(), edited);
}

TEST_F(WallpaperPageTest, TheDisplayPropertiesButtonOpensTheDesktopsDisplaySettings) {
    find<QToolButton>("SpeedButtonProperty").click();
    EXPECT_EQ(desktop.displaySettingsOpened, 1);
    EXPECT_EQ(changes, 0);
}

TEST_F(WallpaperPageTest, TheMenusHoldTheirItemsInOrderAndOpenWhereAsked) {
    std::string items;
    for (const char* menu : {"PopupMenuWPList", "PopupMenuWallpaper"})
        for (const QAction* item : find<QMenu>(menu).actions())
            items += (item->isSeparator() ? "-" : item->text().toStdString()) + "|";
    EXPECT_EQ(items, "開く(&O)...|削除(&D)|全て削除(&A)|-|全てON(&S)|全てOFF(&U)|-|上に移動(&F)|"
                     "下に移動(&B)|フォルダ選択(&D)...|ファイル選択(&F)...|キャンセル(&C)|");
    QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
    QApplication::sendEvent(list().viewport(), &request);
    EXPECT_TRUE(find<QMenu>("PopupMenuWPList").isVisible());
    auto& open = find<QToolButton>("SpeedButtonWPOpen");
    open.click();
    EXPECT_EQ(find<QMenu>("PopupMenuWallpaper").pos(), open.mapToGlobal(QPoint(0, open.height())));
    QCursor::setPos(300, 200);
    find<QAction>("PMWPOpen").trigger();
    EXPECT_EQ(find<QMenu>("PopupMenuWallpaper").pos(), QPoint(300, 200));
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

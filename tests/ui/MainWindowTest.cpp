#include "common/zbpg_common.h"
#include "controls/CoupleLb.h"
#include "options/OptionsStore.h"
#include "platform/store/Registry.h"
#include "support/Controls.h"
#include "support/FixedSystemInfo.h"
#include "support/ProgramFilesIn.h"
#include "support/RecordingDesktopService.h"
#include "support/RecordingDialogService.h"
#include "support/RecordingMessageService.h"
#include "support/RichOptions.h"
#include "support/TempFolder.h"
#include "ui/Main.h"
#include "ui/MultiRowTabWidget.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>

namespace zbpg {
namespace {

using test::control;
using test::writeFile;

// A settings window made as the program makes it, on a 1024 by 768 screen, with its files in
// a temporary folder and every message box and dialog recorded.
class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() { open(); }

    void open() {
        window = std::make_unique<TFormMain>(files());
        created = window->FormCreate();
    }
    // A fresh window on the same files, as at the next start of the program.
    void reopen() {
        window.reset();
        open();
    }

    ProgramFiles files() const { return test::programFilesIn(folder); }
    // Shown and active, as a user has it, so that the window's keys reach it.
    void showActive() {
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    std::string iniText() const { return test::readFile(files().iniFile); }
    bool iniExists() const { return std::filesystem::exists(files().iniFile); }
    // The settings file as the window's parts read and write it at once.
    TRegManager& settings() {
        openSettings(fileSettings, files().iniFile);
        return fileSettings;
    }
    QPushButton& button(const char* name) const { return control<QPushButton>(*window, name); }
    bool applyEnabled() const { return button("ButtonSave").isEnabled(); }
    void answerReset(platform::MessageAnswer answer) {
        messages.answers.push_back(answer);
        control<QToolButton>(*window, "SpeedButtonAllInit").click();
    }

    test::TempFolder folder;
    test::RecordingMessageService messages;
    test::RecordingDialogService dialogs;
    test::FakeDesktopService desktop{1024, 768};
    test::FixedSystemInfo systemInfo;
    std::unique_ptr<TFormMain> window;
    bool created = false;
    TRegManager fileSettings;
};

TEST_F(MainWindowTest, AFirstStartShowsTheFactoryOptions) {
    EXPECT_TRUE(created);
    EXPECT_EQ(window->options(), factoryOptions());
    EXPECT_FALSE(applyEnabled());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(iniExists());
}

TEST_F(MainWindowTest, ThePagesShowAndGiveBackEveryOption) {
    window->showOptions(test::richOptions());
    EXPECT_EQ(window->options(), test::richOptions());
}

TEST_F(MainWindowTest, EveryOptionSurvivesApplyAndTheNextStart) {
    window->showOptions(test::richOptions());
    button("ButtonSave").click();
    EXPECT_FALSE(applyEnabled());
    reopen();
    EXPECT_EQ(window->options(), test::richOptions());
    EXPECT_FALSE(applyEnabled());
    EXPECT_TRUE(messages.shown.empty());
}

// Each item that cannot be read is reported by its key and keeps its value; the rest loads, the
// window is made as usual, and "OK" keeps what was read.
TEST_F(MainWindowTest, BadStoredValuesAreReportedByKeyAndOkKeepsTheOtherValues) {
    Options stored = test::richOptions();
    stored.wallpaper.stat.lines = {"yes", "0"};
    window->showOptions(stored);
    window->SaveSettings();
    std::string text = iniText();
    const auto colour = text.find("MFFont_FontColor=");
    ASSERT_NE(colour, std::string::npos);
    text.replace(colour, text.find('\r', colour) - colour, "MFFont_FontColor=white");
    writeFile(files().iniFile, text);

    reopen();
    EXPECT_FALSE(created);
    const auto report = [](const char* message) {
        return platform::MessageRequest{"ZorbelPaneglyph", message, platform::MessageIcon::Error,
                                        platform::MessageButtons::Ok};
    };
    EXPECT_EQ(
        messages.shown,
        (std::vector{report("'yes' は整数ではありません ([Wallpaper] WPStat)."),
                     report("'white' は整数ではありません ([MonitorFrame] MFFont_FontColor).")}));
    Options expected = test::richOptions();
    expected.wallpaper.stat.lines = {"0", "0"};
    expected.wallpaper.rows[0].checked = false; // the row stays, unchecked
    expected.monitorFrame.font.color = factoryOptions().monitorFrame.font.color;
    expected.monitorFrame.font.style = factoryOptions().monitorFrame.font.style;
    EXPECT_EQ(window->options(), expected);
    EXPECT_FALSE(applyEnabled());
    EXPECT_EQ(control<TCoupleLabel>(*window, "CoupleLabelNowSize").Text(), "1024 * 768");

    window->show();
    button("ButtonOK").click();
    EXPECT_FALSE(window->isVisible());
    reopen();
    EXPECT_TRUE(created);
    EXPECT_EQ(window->options(), expected);
    EXPECT_EQ(messages.shown.size(), 2u);
}

TEST_F(MainWindowTest, AResetAnsweredNoChangesNothing) {
    window->showOptions(test::richOptions());
    window->SaveSettings();
    const std::string stored = iniText();
    answerReset(platform::MessageAnswer::No);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(
        messages.shown[0],
        (platform::MessageRequest{
            "ZorbelPaneglyph", "各設定内容をインストール時の状態に戻します。\rよろしいですか？",
            platform::MessageIcon::Question, platform::MessageButtons::YesNo}));
    EXPECT_EQ(window->options(), test::richOptions());
    EXPECT_EQ(iniText(), stored);
}

// A reset shows the factory options; the file goes only when the user confirms with OK or
// "適用(&A)", and then keeps, of the items written at once, those written since the reset.
TEST_F(MainWindowTest, AResetRestoresTheFactoryOptionsKeepsTheShortcutAndWritesOnlyWhenConfirmed) {
    window->showOptions(test::richOptions());
    window->SaveSettings();
    settings().ItemFiler("WPFileDir").WriteString("/pictures/");
    const std::string stored = iniText();
    std::filesystem::create_directories(folder.file("autostart"));
    writeFile(files().startUpLink, "[Desktop Entry]\n");
    answerReset(platform::MessageAnswer::Yes);
    EXPECT_EQ(window->options(), factoryOptions());
    EXPECT_TRUE(applyEnabled()) << "the defaults are not stored yet";
    EXPECT_TRUE(std::filesystem::exists(files().startUpLink));
    EXPECT_EQ(control<QToolButton>(*window, "SpeedButtonStartUp").text(), "解除");
    EXPECT_EQ(iniText(), stored);
    window->show();
    button("ButtonCancel").click();
    EXPECT_EQ(iniText(), stored) << "cancel keeps every setting";
    reopen();
    EXPECT_EQ(window->options(), test::richOptions());

    for (const char* confirm : {"ButtonOK", "ButtonSave"}) {
        writeFile(files().iniFile, stored);
        reopen();
        answerReset(platform::MessageAnswer::Yes);
        settings().ItemFiler("AEETmpDir").WriteString("/work");
        window->show();
        button(confirm).click();
        reopen();
        EXPECT_EQ(window->options(), factoryOptions()) << confirm;
        EXPECT_EQ(iniText().find("WPFileDir"), std::string::npos) << confirm;
        EXPECT_EQ(settings().ItemFiler("AEETmpDir").ReadString(), "/work") << confirm;
    }
}

TEST_F(MainWindowTest, ApplyClearsTheChangedStateAndOkSavesAlways) {
    auto& comment = control<QLineEdit>(*window, "EditCmnt");
    comment.setText("x");
    EXPECT_TRUE(applyEnabled());
    button("ButtonSave").click();
    EXPECT_FALSE(applyEnabled());
    EXPECT_NE(iniText().find("MFSZFCmnt=x\r\n"), std::string::npos);
    comment.setText("y");
    EXPECT_TRUE(applyEnabled());

    reopen();
    std::filesystem::remove(files().iniFile);
    window->show();
    button("ButtonOK").click(); // nothing changed, stored all the same
    EXPECT_NE(iniText().find("MFSZFCmnt=x\r\n"), std::string::npos);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, AFailedSaveKeepsTheWindowOpenAndApplyEnabled) {
    window->SaveSettings();
    ::chmod(files().iniFile.c_str(), 0444);
    showActive();
    auto& comment = control<QLineEdit>(*window, "EditCmnt");
    comment.setText("lost");
    button("ButtonOK").click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, files().iniFile + " に書き込めません.");
    EXPECT_EQ(messages.shown[0].icon, platform::MessageIcon::Error);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(applyEnabled());

    QTest::keyClick(&comment, Qt::Key_Return); // the same as OK
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1], messages.shown[0]);
    EXPECT_TRUE(window->isVisible());
}

// Enter is "OK" and Escape "キャンセル" wherever the focus is, as in a dialog, except that Enter
// makes a new line in the message and presses a button that has the focus.
TEST_F(MainWindowTest, EnterPressesOkFromEveryPage) {
    auto& tabs = control<MultiRowTabWidget>(*window, "PageControlEnv");
    showActive();
    std::vector<QWidget*> targets;
    for (int i = 0; i < tabs.count(); ++i) {
        tabs.setCurrentIndex(i);
        QWidget* first = window.get();
        for (auto* child : tabs.widget(i)->findChildren<QWidget*>()) {
            if (child->isVisible() && child->isEnabled() && (child->focusPolicy() & Qt::TabFocus)) {
                first = child;
                break;
            }
        }
        targets.push_back(first);
    }
    targets.push_back(&control<QLineEdit>(*window, "EditUpDownStartUp"));
    targets.push_back(&control<QLineEdit>(*window, "EditSIUserLabel"));
    for (auto* target : targets) {
        const std::string name = target->objectName().toStdString();
        std::filesystem::remove(files().iniFile);
        showActive();
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Return);
        EXPECT_FALSE(window->isVisible()) << name;
        EXPECT_TRUE(iniExists()) << name;
    }
    showActive();
    auto& label = control<QLineEdit>(*window, "EditSIUserLabel");
    label.setFocus();
    QTest::keyClick(&label, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_FALSE(window->isVisible()) << "the keypad's Enter";
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MainWindowTest, EnterMakesANewLineInTheMessageAndEscapeCancels) {
    Options typed = factoryOptions();
    typed.freeMessage.draw = true;
    window->showOptions(typed);
    auto& tabs = control<MultiRowTabWidget>(*window, "PageControlEnv");
    tabs.setCurrentWidget(&control<QWidget>(*window, "TabSheetFree"));
    showActive();
    auto& memo = control<QPlainTextEdit>(*window, "MemoFMInput");
    memo.setFocus();
    memo.setPlainText("one");
    memo.moveCursor(QTextCursor::End);
    QTest::keyClick(&memo, Qt::Key_Return);
    QTest::keyClicks(&memo, "two");
    EXPECT_EQ(memo.toPlainText().toStdString(), "one\ntwo");
    EXPECT_TRUE(window->isVisible());

    (void)SetWallpaperFile("/pictures/clean.bmp");
    auto& restore = button("ButtonWallpaperDraw");
    restore.setFocus();
    QTest::keyClick(&restore, Qt::Key_Return);
    EXPECT_EQ(desktop.wallpapers.size(), 1u) << "the focused button is pressed";
    EXPECT_TRUE(window->isVisible());

    auto& field = control<QLineEdit>(*window, "EditUpDownFMLeft");
    field.setFocus();
    QTest::keyClick(&field, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(iniExists()) << "Escape stores nothing";
}

TEST_F(MainWindowTest, ATrialRunDrawsTheOptionsAsTheyStandAndShowsTheFetchedValues) {
    (void)SetWallpaperFile("/pictures/clean.bmp");
    control<QLineEdit>(*window, "EditSIUserLabel").setText("unsaved: ");
    button("ButtonDraw").click();
    ASSERT_EQ(desktop.wallpapers.size(), 1u);
    EXPECT_TRUE(desktop.wallpapers[0].isPicture());
    EXPECT_EQ(control<QLineEdit>(*window, "EditSIUser").text(), "zorbel");
    EXPECT_EQ(control<QLineEdit>(*window, "EditSIIPAddr").text(), "192.0.2.10");
    EXPECT_EQ(window->windowTitle(), "ZorbelPaneglyph");
    EXPECT_FALSE(iniExists()) << "a trial run stores nothing";
    EXPECT_TRUE(messages.shown.empty());
}

// Whether the application adds a name of its own to every window title: Qt appends its display
// name to a title once one is set; unset, the display name is the application name.
bool titlesGainAName() {
    return QGuiApplication::applicationDisplayName() != QCoreApplication::applicationName();
}

// Notes the settings window's title whenever the run asks for a system value.
class TitleDuringRun final : public platform::SystemInfoService {
public:
    explicit TitleDuringRun(const QWidget& window) : m_window(window) {
        platform::setSystemInfoService(this);
    }
    ~TitleDuringRun() override { platform::setSystemInfoService(nullptr); }
    TitleDuringRun(const TitleDuringRun&) = delete;
    TitleDuringRun& operator=(const TitleDuringRun&) = delete;

    std::string loginUserName() override { return note(); }
    std::string hostName() override { return note(); }
    std::string localIPv4Address() override { return note(); }

    std::vector<std::string> titles;
    bool nameAdded = false;

private:
    std::string note() {
        titles.push_back(m_window.windowTitle().toStdString());
        nameAdded = nameAdded || titlesGainAName();
        return "x";
    }
    const QWidget& m_window;
};

TEST_F(MainWindowTest, TitlesAreExactlyTheProgramsBeforeDuringAndAfterARunAndARestore) {
    EXPECT_FALSE(titlesGainAName());
    TitleDuringRun during(*window);
    button("ButtonDraw").click();
    ASSERT_FALSE(during.titles.empty());
    for (const auto& title : during.titles)
        EXPECT_EQ(title, "描画中 - ZorbelPaneglyph");
    EXPECT_FALSE(during.nameAdded);
    EXPECT_EQ(window->windowTitle(), "ZorbelPaneglyph");
    EXPECT_FALSE(titlesGainAName());
    button("ButtonWallpaperDraw").click();
    EXPECT_EQ(window->windowTitle(), "ZorbelPaneglyph");
    EXPECT_FALSE(titlesGainAName());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MainWindowTest, AFailedTrialRunIsReportedAndTheWindowGoesOn) {
    window->showOptions([&] {
        Options o = factoryOptions();
        o.freeMessage.draw = true;
        o.freeMessage.source.down = {true, false};
        o.freeMessage.file = folder.file("missing.txt");
        return o;
    }());
    button("ButtonDraw").click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "ファイル " + folder.file("missing.txt") + " は開けません.");
    EXPECT_EQ(window->windowTitle(), "ZorbelPaneglyph");
}

// Reported when the window opens, which opens all the same, and again by what needs it; the
// file is never replaced.
TEST_F(MainWindowTest, ARegistryFileThatCannotBeReadIsReportedAndKept) {
    const std::string registryFile = platform::Registry::currentUser().filePath();
    std::filesystem::create_directories(registryFile);
    window = std::make_unique<TFormMain>(ProgramFiles::forProgram(files().programFile));
    EXPECT_TRUE(window->FormCreate());
    const std::string message = "ファイル " + registryFile + " は開けません.";
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, message);
    button("ButtonWallpaperDraw").click();
    EXPECT_EQ(messages.shown.back().text, message);
    EXPECT_TRUE(std::filesystem::is_empty(registryFile));
}

TEST_F(MainWindowTest, RestoreShowsTheRecordedWallpaperWithItsStyle) {
    (void)SetWallpaperFile("/pictures/clean.bmp");
    const auto registry = platform::Registry::currentUser();
    ASSERT_TRUE(registry.writeValue("Control Panel\\Desktop", "TileWallpaper",
                                    platform::RegValue::string("1")));
    ASSERT_TRUE(registry.writeValue("Control Panel\\Desktop", "WallpaperStyle",
                                    platform::RegValue::string("6")));
    button("ButtonWallpaperDraw").click();
    ASSERT_EQ(desktop.wallpapers.size(), 1u);
    EXPECT_EQ(desktop.wallpapers[0].file, "/pictures/clean.bmp");
    EXPECT_TRUE(IsWallpaperTiled());
    EXPECT_EQ(registry.readValue("Control Panel\\Desktop", "WallpaperStyle")->text, "0");
    EXPECT_FALSE(applyEnabled());
    EXPECT_TRUE(messages.shown.empty());

    desktop.wallpaperAnswer = false; // the recorded picture is gone
    button("ButtonWallpaperDraw").click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "ファイル /pictures/clean.bmp を壁紙に表示できません.");
}

TEST_F(MainWindowTest, HelpOpensTheShippedPages) {
    control<QToolButton>(*window, "SpeedButtonHelp").click();
    ASSERT_EQ(desktop.opened.size(), 1u);
    EXPECT_EQ(desktop.opened[0], files().helpFile);
}

TEST_F(MainWindowTest, TheFileChooserOpensUnderTheMessageFileField) {
    Options fromFile = factoryOptions();
    fromFile.freeMessage.draw = true;
    fromFile.freeMessage.source.down = {true, false};
    window->showOptions(fromFile);
    control<QToolButton>(*window, "SpeedButtonFMFileOpen").click();
    ASSERT_EQ(dialogs.fileRequests.size(), 1u);
    EXPECT_TRUE(dialogs.fileRequests[0].fileMustExist);
    const auto& field = control<QLineEdit>(*window, "EditFMFile");
    EXPECT_EQ(dialogs.placedAt.first, window->x());
    EXPECT_EQ(dialogs.placedAt.second, field.mapToGlobal(QPoint(0, field.height())).y());
}

TEST_F(MainWindowTest, TheSystemInformationPageShowsCurrentValuesWithoutMarking) {
    auto& tabs = control<MultiRowTabWidget>(*window, "PageControlEnv");
    tabs.setCurrentWidget(&control<QWidget>(*window, "TabSheetSysInfo"));
    EXPECT_EQ(control<QLineEdit>(*window, "EditSIUser").text(), "zorbel");
    EXPECT_EQ(control<QLineEdit>(*window, "EditSIComp").text(), "paneglyph-host");
    EXPECT_FALSE(applyEnabled());
}

TEST_F(MainWindowTest, TheWindowHasItsFixedFrame) {
    EXPECT_EQ(window->windowTitle(), "ZorbelPaneglyph");
    EXPECT_EQ(window->size(), QSize(443, 401));
    const auto& tabs = control<MultiRowTabWidget>(*window, "PageControlEnv");
    ASSERT_EQ(tabs.count(), 7);
    const char* captions[] = {"設定",     "壁紙設定",       "画面サイズ",    "システム情報",
                              "任意表示", "外部アプリ起動", "バージョン情報"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(tabs.tabText(i).toStdString(), captions[i]);
}

} // namespace
} // namespace zbpg

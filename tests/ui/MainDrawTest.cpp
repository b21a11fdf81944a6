#include "app/Renderers.h"
#include "common/zbpg_common.h"
#include "controls/EditUpDown.h"
#include "controls/SCB.h"
#include "platform/Processes.h"
#include "platform/Registry.h"
#include "ui/FontButton.h"
#include "ui/MainWindowFixture.h"
#include "ui/MultiRowTabWidget.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QToolButton>
#include <filesystem>
#include <sys/stat.h>

namespace zbpg {
namespace {

using test::readFile;
using test::writeFile;

class MainDrawTest : public test::MainWindowFixture {
protected:
    MainDrawTest() {
        platform::setSleeper([this](int milliseconds) { pauses.push_back(milliseconds); });
        window->FTmpBitmapFile = folder.file("ZorbelPaneglyphTmp.bmp");
        SetWallpaperFile("/pictures/clean.bmp");
    }
    ~MainDrawTest() override { platform::setSleeper({}); }

    QImage shownPicture() const {
        return QImage::fromData(reinterpret_cast<const uchar*>(desktop.shownBytes.data()),
                                static_cast<int>(desktop.shownBytes.size()), "BMP")
            .convertToFormat(QImage::Format_RGB32);
    }

    // Only the free message, typed, red, at the top left.
    void onlyFreeMessage(const QString& text) {
        window->CheckBoxMonitorFrame->setChecked(false);
        for (auto* line :
             {window->CheckBoxSIUser, window->CheckBoxSIComp, window->CheckBoxSIIPAddr})
            line->setChecked(false);
        window->CheckBoxFreeMessage->setChecked(true);
        window->MemoFMInput->setPlainText(text);
        window->SpeedButtonFMFont->SetFont({"ＭＳ ゴシック", -40, 0x0000FF, 0, 128});
    }

    // An entry of an application list, started before (0) or after (1) drawing.
    void addEntry(int list, const std::string& stat, const std::string& command,
                  const std::string& parameters, bool wait, const std::string& seconds) {
        auto& controls = window->FAppExecControls[static_cast<std::size_t>(list)];
        controls.checkList->addItem(QString::fromStdString(command));
        const std::vector<std::string> entry{
            stat, command,          parameters,       "",     "1", "0",
            "0",  wait ? "1" : "0", wait ? "0" : "1", seconds};
        for (std::size_t i = 0; i < entry.size(); ++i)
            controls.fields[i]->lines.push_back(entry[i]);
    }

    // A script that appends its name and arguments to a log, so that tests see what ran.
    std::string loggingScript(const std::string& name) {
        const std::string path = folder.file(name);
        writeFile(path, "#!/bin/sh\necho \"" + name + " $*\" >> \"" + folder.file("log") + "\"\n");
        ::chmod(path.c_str(), 0755);
        return path;
    }

    std::vector<int> pauses;
};

TEST_F(MainDrawTest, ARunShowsTheComposedPictureAndKeepsTheCleanWallpaperRecorded) {
    window->ButtonDraw->click();
    ASSERT_EQ(desktop.wallpapers.size(), 1u);
    EXPECT_EQ(desktop.wallpapers[0], std::make_pair(window->FTmpBitmapFile, true));
    EXPECT_FALSE(std::filesystem::exists(window->FTmpBitmapFile));
    std::string wallpaper;
    GetWallpaperFile(wallpaper);
    EXPECT_EQ(wallpaper, "/pictures/clean.bmp");
    EXPECT_EQ(window->FBaseWallpaper, "/pictures/clean.bmp");
    const QImage picture = shownPicture();
    ASSERT_EQ(picture.size(), QSize(1024, 768));
    // The default frames in white, the 640 * 480 one on columns 0 and 638.
    EXPECT_EQ(picture.pixel(0, 100), qRgb(255, 255, 255));
    EXPECT_EQ(picture.pixel(638, 100), qRgb(255, 255, 255));
    EXPECT_EQ(picture.pixel(639, 100), qRgb(0, 0, 0));
    EXPECT_EQ(window->windowTitle(), "ZorbelPaneglyph");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MainDrawTest, ARunWithNothingEnabledShowsTheDesktopAsItWas) {
    onlyFreeMessage("");
    window->CheckBoxFreeMessage->setChecked(false);
    window->DrawDesktop();
    const QImage picture = shownPicture();
    const QImage black(1024, 768, QImage::Format_RGB32);
    QImage expected = black;
    expected.fill(Qt::black);
    EXPECT_EQ(picture, expected);
}

TEST_F(MainDrawTest, ItemsAreDrawnInTheUsersOrder) {
    onlyFreeMessage("■■■■■■■■■■■■■■■■■■■■■■■■");
    window->CheckBoxMonitorFrame->setChecked(true);
    window->SelectColorButtonMF->SetColor(0x00FF00);
    window->ListBoxDrawSeqStream.lines = {"任意表示", "画面サイズ", "システム情報"};
    window->DrawDesktop();

    QImage expected(1024, 768, QImage::Format_RGB32);
    expected.fill(Qt::black);
    drawTextLines(expected, {"■■■■■■■■■■■■■■■■■■■■■■■■"}, window->SpeedButtonFMFont->Font(), 0, 0,
                  0);
    for (auto size :
         {std::pair{640, 480}, {800, 600}, {1024, 768}, {1152, 864}, {1280, 1024}, {1600, 1200}})
        drawMonitorFrame(expected, size.first, size.second,
                         std::to_string(size.first) + " * " + std::to_string(size.second),
                         window->SpeedButtonMFFont->Font(), FrameAnchor::TopLeft, 0x00FF00);
    EXPECT_EQ(shownPicture(), expected);
}

TEST_F(MainDrawTest, ATrialRunLeavesTheWallpaperValueAndAStartUpRunRecordsTheBase) {
    window->DrawDesktop();
    std::string wallpaper;
    GetWallpaperFile(wallpaper);
    EXPECT_EQ(wallpaper, "/pictures/clean.bmp");
    // A program of the before list that sets another wallpaper: the start-up run keeps it.
    const std::string setter = folder.file("setter.sh");
    writeFile(setter, "#!/bin/sh\nexit 0\n");
    ::chmod(setter.c_str(), 0755);
    SetWallpaperFile("/pictures/next.bmp");
    window->FOnlyDraw = true;
    window->DrawDesktop();
    GetWallpaperFile(wallpaper);
    EXPECT_EQ(wallpaper, "/pictures/next.bmp");
}

TEST_F(MainDrawTest, AMissingMessageFileEndsTheRunWithItsNameAndRestoresTheTitle) {
    onlyFreeMessage("");
    window->RadioButtonFMFile->setChecked(true);
    window->EditFMFile->setText(QString::fromStdString(folder.file("missing.txt")));
    window->ButtonDraw->click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "ファイル " + folder.file("missing.txt") + " は開けません.");
    EXPECT_TRUE(desktop.wallpapers.empty()) << "nothing is shown after the error";
    EXPECT_EQ(window->windowTitle(), "ZorbelPaneglyph");
}

TEST_F(MainDrawTest, TheListsRunAroundTheDrawingAndPauseAfterStartsWithoutWaiting) {
    const std::string before = loggingScript("before.sh");
    const std::string after = loggingScript("after.sh");
    addEntry(0, "1", before, "one \"two words\"", true, "0");
    addEntry(0, "0", before, "skipped", true, "0");
    addEntry(0, "1", folder.file("missing"), "", false, "7");
    addEntry(1, "1", after, "", true, "0");
    addEntry(1, "1", "/bin/true", "", false, "5");
    window->DrawDesktop();
    EXPECT_EQ(readFile(folder.file("log")), "before.sh one two words\nafter.sh \n");
    EXPECT_EQ(pauses, std::vector<int>{5000}) << "no pause after a failed start";
}

TEST_F(MainDrawTest, RestoreShowsTheRecordedWallpaperWithItsStyle) {
    const auto registry = platform::Registry::currentUser();
    ASSERT_TRUE(registry.writeValue("Control Panel\\Desktop", "TileWallpaper",
                                    platform::RegValue::string("1")));
    ASSERT_TRUE(registry.writeValue("Control Panel\\Desktop", "WallpaperStyle",
                                    platform::RegValue::string("6")));
    window->ButtonWallpaperDraw->click();
    ASSERT_EQ(desktop.wallpapers.size(), 1u);
    EXPECT_EQ(desktop.wallpapers[0].first, "/pictures/clean.bmp");
    EXPECT_TRUE(IsWallpaperTiled());
    EXPECT_EQ(registry.readValue("Control Panel\\Desktop", "WallpaperStyle")->text, "0");
    EXPECT_FALSE(applyEnabled());
}

TEST_F(MainDrawTest, TheStartupButtonRegistersAndRemovesTheShortcut) {
    window->setProgramFile("/opt/zp dir/ZorbelPaneglyph");
    window->SpeedButtonStartUp->click();
    const std::string link = files().startUpLink;
    EXPECT_EQ(readFile(link), "[Desktop Entry]\nType=Application\nName=ZorbelPaneglyph\n"
                              "Comment=ZorbelPaneglyph\n"
                              "Exec=\"/opt/zp dir/ZorbelPaneglyph\" -OnlyDraw\n"
                              "Path=/opt/zp dir\nTerminal=false\n");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "『ZorbelPaneglyph』をスタートアップに登録しました。");
    EXPECT_EQ(messages.shown[0].icon, platform::MessageIcon::Information);
    EXPECT_EQ(window->SpeedButtonStartUp->text(), "解除");
    EXPECT_FALSE(applyEnabled());

    window->SpeedButtonStartUp->click();
    EXPECT_FALSE(std::filesystem::exists(link));
    EXPECT_EQ(messages.shown.back().text, "『ZorbelPaneglyph』をスタートアップから削除しました。");
    EXPECT_EQ(window->SpeedButtonStartUp->text(), "登録");
}

TEST_F(MainDrawTest, AShortcutThatCannotBeWrittenIsReported) {
    window->setStartUpLink(folder.file("file-not-folder/x.desktop"));
    writeFile(folder.file("file-not-folder"), "");
    window->SpeedButtonStartUp->click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "『ZorbelPaneglyph』をスタートアップに登録できませんでした。");
    EXPECT_EQ(messages.shown[0].icon, platform::MessageIcon::Error);
    EXPECT_EQ(window->SpeedButtonStartUp->text(), "登録");
}

TEST_F(MainDrawTest, TheCommandLineDecidesTheMode) {
    EXPECT_FALSE(runCommandLineMode(*window, {}));
    EXPECT_TRUE(runCommandLineMode(*window, {"-onlydraw"}));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "起動オプションが違います。");
    EXPECT_TRUE(desktop.wallpapers.empty());
    EXPECT_FALSE(window->FOnlyDraw);

    window->EditUpDownStartUp->SetPosition(5);
    EXPECT_TRUE(runCommandLineMode(*window, {"-OnlyDraw", "ignored"}));
    EXPECT_TRUE(window->FOnlyDraw);
    EXPECT_EQ(pauses, std::vector<int>{5000});
    EXPECT_EQ(desktop.wallpapers.size(), 1u);
}

TEST_F(MainDrawTest, TheSystemInformationPageShowsCurrentValuesWithoutMarking) {
    window->PageControlEnv->setCurrentWidget(window->TabSheetSysInfo);
    EXPECT_EQ(window->EditSIUser->text().toStdString(), GetLoginUserName());
    EXPECT_EQ(window->EditSIComp->text().toStdString(), GetLocalComputerName());
    EXPECT_FALSE(applyEnabled());
}

} // namespace
} // namespace zbpg

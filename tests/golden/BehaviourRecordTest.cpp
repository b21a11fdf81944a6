// Records of what the program writes and draws, kept as files: the settings file that "OK"
// writes on a first start, the file written back after loading rich settings, and the desktop
// picture of logon runs with those settings. A change that alters one byte of them fails here.
// Run under xvfb-run (a 1024x768 screen, -noreset); with ZBPG_RECORD_DIR set, the records are
// written there instead of compared.

#include "app/Program.h"
#include "common/zbpg_common.h"
#include "options/Options.h"
#include "platform/desktop/qt/DesktopPicture.h"
#include "platform/desktop/qt/QtDesktopService.h"
#include "settings/RegMng.h"
#include "support/Controls.h"
#include "support/FixedSystemInfo.h"
#include "support/ProgramFilesIn.h"
#include "support/QtSettingsFolder.h"
#include "support/RecordingMessageService.h"
#include "support/TempFolder.h"
#include "support/TestEnvironment.h"
#include "text/Encoding.h"
#include "text/qt/QtConvert.h"
#include "ui/Main.h"

#include <QApplication>
#include <QColor>
#include <QPushButton>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>

namespace zbpg {
namespace {

using test::readFile;
using test::writeFile;

std::string recordDir() {
    const char* dir = std::getenv("ZBPG_RECORD_DIR");
    return dir != nullptr ? dir : "";
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// The lines around the given one, numbered, the given one marked; code page 932 shown as text.
std::string linesAround(const std::string& bytes, long line) {
    const bool utf8 = bytes.starts_with(kUtf8Bom);
    std::istringstream lines(bytes);
    std::ostringstream shown;
    long number = 0;
    for (std::string text; std::getline(lines, text);) {
        if (++number < line - 2 || number > line + 2)
            continue;
        if (text.ends_with('\r'))
            text.pop_back();
        shown << (number == line ? "> " : "  ") << number << ": "
              << (utf8 ? text : cp932ToUtf8(text).value_or(text)) << "\n";
    }
    return shown.str();
}

// Where written bytes first part from their record, with the lines around it in both.
::testing::AssertionResult sameBytes(const std::string& written, const std::string& recorded) {
    if (written == recorded)
        return ::testing::AssertionSuccess();
    const auto at = std::mismatch(written.begin(), written.end(), recorded.begin(), recorded.end());
    const auto offset = at.first - written.begin();
    const long line = std::count(written.begin(), at.first, '\n') + 1;
    return ::testing::AssertionFailure() << "differs from its record first at byte " << offset
                                         << ", line " << line << "\nrecord:\n"
                                         << linesAround(recorded, line) << "written:\n"
                                         << linesAround(written, line);
}

// The first pixel (by rows) that differs from the record, and how many do.
::testing::AssertionResult samePicture(const QImage& drawn, const QImage& recorded) {
    int differing = 0;
    QPoint first;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            if (drawn.pixel(x, y) != recorded.pixel(x, y) && differing++ == 0)
                first = QPoint(x, y);
    if (differing == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << differing << " pixels differ from the record, the first at (" << first.x() << ", "
           << first.y() << "): recorded " << QColor(recorded.pixel(first)).name().toStdString()
           << ", drawn " << QColor(drawn.pixel(first)).name().toStdString();
}

// Settings that move every item of the drawing and most others away from the factory state.
const char* const kRichSettings = R"([System]
Left=37
Top=21
[Application]
DrawTypeOverwrite=1
DrawTypeRewrite=0
StartUpWaitSec=0
[Wallpaper]
WallpaperDraw=0
WPSubFolder=0
WPPCenter=0
WPPEnum=1
WPPSpread=0
WPSRandom=0
WPSSeq=1
WPFileDir=@DIR@/pictures/
[MonitorFrame]
MonitorFrameDraw=1
MFPositionLT=@LT@
MFPositionLB=@LB@
MFPositionRT=@RT@
MFPositionRB=@RB@
MFPositionCenter=@C@
MFSZ1=1
MFSZ2=1
MFSZ3=0
MFSZ4=1
MFSZ5=1
MFSZ6=1
MFSZFree=1
MFSZFWidth=900
MFSZFHeight=700
MFSZFCmnt=自由 900 * 700
MFColor=$0000C0FF
MFFont_FontName=IPAPMincho
MFFont_FontSize=10
MFFont_FontColor=clYellow
MFFont_FontStyle=3
[SystemInfo]
SIUserDraw=1
SIUserLabel=ユーザ：
SIUserLeft=600
SIUserTop=500
SIUserFont_FontName=ＭＳ ゴシック
SIUserFont_FontSize=12
SIUserFont_FontColor=clAqua
SIUserFont_FontStyle=1
SICompDraw=1
SICompLeft=600
SICompTop=530
SICompFont_FontName=IPAMincho
SICompFont_FontSize=14
SICompFont_FontColor=clLime
SICompFont_FontStyle=2
SIIPAddrDraw=1
SIIPAddrLabel=IP: 
SIIPAddrLeft=1010
SIIPAddrTop=560
[FreeMessage]
FreeMessageDraw=1
FMCheckFile=1
FMFile=@DIR@/message.txt
FMCheckInput=0
FMInput_ItemCount=2
FMInput_Item0=typed but not drawn
FMInput_Item1=
FMLineInterval=3
FMFont_FontName=IPAGothic
FMFont_FontSize=16
FMFont_FontColor=clWhite
FMFont_FontStyle=4
FMLeft=40
FMTop=300
[Extra]
; a section the program does not know
kept=yes
)";

class BehaviourRecord : public ::testing::Test {
protected:
    ProgramFiles files() const { return test::programFilesIn(folder); }

    // The rich settings with the given anchor down, in code page 932, and the stored lists.
    void writeRichSettings(int anchor) {
        std::string text = replaced(kRichSettings, "@DIR@", folder.path());
        const char* anchors[] = {"@LT@", "@LB@", "@RT@", "@RB@", "@C@"};
        for (int i = 0; i < 5; ++i)
            text = replaced(text, anchors[i], i == anchor ? "1" : "0");
        writeFile(files().iniFile, *utf8ToCp932(replaced(text, "\n", "\r\n")));
        TRegManager manager;
        manager.SetRegType(rtIni);
        manager.SetIniFileName(files().iniFile);
        manager.RegItems().Add(TRegItem("DrawSeq", "Application", "DrawSeq"));
        manager.RegItems().Add(TRegItem("WPStat", "Wallpaper", "WPStat"));
        manager.RegItems().Add(TRegItem("WPFile", "Wallpaper", "WPFile"));
        manager.RegItems().Add(TRegItem("AEBStat", "AppExec", "AEBStat"));
        manager.RegItems().Add(TRegItem("AEBCmd", "AppExec", "AEBCmd"));
        // The stored lists with the layout the window gives them.
        Options lists = factoryOptions();
        lists.drawing.drawSeq.lines = {"任意表示", "画面サイズ", "システム情報"};
        manager.ItemFiler("DrawSeq").WriteComponent(lists.drawing.drawSeq);
        lists.wallpaper.stat.lines = {"1", "0"};
        manager.ItemFiler("WPStat").WriteComponent(lists.wallpaper.stat);
        lists.wallpaper.file.lines = {"/pictures/a.jpg", "/home/zoë/Bilder"};
        manager.ItemFiler("WPFile").WriteComponent(lists.wallpaper.file);
        // An entry of the before list that is switched off, so that no program starts.
        auto& before = lists.appList(AppList::Before);
        before.field(AppEntryField::Stat).lines = {"0"};
        manager.ItemFiler("AEBStat").WriteComponent(before.field(AppEntryField::Stat));
        before.field(AppEntryField::Cmd).lines = {"/bin/false"};
        manager.ItemFiler("AEBCmd").WriteComponent(before.field(AppEntryField::Cmd));
        writeFile(folder.file("message.txt"),
                  *utf8ToCp932("一行目 メッセージ\r\n\r\n三行目 Line 3\r\n"));
    }

    // The settings file as "OK" leaves it, with the test folder written as @DIR@.
    std::string savedByOk() {
        {
            TFormMain window(files());
            EXPECT_TRUE(window.FormCreate());
            test::control<QPushButton>(window, "ButtonOK").click();
        }
        return replaced(readFile(files().iniFile), folder.path(), "@DIR@");
    }

    // A logon run in this process, with the program's real desktop service.
    void runOnlyDraw() { ASSERT_TRUE(runWithoutWindow(StartMode::OnlyDraw, files())); }

    void compareWithRecord(const std::string& name, const std::string& bytes) {
        if (!recordDir().empty()) {
            writeFile(recordDir() + "/" + name, bytes);
            return;
        }
        const std::string recorded = readFile(std::string(ZBPG_RECORDS) + "/" + name);
        ASSERT_FALSE(recorded.empty()) << name;
        EXPECT_TRUE(sameBytes(bytes, recorded)) << name;
    }

    test::TempFolder folder;
    test::RecordingMessageService messages;
    test::FixedSystemInfo systemInfo;
};

TEST_F(BehaviourRecord, OkOnFirstStartWritesTheRecordedFile) {
    compareWithRecord("first-start.ini", savedByOk());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(BehaviourRecord, RichSettingsAreWrittenBackAsRecorded) {
    writeRichSettings(0);
    compareWithRecord("rich-saved.ini", savedByOk());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(BehaviourRecord, LogonRunsAtEveryAnchorDrawTheRecordedDesktop) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
    platform::QtDesktopService desktop;
    platform::setDesktopService(&desktop);
    // A wallpaper whose every pixel differs from its neighbours, so a misplaced copy shows.
    QImage wallpaper(1024, 768, QImage::Format_RGB32);
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x)
            wallpaper.setPixel(x, y, qRgb(x % 251, y % 241, (x + y) % 239));
    const std::string clean = folder.file("clean.bmp");
    ASSERT_TRUE(wallpaper.save(QString::fromStdString(clean), "BMP"));
    ASSERT_TRUE(ChangeWallpaper(clean, false, false));

    // Each run draws over what the one before left on the desktop.
    for (int anchor = 0; anchor < 5; ++anchor) {
        writeRichSettings(anchor);
        runOnlyDraw();
    }
    platform::setDesktopService(nullptr);
    EXPECT_TRUE(messages.shown.empty());

    const QImage desktopPicture = platform::DesktopPicture::paintDesktop(QSize(1024, 768))
                                      .convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(desktopPicture.size(), QSize(1024, 768));
    if (!recordDir().empty()) {
        ASSERT_TRUE(desktopPicture.save(QString::fromStdString(recordDir() + "/desktop.png")));
        return;
    }
    const QImage recorded =
        QImage(QString(ZBPG_RECORDS) + "/desktop.png").convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(recorded.size(), desktopPicture.size());
    EXPECT_TRUE(samePicture(desktopPicture, recorded)) << "the desktop";
}

} // namespace
} // namespace zbpg

int main(int argc, char** argv) {
    zbpg::test::TestEnvironment environment(zbpg::test::followTheHomeWithQtSettings);
    ::unsetenv("QT_QPA_PLATFORM"); // the X server, as a user's session has it
    QApplication application(argc, argv);
    zbpg::installFontSubstitutions();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

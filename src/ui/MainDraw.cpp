// The draw run: capture the desktop, draw the enabled items in the user's order, show the result
// as wallpaper while the recorded wallpaper stays the clean image; the programs of the two lists
// around it.

#include "app/Renderers.h"
#include "common/Error.h"
#include "common/IntegerText.h"
#include "common/QtConvert.h"
#include "common/zbpg_common.h"
#include "controls/EditUpDown.h"
#include "controls/SCB.h"
#include "platform/DesktopService.h"
#include "platform/MessageService.h"
#include "platform/Processes.h"
#include "platform/Shortcut.h"
#include "platform/qt/DesktopPicture.h"
#include "ui/FontButton.h"
#include "ui/Main.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QToolButton>
#include <array>
#include <cstdio>

namespace zbpg {
namespace {

constexpr const char* kTitle = "ZorbelPaneglyph";
constexpr const char* kDrawingTitle = "描画中 - ZorbelPaneglyph";

// Shows the run as busy and puts title and cursor back however the run ends, so that a failed
// run does not leave the hourglass up.
class BusyRun {
public:
    explicit BusyRun(QWidget& window) : m_window(window) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_window.setWindowTitle(kDrawingTitle);
        QApplication::setApplicationDisplayName(kDrawingTitle);
        QApplication::processEvents();
    }
    ~BusyRun() {
        m_window.setWindowTitle(kTitle);
        QApplication::setApplicationDisplayName(kTitle);
        QApplication::restoreOverrideCursor();
    }
    BusyRun(const BusyRun&) = delete;
    BusyRun& operator=(const BusyRun&) = delete;

private:
    QWidget& m_window;
};

FrameAnchor anchorOf(const TFormMain& w) {
    if (w.SpeedButtonMFPlt->isChecked())
        return FrameAnchor::TopLeft;
    if (w.SpeedButtonMFPlb->isChecked())
        return FrameAnchor::BottomLeft;
    if (w.SpeedButtonMFPrt->isChecked())
        return FrameAnchor::TopRight;
    if (w.SpeedButtonMFPrb->isChecked())
        return FrameAnchor::BottomRight;
    return FrameAnchor::Center;
}

std::string text(const QLineEdit* field) {
    return field->text().toStdString();
}

} // namespace

void TFormMain::ButtonDrawClick(QObject*) {
    DrawDesktop();
}

void TFormMain::DrawDesktop() {
    BusyRun busy(*this);
    std::string before;
    GetWallpaperFile(before);
    // Choosing the next wallpaper of the list belongs to the wallpaper rotation.
    RunApplications(0);
    GetWallpaperFile(FBaseWallpaper);
    PrepareDesktopCanvas();
    if (RadioButtonRewrite->isChecked())
        ShowWallpaper(FBaseWallpaper, FBaseWallpaper);
    for (const auto& item : ListBoxDrawSeqStream.lines) {
        if (item == "画面サイズ") {
            if (CheckBoxMonitorFrame->isChecked())
                DrawMonitorFrames();
        } else if (item == "システム情報") {
            struct Line {
                QCheckBox* check;
                std::string (*value)();
                QLineEdit* display;
                QLineEdit* label;
                FontButton* font;
                TEditUpDown* x;
                TEditUpDown* y;
            };
            const Line lines[] = {
                {CheckBoxSIUser, GetLoginUserName, EditSIUser, EditSIUserLabel,
                 SpeedButtonSIUserFont, EditUpDownSIUserLeft, EditUpDownSIUserTop},
                {CheckBoxSIComp, GetLocalComputerName, EditSIComp, EditSICompLabel,
                 SpeedButtonSICompFont, EditUpDownSICompLeft, EditUpDownSICompTop},
                {CheckBoxSIIPAddr, GetLocalIPAddress, EditSIIPAddr, EditSIIPAddrLabel,
                 SpeedButtonSIIPAddrFont, EditUpDownSIIPAddrLeft, EditUpDownSIIPAddrTop},
            };
            for (const auto& line : lines) {
                if (!line.check->isChecked())
                    continue;
                line.display->setText(QString::fromStdString(line.value()));
                DrawTextItem(text(line.label) + text(line.display), line.font->Font(),
                             line.x->Position(), line.y->Position());
            }
        } else if (item == "任意表示") {
            if (CheckBoxFreeMessage->isChecked())
                DrawFreeMessage();
        }
    }
    if (!FDrawBitmap.save(QString::fromStdString(FTmpBitmapFile), "BMP"))
        throw Error(formatMessage("ファイル %s を作成できません", FTmpBitmapFile));
    ShowWallpaper(FBaseWallpaper, FTmpBitmapFile);
    std::remove(FTmpBitmapFile.c_str());
    RunApplications(1);
    if (!FOnlyDraw)
        SetWallpaperFile(before);
}

void TFormMain::PrepareDesktopCanvas() {
    // The desktop as displayed is read straight into the picture: no full-screen window has to
    // cover the screen for it.
    FDrawBitmap = platform::DesktopPicture::paintDesktop(QSize(screenWidth(), screenHeight()))
                      .convertToFormat(QImage::Format_RGB32);
}

void TFormMain::DrawMonitorFrames() {
    static constexpr std::array<std::pair<int, int>, 6> sizes{
        {{640, 480}, {800, 600}, {1024, 768}, {1152, 864}, {1280, 1024}, {1600, 1200}}};
    for (std::size_t i = 0; i < CheckBoxSZ.size(); ++i) {
        if (CheckBoxSZ[i]->isChecked())
            DrawMonitorFrame(sizes[i].first, sizes[i].second, CheckBoxSZ[i]->text().toStdString());
    }
    if (CheckBoxSZFree->isChecked())
        DrawMonitorFrame(EditUpDownSZWidth->Position(), EditUpDownSZHeight->Position(),
                         text(EditCmnt));
}

void TFormMain::DrawMonitorFrame(int width, int height, const std::string& label) {
    drawMonitorFrame(FDrawBitmap, width, height, label, SpeedButtonMFFont->Font(), anchorOf(*this),
                     SelectColorButtonMF->Color());
}

void TFormMain::DrawTextItem(const std::string& line, const FontDescription& font, int x, int y) {
    drawTextItem(FDrawBitmap, line, font, x, y);
}

void TFormMain::DrawFreeMessage() {
    std::vector<std::string> lines;
    if (RadioButtonFMFile->isChecked())
        lines = readMessageFile(text(EditFMFile));
    else
        lines = memoLines();
    DrawTextLines(lines, SpeedButtonFMFont->Font(), EditUpDownFMLineInterval->Position(),
                  EditUpDownFMLeft->Position(), EditUpDownFMTop->Position());
}

void TFormMain::DrawTextLines(const std::vector<std::string>& lines, const FontDescription& font,
                              int interval, int x, int y) {
    drawTextLines(FDrawBitmap, lines, font, interval, x, y);
}

void TFormMain::TabSheetSysInfoShow(QObject*) {
    EditSIUser->setText(QString::fromStdString(GetLoginUserName()));
    EditSIComp->setText(QString::fromStdString(GetLocalComputerName()));
    EditSIIPAddr->setText(QString::fromStdString(GetLocalIPAddress()));
}

// ---- wallpaper --------------------------------------------------------------------------

void TFormMain::ShowWallpaper(const std::string& keepFile, const std::string& showFile) {
    const bool stretch = IsWallpaperStretched();
    const bool tile = IsWallpaperTiled();
    ChangeWallpaper(showFile, tile, stretch);
    SetWallpaperFile(keepFile);
}

void TFormMain::ButtonWallpaperDrawClick(QObject*) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        GetWallpaperFile(FBaseWallpaper);
        ShowWallpaper(FBaseWallpaper, FBaseWallpaper);
    } catch (...) {
        QApplication::restoreOverrideCursor();
        throw;
    }
    QApplication::restoreOverrideCursor();
}

void TFormMain::SpeedButtonPropertyClick(QObject*) {
    ExecApplication(this, false, "control.exe", "desk.cpl", "", 5);
}

// ---- launcher ---------------------------------------------------------------------------

void TFormMain::RunApplications(int list) {
    const auto& controls = FAppExecControls[static_cast<std::size_t>(list)];
    const auto& fields = controls.fields;
    const auto line = [&](std::size_t field, int row) -> const std::string& {
        static const std::string none;
        const auto& lines = fields[field]->lines;
        return static_cast<std::size_t>(row) < lines.size() ? lines[static_cast<std::size_t>(row)]
                                                            : none;
    };
    enum Field {
        Stat,
        Cmd,
        CmdParam,
        TmpDir,
        STNormal,
        STMin,
        STMax,
        WTWait,
        WTNoWait,
        WTNoWaitSec
    };
    for (int i = 0; i < controls.checkList->count(); ++i) {
        if (line(Stat, i) != "1")
            continue;
        const bool wait = line(WTWait, i) == "1";
        const bool started =
            ExecApplication(this, wait, line(Cmd, i), line(CmdParam, i), line(TmpDir, i), 1);
        if (!started || wait)
            continue;
        const auto seconds = parseIntegerText(line(WTNoWaitSec, i));
        if (!seconds)
            throw Error(formatMessage("'%s' は整数ではありません", line(WTNoWaitSec, i)));
        if (*seconds > 0)
            platform::sleepMilliseconds(*seconds * 1000);
    }
}

// ---- start-up registration -------------------------------------------------------------

void TFormMain::SpeedButtonStartUpClick(QObject*) {
    const auto inform = [](const char* message, platform::MessageIcon icon) {
        platform::messageService().show({kTitle, message, icon, platform::MessageButtons::Ok});
    };
    if (UpdateStartUpButton()) {
        std::remove(FStartUpLink.c_str());
        inform("『ZorbelPaneglyph』をスタートアップから削除しました。",
               platform::MessageIcon::Information);
    } else {
        const std::string& program = FProgramFile;
        if (CreateShortcut(FStartUpLink, program, "-OnlyDraw", LaunchFolderOf(program), kTitle))
            inform("『ZorbelPaneglyph』をスタートアップに登録しました。",
                   platform::MessageIcon::Information);
        else
            inform("『ZorbelPaneglyph』をスタートアップに登録できませんでした。",
                   platform::MessageIcon::Error);
    }
    UpdateStartUpButton();
}

} // namespace zbpg

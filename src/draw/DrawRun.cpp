#include "draw/DrawRun.h"

#include "base/Error.h"
#include "common/zbpg_common.h"
#include "draw/BusyRun.h"
#include "draw/Renderers.h"
#include "platform/desktop/DesktopService.h"
#include "platform/desktop/qt/DesktopPicture.h"
#include "platform/os/Processes.h"
#include "platform/os/RunFile.h"
#include "platform/os/SessionLog.h"
#include "rotation/BmpFile.h"
#include "rotation/NextWallpaper.h"
#include "settings/RegMng.h"
#include "settings/Schema.h"
#include "text/IntegerText.h"
#include "text/Texts.h"

#include <algorithm>

namespace zbpg {
namespace {

// The longest pause after a start without waiting: the most the entry editor offers. A
// hand-edited file may hold any number, and a pause of years helps nobody.
constexpr int kMaxPauseSeconds = 999;
constexpr const char* kPaintIndexItem = settingsItemName("WPPaintIdx");
// The rows of the picture file are written in pieces of about this size.
constexpr std::size_t kBitmapWriteBytes = std::size_t{1} << 20;

// The drawn picture as a 24-bit BMP file, written a piece at a time: a screen-sized picture is
// never held a second time as its file.
bool writeBitmapFile(const QImage& picture, platform::RunFile& file) {
    Bitmap bitmap;
    bitmap.width = picture.width();
    bitmap.height = picture.height();
    bitmap.bitsPerPixel = 24;
    std::string bytes = encodeBmpHeaders(bitmap);
    const std::size_t rowBytes = bitmap.rowBytes();
    const int width = picture.width();
    bytes.reserve(kBitmapWriteBytes + rowBytes);
    for (int y = picture.height(); y-- > 0;) { // bottom-up
        const auto* pixels = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        const std::size_t start = bytes.size();
        bytes.resize(start + rowBytes); // the padding stays zero
        char* to = bytes.data() + start;
        for (int x = 0; x < width; ++x) {
            *to++ = static_cast<char>(qBlue(pixels[x]));
            *to++ = static_cast<char>(qGreen(pixels[x]));
            *to++ = static_cast<char>(qRed(pixels[x]));
        }
        if (bytes.size() >= kBitmapWriteBytes || y == 0) {
            if (!file.append(bytes))
                return false;
            bytes.clear();
        }
    }
    return picture.height() > 0 || file.append(bytes);
}

} // namespace

DrawRun::DrawRun(const Options& options, bool onlyDraw, std::string tmpBitmapFile,
                 RotationContext rotation)
    : FOptions(options), FOnlyDraw(onlyDraw), FTmpBitmapFile(std::move(tmpBitmapFile)),
      FRotation(std::move(rotation)) {}

void DrawRun::DrawDesktop() {
    const BusyRun busy;
    // A run that was killed leaves its picture behind. The recorded wallpaper never names it,
    // so it is nobody's and goes; the pictures of runs still going stay.
    platform::RunFile::removeLeftovers(FTmpBitmapFile);
    std::string before;
    GetWallpaperFile(before);
    if (FOptions.wallpaper.draw)
        rotateWallpaper();
    RunApplications(AppList::Before);
    GetWallpaperFile(FBaseWallpaper);
    // Re-showing the clean wallpaper before the desktop is taken makes this mode draw on it
    // every time; overwriting draws over what is shown, earlier drawings included.
    if (FOptions.drawing.method.isDown(DrawMethod::Rewrite))
        ShowWallpaper(FBaseWallpaper, FBaseWallpaper);
    PrepareDesktopCanvas();
    for (const DrawItem item : FOptions.drawing.sequence()) {
        switch (item) {
        case DrawItem::ScreenSize:
            if (FOptions.monitorFrame.draw)
                DrawMonitorFrames();
            break;
        case DrawItem::SystemInfo:
            DrawSystemInformation();
            break;
        case DrawItem::FreeMessage:
            if (FOptions.freeMessage.draw)
                DrawFreeMessage();
            break;
        }
    }
    {
        // The picture is only needed while it is being shown, and goes however showing ends.
        platform::RunFile picture(FTmpBitmapFile);
        std::vector<std::string> notKept;
        if (!picture.isOpen() || !writeBitmapFile(FDrawBitmap, picture))
            notKept.push_back(formatMessage(texts::kCannotCreateFile, picture.path()));
        // The desktop takes the picture as drawn: nothing reads the file back, so a full disk or
        // a folder that cannot be written stops the run only where the desktop itself needs a
        // file (and raises its name). The X root window shows the picture all the same.
        try {
            showPictureOrRaise(FBaseWallpaper,
                               platform::DesktopPicture::screenPictureOf(FDrawBitmap),
                               picture.path());
        } catch (const platform::PictureNotKept& error) {
            notKept.push_back(error.what());
        }
        for (const std::string& problem : notKept)
            platform::tellOnStandardError(problem);
    }
    RunApplications(AppList::After);
    if (!FOnlyDraw && !recordWallpaperFile(before))
        throw Error(formatMessage(texts::kCannotSetValue, "Wallpaper"));
}

void DrawRun::rotateWallpaper() {
    // Two runs at once (an autostart entry and a click, two logins) must each move the rotation
    // on: the index is read, the picture chosen and shown, and the index stored in one step
    // under the settings' lock, which the other run waits for. One picture shown at a time also
    // keeps the converted file the picture that is shown.
    SettingsBatch batch(FRotation.settings, BatchMode::Update);
    const WallpaperSelection selection = SelectNextWallpaper();
    // Nobody may be watching a logon run: a picture passed over is told, and the run goes on.
    for (const std::string& message : selection.passedOver)
        platform::tellOnStandardError(message);
    // Only a logon run moves the rotation on, so a trial run shows its picture again.
    if (selection.reached >= 0 && FOnlyDraw) {
        FRotation.settings.ItemFiler(kPaintIndexItem).WriteInteger(selection.reached);
        batch.commit();
    }
}

WallpaperSelection DrawRun::SelectNextWallpaper() {
    const auto& wallpaper = FOptions.wallpaper;
    WallpaperRotation rotation;
    for (const CheckListRow& row : wallpaper.rows) {
        if (row.checked)
            rotation.entries.push_back(row.text);
    }
    rotation.subFolders = wallpaper.subFolder;
    rotation.random = wallpaper.order.isDown(WallpaperOrder::Random);
    rotation.tile = wallpaper.position.isDown(WallpaperPosition::Tile);
    rotation.stretch = wallpaper.position.isDown(WallpaperPosition::Stretch);
    const int stored = FRotation.settings.ItemFiler(kPaintIndexItem).ReadInteger();
    return zbpg::SelectNextWallpaper(rotation, FOnlyDraw, stored, FRotation.random,
                                     FRotation.bitmapFile);
}

void DrawRun::PrepareDesktopCanvas() {
    // The desktop as displayed is read straight into the picture: no full-screen window has to
    // cover the screen for it.
    auto& desktop = platform::desktopService();
    FDrawBitmap =
        platform::DesktopPicture::paintDesktop(QSize(desktop.screenWidth(), desktop.screenHeight()))
            .convertToFormat(QImage::Format_RGB32);
    // The picture covers the screen's own pixels; its text is drawn at the screen's density.
    const int dotsPerMeter = qRound(platform::DesktopPicture::screenDpi() / 0.0254);
    FDrawBitmap.setDotsPerMeterX(dotsPerMeter);
    FDrawBitmap.setDotsPerMeterY(dotsPerMeter);
}

void DrawRun::DrawMonitorFrames() {
    const auto& frame = FOptions.monitorFrame;
    for (std::size_t i = 0; i < kFixedFrameSizes.size(); ++i) {
        const auto [width, height] = kFixedFrameSizes[i];
        if (frame.sizes[i])
            DrawMonitorFrame(width, height, sizeText(width, height));
    }
    if (frame.freeSize)
        DrawMonitorFrame(frame.freeWidth, frame.freeHeight, frame.comment);
}

void DrawRun::DrawMonitorFrame(int width, int height, const std::string& label) {
    const auto& frame = FOptions.monitorFrame;
    drawMonitorFrame(FDrawBitmap, width, height, label, frame.font, frame.frameAnchor(),
                     frame.color);
}

void DrawRun::DrawSystemInformation() {
    for (std::size_t i = 0; i < kSystemInfoLines; ++i) {
        const auto& line = FOptions.systemInfo[i];
        if (!line.draw)
            continue;
        const std::string value = fetchSystemInfo(static_cast<SystemInfoLine>(i));
        if (OnSystemInfo)
            OnSystemInfo(static_cast<SystemInfoLine>(i), value);
        // The label and the value are joined with nothing between them: the labels end in "：".
        DrawTextItem(line.label + value, line.font, line.left, line.top);
    }
}

void DrawRun::DrawTextItem(const std::string& text, const FontDescription& font, int x, int y) {
    drawTextItem(FDrawBitmap, text, font, x, y);
}

void DrawRun::DrawFreeMessage() {
    const auto& message = FOptions.freeMessage;
    DrawTextLines(freeMessageLines(message), message.font, message.lineInterval, message.left,
                  message.top);
}

void DrawRun::DrawTextLines(const std::vector<std::string>& lines, const FontDescription& font,
                            int interval, int x, int y) {
    drawTextLines(FDrawBitmap, lines, font, interval, x, y);
}

void DrawRun::RunApplications(AppList which) {
    const auto& list = FOptions.appList(which);
    for (std::size_t entry = 0; entry < list.rows.size(); ++entry) {
        const auto value = [&](AppEntryField field) -> const std::string& {
            return list.value(entry, field);
        };
        if (value(AppEntryField::Stat) != "1")
            continue;
        const bool wait = value(AppEntryField::WTWait) == "1";
        const bool started =
            ExecApplication(nullptr, wait, value(AppEntryField::Cmd),
                            value(AppEntryField::CmdParam), value(AppEntryField::TmpDir), 1);
        if (!started || wait)
            continue;
        const std::string& pause = value(AppEntryField::WTNoWaitSec);
        const auto seconds = parseIntegerText(pause);
        if (!seconds)
            throw Error(withSettingsKey(formatMessage(texts::kNotAnInteger, pause), "AppExec",
                                        appListStem(which) + std::string("WTNoWaitSec")));
        if (*seconds > 0)
            platform::sleepMilliseconds(std::min(*seconds, kMaxPauseSeconds) * 1000);
    }
}

std::string fetchSystemInfo(SystemInfoLine line) {
    switch (line) {
    case SystemInfoLine::User:
        return GetLoginUserName();
    case SystemInfoLine::Computer:
        return GetLocalComputerName();
    case SystemInfoLine::IPAddress:
        break;
    }
    return GetLocalIPAddress();
}

std::vector<std::string> freeMessageLines(const FreeMessageOptions& message) {
    return message.fromFile() ? readMessageFile(message.file) : message.input;
}

} // namespace zbpg

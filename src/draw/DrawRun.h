#pragma once

#include "options/Options.h"
#include "rotation/NextWallpaper.h"
#include "settings/RegMng.h"
#include "text/FontDescription.h"

#include <QImage>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace zbpg {

// What the wallpaper rotation of a run needs besides the options.
struct RotationContext {
    // Keeps "WPPaintIdx", the index of the picture the last logon run showed; a logon run
    // writes it at once, outside the options.
    TRegManager& settings;
    std::mt19937& random;   // the random order's generator
    std::string bitmapFile; // the chosen picture, converted: the clean wallpaper
};

// One draw run, the program's main job: it captures the desktop as displayed, draws the enabled
// items onto it in the user's order, shows the result as the desktop picture while the recorded
// wallpaper stays the clean image, and starts the programs of the two lists around it. It reads
// nothing but its options; the settings window and the logon run both start it.
class DrawRun final {
public:
    // onlyDraw is the logon run, which leaves the wallpaper recorded as it finds it after the
    // programs of the before list; a trial run records the wallpaper it started with again.
    // While it is shown, the composed picture is written to a file of the run's own named after
    // tmpBitmapFile (platform::RunFile), so that runs at the same time never share one. With the
    // wallpaper rotation on, the run first shows the next picture of the list that can be shown
    // (one that cannot is named on standard error and passed over); only a logon run moves the
    // rotation on, under the settings' lock.
    DrawRun(const Options& options, bool onlyDraw, std::string tmpBitmapFile,
            RotationContext rotation);

    // Told each system-information value as it is fetched for a line that is drawn.
    std::function<void(SystemInfoLine line, const std::string& value)> OnSystemInfo;

    // The whole run. An error of a step ends the run there and is raised, also when the picture
    // could not be shown or a wallpaper value not recorded; the hourglass and the title are put
    // back and the composed picture's file removed however it ends. The files killed runs left
    // are removed first. A picture that is shown though its file could not be written or the
    // desktop could not keep it (PictureNotKept) does not end the run: what could not be kept
    // is told on standard error once it is shown.
    void DrawDesktop();

    // The recorded wallpaper the run drew on (the clean image).
    const std::string& baseWallpaper() const { return FBaseWallpaper; }

private:
    void rotateWallpaper();
    WallpaperSelection SelectNextWallpaper();
    void PrepareDesktopCanvas();
    void DrawMonitorFrames();
    void DrawMonitorFrame(int width, int height, const std::string& label);
    void DrawSystemInformation();
    void DrawTextItem(const std::string& text, const FontDescription& font, int x, int y);
    void DrawFreeMessage();
    void DrawTextLines(const std::vector<std::string>& lines, const FontDescription& font,
                       int interval, int x, int y);
    void RunApplications(AppList list);

    const Options& FOptions;
    bool FOnlyDraw;
    std::string FTmpBitmapFile;
    RotationContext FRotation;
    std::string FBaseWallpaper;
    QImage FDrawBitmap;
};

// The value of a system-information line as this computer gives it now (empty when it cannot
// be had).
std::string fetchSystemInfo(SystemInfoLine line);

// The lines of the free message: the message file's lines, or the typed lines.
std::vector<std::string> freeMessageLines(const FreeMessageOptions& message);

} // namespace zbpg

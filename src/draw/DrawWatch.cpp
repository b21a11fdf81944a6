#include "draw/DrawWatch.h"

#include "base/ScopeExit.h"
#include "common/zbpg_common.h"
#include "platform/desktop/DesktopService.h"
#include "platform/desktop/WallpaperValues.h"
#include "platform/desktop/qt/DesktopPicture.h"
#include "text/Texts.h"

#include <exception>

namespace zbpg {

DrawnValues drawnValuesNow(const Options& options) {
    DrawnValues values;
    for (std::size_t i = 0; i < kSystemInfoLines; ++i)
        if (options.systemInfo[i].draw)
            values.lines[i] = fetchSystemInfo(static_cast<SystemInfoLine>(i));
    // The screen as the run takes it: its canvas is this size, its text at this density.
    auto& desktop = platform::desktopService();
    values.screen = QSize(desktop.screenWidth(), desktop.screenHeight());
    values.dpi = platform::DesktopPicture::screenDpi();
    std::string file;
    GetWallpaperFile(file); // adopts what the user chose in the desktop's settings
    values.wallpaper = platform::recordedWallpaper();
    values.wallpaper.background = platform::recordedBackgroundColour();
    return values;
}

std::vector<std::string> differencesOf(const DrawnValues& before, const DrawnValues& now) {
    static constexpr std::array<const char*, kSystemInfoLines> kLineNames{
        texts::kDrawnUser, texts::kDrawnComputer, texts::kDrawnAddress};
    std::vector<std::string> names;
    if (before.screen != now.screen || before.dpi != now.dpi)
        names.emplace_back(texts::kDrawnScreen);
    for (std::size_t i = 0; i < kSystemInfoLines; ++i)
        if (before.lines[i] != now.lines[i])
            names.emplace_back(kLineNames[i]);
    if (before.wallpaper != now.wallpaper)
        names.emplace_back(texts::kDrawnWallpaper);
    return names;
}

void redrawOnCleanWallpaper(const Options& options, const std::string& tmpBitmapFile,
                            RotationContext rotation) {
    Options redraw = options;
    redraw.wallpaper.draw = false;
    redraw.drawing.method.set(DrawMethod::Rewrite, true);
    for (auto& list : redraw.appLists)
        list.rows.clear();
    DrawRun(redraw, true, tmpBitmapFile, std::move(rotation)).DrawDesktop();
}

DrawWatch::DrawWatch(Steps steps, DrawnValues drawn, std::chrono::milliseconds settleTime)
    : m_steps(std::move(steps)), m_drawn(std::move(drawn)) {
    m_settle.setSingleShot(true);
    m_settle.setInterval(settleTime);
    connect(&m_settle, &QTimer::timeout, this, &DrawWatch::check);
}

void DrawWatch::noteChange() {
    // Later changes join the check already waiting rather than putting it off: a source that
    // keeps changing still gets its redraws.
    if (!m_settle.isActive())
        m_settle.start();
}

void DrawWatch::check() {
    // A run lets pending events through once (the hourglass); a check they start waits.
    if (m_checking) {
        noteChange();
        return;
    }
    m_checking = true;
    const ScopeExit done([this] {
        m_checking = false;
        if (m_steps.settled)
            m_steps.settled();
    });
    try {
        const Options options = m_steps.options();
        const DrawnValues now = drawnValuesNow(options);
        if (now == m_drawn)
            return;
        const auto differences = differencesOf(m_drawn, now);
        m_steps.redraw(options);
        m_drawn = now;
        m_steps.redrawn(differences);
    } catch (const std::exception& error) {
        // The drawing stays as it was; the next change tries again.
        m_steps.failed(error.what());
    }
}

} // namespace zbpg

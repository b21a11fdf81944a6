#pragma once

#include "draw/DrawRun.h"
#include "options/Options.h"
#include "platform/desktop/WallpaperBackend.h"

#include <QObject>
#include <QSize>
#include <QTimer>
#include <array>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zbpg {

// What a drawing shows that the world can change under it: the values of the
// system-information lines it draws, the screen's size and density, and the clean wallpaper it
// is drawn on.
struct DrawnValues {
    std::array<std::optional<std::string>, kSystemInfoLines> lines; // none where not drawn
    QSize screen;
    int dpi = 0;
    platform::DesktopWallpaper wallpaper; // as recorded, the background colour with it

    bool operator==(const DrawnValues&) const = default;
};

// The values as they are now for a drawing with these options. A wallpaper the user has chosen
// in the desktop's own settings is adopted first, as every run does.
DrawnValues drawnValuesNow(const Options& options);

// The names of the values that differ ("コンピュータ名", "画面", …), in the order of the
// drawing's parts.
std::vector<std::string> differencesOf(const DrawnValues& before, const DrawnValues& now);

// One redraw for the watch: the draw run on the clean wallpaper, which is shown again before
// the desktop is taken in either drawing mode (an earlier drawing would stay under the new
// one); the rotation is not moved on and the programs of the two lists, which belong to the
// logon, are not started.
void redrawOnCleanWallpaper(const Options& options, const std::string& tmpBitmapFile,
                            RotationContext rotation);

// Keeps a drawing true: told of a change by whatever watches the system and the desktop, it
// lets the changes of the moment settle, then compares the values a drawing shows now with
// those it was drawn with, and redraws only when one differs. Nothing wakes it in between.
class DrawWatch final : public QObject {
    Q_OBJECT
public:
    // How long changes are gathered into one redraw: a network that comes up tells of its
    // link, address and routes one after another.
    static constexpr std::chrono::milliseconds kSettleTime{2000};

    struct Steps {
        std::function<Options()> options; // read afresh at each check
        std::function<void(const Options&)> redraw;
        std::function<void(const std::vector<std::string>& differences)> redrawn;
        std::function<void(const std::string& message)> failed; // the redraw's error
        std::function<void()> settled; // after each check, whatever it found
    };

    // drawn: the values the drawing on the desktop now was drawn with.
    DrawWatch(Steps steps, DrawnValues drawn, std::chrono::milliseconds settleTime = kSettleTime);

    // Something may have changed: a check follows once the settle time has passed since the
    // first change not checked yet.
    void noteChange();

private:
    void check();

    Steps m_steps;
    DrawnValues m_drawn;
    QTimer m_settle;
    bool m_checking = false;
};

} // namespace zbpg

#pragma once

#include "platform/desktop/WallpaperBackend.h"

#include <QImage>
#include <QSize>
#include <memory>
#include <optional>
#include <string>

namespace zbpg::platform {

// The way the session's desktop shows a wallpaper: the backend of the desktop the session
// names (XDG_CURRENT_DESKTOP, else XDG_SESSION_DESKTOP, else DESKTOP_SESSION); else swaymsg
// where sway answers; else, outside Wayland, the X root window; else nothing. Standard error is
// told once a process when the named desktop cannot be reached, and which way is taken instead.
class SessionDesktop final {
public:
    enum class Kind { Desktop, RootWindow, None };

    SessionDesktop();

    Kind kind() const { return m_kind; }
    WallpaperBackend* backend() const { return m_backend.get(); }

    // Shows a picture made for the primary screen. Desktops read the file lazily and again at
    // their next start, so it is kept in the cache folder under a name that changes each time
    // (a desktop ignores a change to the same name); the one shown before is removed once the
    // new one is shown. A copy that cannot be kept raises "ファイル %s を作成できません".
    [[nodiscard]] bool showScreenPicture(const QImage& picture);

    // The desktop's wallpaper when it is not one of the program's pictures: the user has chosen
    // it in the desktop's own settings.
    std::optional<DesktopWallpaper> chosenWallpaper();

    // Tells of changes in the desktop's own wallpaper settings while the subscription lives,
    // where the desktop's backend has a signal for them; nothing for the root window, whose
    // changes the X server tells (DisplayWatch).
    std::unique_ptr<ChangeSubscription> watchChosenWallpaper(ChangeCallback changed);

    // The desktop as displayed, for a desktop backend: the program's picture when it was
    // shown in this session, else the desktop's own wallpaper in its style; nothing when the
    // desktop shows neither, or for the root window.
    std::optional<QImage> paintDesktop(QSize screen);

    // "…/ZorbelPaneglyph/desktop-<session>-<stamp>.png" in the cache folder.
    static bool isProgramPicture(const std::string& path);

private:
    std::unique_ptr<WallpaperBackend> m_backend;
    Kind m_kind = Kind::None;
};

} // namespace zbpg::platform

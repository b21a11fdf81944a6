#pragma once

#include "platform/desktop/ScreenPicture.h"
#include "platform/desktop/WallpaperBackend.h"

#include <QColor>
#include <QImage>
#include <QSize>
#include <optional>
#include <string>

namespace zbpg::platform {

// The stand-in for the desktop's wallpaper and painting. The displayed desktop is a picture
// rendered for the screen; it is kept as a file in the program's cache folder, so that it
// outlives the process (without an X server it is the only display there is), and, when an X
// server is there, set as the root window's background
// with the properties X11 wallpaper setters agree on (_XROOTPMAP_ID, ESETROOT_PMAP_ID), so that
// terminals and compositors show it.
class DesktopPicture final {
public:
    // The desktop as a wallpaper makes it: the image centred on the background colour, tiled
    // from the top left, stretched to the screen, scaled keeping its shape to cover the screen
    // (cropped evenly at two sides; spanned alike) or to fit it (on the background colour), or
    // the colour alone; a picture made for the screen is centred. A null image gives the colour
    // alone.
    static QImage compose(const QImage& wallpaper, QSize screen, WallpaperStyle style,
                          const QColor& background);

    // Makes a picture file the displayed wallpaper, placed in the style on the background
    // colour; an empty path shows the colour alone. The file may be deleted right after: the
    // picture is rendered at once. Only a regular file is read, within Qt's image limits.
    // False when the file cannot be read as an image or the X server refuses the picture; see
    // showScreenPicture for the picture that cannot be kept.
    [[nodiscard]] static bool setDeskWallpaper(const std::string& path, WallpaperStyle style);

    // Shows a picture made for the screen on the X root window's primary monitor, and keeps it;
    // every other monitor keeps what it shows (at a session's start, when it shows nothing yet:
    // the recorded wallpaper, and for setDeskWallpaper the new one, in its style). A picture that
    // cannot be kept raises "ファイル %s を作成できません" with the kept picture's path: on an
    // X server after it has been shown (PictureNotKept), without one as an Error, since nothing
    // could be shown. False when the X server refuses it.
    [[nodiscard]] static bool showScreenPicture(const QImage& picture);

    // The wallpaper another program (hsetroot, feh, nitrogen) set on the root window while no
    // wallpaper is recorded: its primary monitor's part, kept in the cache folder as
    // wallpaper.png and returned as a picture made for the screen, so that it can be recorded as
    // the user's clean wallpaper. Nothing when a wallpaper is recorded, when the root window
    // shows none or one of this program's, or when it cannot be kept.
    static std::optional<DesktopWallpaper> keepOtherProgramsWallpaper();

    // The desktop as displayed now, at screen size. On a desktop that paints its own
    // background: the program's picture when it was shown there in this session, else the
    // desktop's own wallpaper in its style. Under X11 otherwise: the picture of the root
    // window's _XROOTPMAP_ID pixmap when there is one (a wallpaper set in this session, by us or
    // another tool). Else, as at the start of a session, the recorded "Wallpaper" in its
    // style. A picture of an earlier session is never read back, so a new session does not
    // start from an earlier session's drawing.
    static QImage paintDesktop(QSize screen);

    // The recorded "Wallpaper" placed as the style values say on the background colour.
    static QImage paintRecorded(QSize screen);

    // A picture file the user names: read only when it is a regular file within the bytes Qt
    // would allocate for an image (a FIFO or a device is never waited for), decoded within
    // Qt's image limits. A null image when it cannot be had.
    static QImage loadPicture(const std::string& path);

    // A drawn picture as the value the desktop service shows, sharing its pixels, and back.
    static ScreenPicture screenPictureOf(const QImage& picture);
    static QImage imageOf(const ScreenPicture& picture);

    // "Control Panel\Colors" "Background" ("R G B"), black when absent or unreadable.
    static QColor backgroundColor();

    // $XDG_CACHE_HOME/ZorbelPaneglyph/desktop.png
    static std::string keptPicturePath();

    // The primary screen in its own pixels, whatever scaling Qt applies to its windows: the X
    // server's primary monitor (RandR), else its whole screen; without X, Qt's primary screen
    // in device pixels.
    static QSize screenSize();

    // The density text is drawn at on this desktop, in dots per inch: the X server's
    // "Xft.dpi", else Qt's device pixel ratio times kStandardDpi.
    static int screenDpi();
    static constexpr int kStandardDpi = 96;

    static bool hasXServer();

    // Tells one login session from the next: a mark kept on the X server's root window for
    // the server's life; on Wayland or without X, the boot and the login session.
    static std::string sessionMark();
};

} // namespace zbpg::platform

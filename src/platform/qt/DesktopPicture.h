#pragma once

#include <QColor>
#include <QImage>
#include <QSize>
#include <string>

namespace zbpg::platform {

enum class WallpaperPlacement { Center, Tile, Stretch };

// The stand-in for the desktop's wallpaper and painting. The displayed desktop is a picture
// rendered for the screen; it is kept as a file in the program's cache folder, so that it
// outlives the process (without an X server it is the only display there is), and, when an X
// server is there, set as the root window's background
// with the properties X11 wallpaper setters agree on (_XROOTPMAP_ID, ESETROOT_PMAP_ID), so that
// terminals and compositors show it.
class DesktopPicture final {
public:
    // The desktop as a wallpaper makes it: the image centred on the background colour, tiled
    // from the top left, or stretched to the screen. A null image gives the colour alone.
    static QImage compose(const QImage& wallpaper, QSize screen, WallpaperPlacement placement,
                          const QColor& background);

    // Makes a BMP (or other image) file the displayed wallpaper, placed as the registry values
    // "TileWallpaper" ("1": tiled) and "WallpaperStyle" ("2": stretched) of "Control
    // Panel\Desktop" say. An empty path removes the wallpaper (the background colour only).
    // With updateIniFile the path is recorded as the value "Wallpaper". The file may be
    // deleted right after: the picture is rendered at once. Only a regular file is read, within
    // Qt's image limits. False when the file cannot be read as an image or the X server refuses
    // the picture. A picture that cannot be kept raises "ファイル %s を作成できません" with the
    // kept picture's path: on an X server after it has been shown (and recorded), without one
    // before anything is recorded, since nothing could be shown.
    [[nodiscard]] static bool setDeskWallpaper(const std::string& path, bool updateIniFile);

    // The desktop as displayed now, at screen size: under X11 the picture of the root window's
    // _XROOTPMAP_ID pixmap when there is one (a wallpaper set in this session, by us or another
    // tool); otherwise, as at the start of a session or without an X server, the recorded
    // "Wallpaper" placed as the style values say on the background colour. The kept picture is
    // never read back, so a new session does not start from an earlier session's drawing.
    static QImage paintDesktop(QSize screen);

    // "Control Panel\Colors" "Background" ("R G B"), black when absent or unreadable.
    static QColor backgroundColor();

    // $XDG_CACHE_HOME/ZorbelPaneglyph/desktop.png
    static std::string keptPicturePath();

    // The primary screen in pixels (the X screen when there is a display, else Qt's).
    static QSize screenSize();
};

} // namespace zbpg::platform

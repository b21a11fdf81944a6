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

    // The process has just written this picture to the file at path: until forgotten, or until
    // the file changes, loading that file gives the picture itself instead of reading the file
    // back (a screen-sized picture at every logon run).
    static void rememberWrittenPicture(const std::string& path, const QImage& picture);
    // The picture is about to be shown, and is kept as a file then (desktop.png, or the file a
    // desktop reads): that file's encoding starts now and runs while the picture is written
    // and shown. forgetWrittenPicture ends it too.
    static void prepareToShow(const QImage& picture);
    static void forgetWrittenPicture();

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

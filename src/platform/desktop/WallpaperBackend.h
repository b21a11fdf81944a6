#pragma once

#include "platform/desktop/ChangeSubscription.h"

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zbpg::platform {

// How a desktop places its wallpaper, in the program's terms. The first three are the positions
// the registry values record; the desktops offer more, each in words of its own:
// Cover scales the picture keeping its shape until it covers the screen, cropping what is over;
// Fit scales it keeping its shape until it fits, the background colour around it; Span covers
// all monitors together, which on one screen is Cover; ColourOnly shows the background colour
// without the picture. Screen is a picture made for the primary screen: each desktop shows it
// pixel for pixel there, without tiling or offset.
enum class WallpaperStyle { Center, Tile, Stretch, Screen, Cover, Fit, Span, ColourOnly };

// A desktop's word for a wallpaper style. Read, a word gives its style; written, a style gives
// the first word that names it.
struct StyleWord {
    const char* word;
    WallpaperStyle style;
};
std::optional<WallpaperStyle> styleOfWord(std::span<const StyleWord> words, std::string_view word);
// nullptr when no word names the style.
const char* wordOfStyle(std::span<const StyleWord> words, WallpaperStyle style);

// A wallpaper as a desktop's own settings name it.
struct DesktopWallpaper {
    std::string file;
    WallpaperStyle style = WallpaperStyle::Center;
    // The colour around a centred picture, 0xRRGGBB, when the desktop names one.
    std::optional<unsigned> background;

    bool operator==(const DesktopWallpaper&) const = default;
};

// One way of setting the wallpaper of a desktop that paints its own background, through that
// desktop's own interface.
class WallpaperBackend {
public:
    virtual ~WallpaperBackend() = default;
    // The desktop's name, as told on standard error when the session's own cannot be used.
    virtual std::string name() const = 0;
    // Whether the desktop's interface answers in this session.
    virtual bool available() = 0;
    // The wallpaper the desktop shows now; nothing when it cannot tell.
    virtual std::optional<DesktopWallpaper> current() = 0;
    // Makes the file the desktop's wallpaper, placed in the style. True when the desktop took
    // it.
    virtual bool show(const std::string& file, WallpaperStyle style) = 0;
    // Tells of changes to the wallpaper in the desktop's own settings while the subscription
    // lives, also of those the program makes itself; nothing where the desktop has no signal
    // for them.
    virtual std::unique_ptr<ChangeSubscription> watchChanges(ChangeCallback changed) {
        (void)changed;
        return nullptr;
    }
};

// The desktops the program knows how to reach.
enum class DesktopFamily { Gnome, Cinnamon, Mate, Xfce, Plasma, Lxqt, Lxde, Sway, Other };

// The family a session names: XDG_CURRENT_DESKTOP (a ":" list, the first known name wins),
// else XDG_SESSION_DESKTOP, else DESKTOP_SESSION, case-insensitively.
DesktopFamily sessionDesktopFamily();
// Whether the session runs on Wayland (XDG_SESSION_TYPE, else WAYLAND_DISPLAY): an X server
// there is Xwayland, whose root window nobody sees and which may come and go within the session.
bool isWaylandSession();
// The family of one desktop name ("GNOME", "X-Cinnamon", "plasma", …); Other when unknown.
DesktopFamily desktopFamilyOf(const std::string& name);

// The backends of the platform layer: GSettings (GNOME and its kin, Cinnamon, MATE), xfconf
// (XFCE), the desktop managers of LXQt and LXDE, and swaymsg. Plasma's lives with Qt.
std::unique_ptr<WallpaperBackend> makeGSettingsBackend(DesktopFamily family);
std::unique_ptr<WallpaperBackend> makeXfconfBackend();
std::unique_ptr<WallpaperBackend> makePcmanfmBackend(DesktopFamily family);
std::unique_ptr<WallpaperBackend> makeSwayBackend();

// "file:///a%20b.png" → "/a b.png"; a plain path stays as it is; empty for another scheme.
std::string pathOfFileUri(const std::string& uri);
std::string fileUriOf(const std::string& path);

} // namespace zbpg::platform

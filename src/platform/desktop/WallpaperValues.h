#pragma once

#include "platform/desktop/WallpaperBackend.h"

#include <optional>
#include <string>

namespace zbpg::platform {

// The user's wallpaper as the registry stand-in records it: the values "Wallpaper",
// "TileWallpaper" and "WallpaperStyle" of "Control Panel\Desktop", and the background colour
// of "Control Panel\Colors". This unit alone reads and writes them, so every part of the
// program agrees on what they mean.
enum class WallpaperValue { Wallpaper, TileWallpaper, WallpaperStyle };

// The value's name as stored ("Wallpaper", …), also the name its messages carry.
const char* wallpaperValueName(WallpaperValue value);

// The text of a value; empty when it is missing. A value that holds no text raises
// "'%s' のデータ型が不正です" with its name.
std::string readWallpaperValue(WallpaperValue value);
// False when it could not be written.
[[nodiscard]] bool writeWallpaperValue(WallpaperValue value, const std::string& text);
// Writes the text unless the value holds it already, so that showing a picture with settings
// that cannot be written (a read-only configuration) still works when nothing needs to change.
[[nodiscard]] bool recordWallpaperValue(WallpaperValue value, const std::string& text);

// The position the two style values record: tiled exactly when "TileWallpaper" is "1", else
// stretched exactly when "WallpaperStyle" is "2", else centred. Other texts other tools may
// have stored ("6", "1 ") count as neither.
WallpaperStyle recordedPosition();
// The two style values of a style: "1"/"0" and "2"/"0". Every style that scales the picture to
// the screen (stretched, covering, fitted, spanned, a picture made for the screen) is recorded
// as stretched; the colour alone as centred.
std::string tileTextOf(WallpaperStyle style);
std::string stretchTextOf(WallpaperStyle style);

// The style a wallpaper file is shown in: the desktop's own style when it was kept for this
// file and the two style values still record it, else the recorded position.
WallpaperStyle recordedStyleOf(const std::string& file);

// The recorded wallpaper file in the style it is shown in.
DesktopWallpaper recordedWallpaper();

// Records a wallpaper the user chose in a desktop's own settings: the three values as near as
// they can say it, and the desktop's own style beside them (under the program's own key), which
// the values cannot hold. Values that hold their text already are not written; false when one
// could not be written.
[[nodiscard]] bool recordChosenWallpaper(const DesktopWallpaper& wallpaper);

// Forgets the desktop's own style: the positions the program chose are the style from now on.
// False when it could not be removed.
[[nodiscard]] bool forgetDesktopStyle();

// "Control Panel\Colors" "Background" ("R G B", each 0 to 255) as 0xRRGGBB; nothing when it is
// missing or not such a text.
std::optional<unsigned> recordedBackgroundColour();

} // namespace zbpg::platform

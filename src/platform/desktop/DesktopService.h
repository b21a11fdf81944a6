#pragma once

#include "base/Error.h"
#include "platform/desktop/ScreenPicture.h"
#include "platform/desktop/WallpaperBackend.h"

#include <optional>
#include <string>

namespace zbpg::platform {

// A picture was shown, but its file could not be kept where the desktop reads it again: what
// had to happen with the picture shown (recording it) still happens before this is reported.
class PictureNotKept final : public Error {
public:
    using Error::Error;
};

// What the desktop shell does for the program: showing a document (the help pages) with the
// user's associated viewer, opening the desktop's display settings, telling the size of the
// primary screen, and showing a wallpaper. Nothing here records anything: the user's
// wallpaper values are the callers' business.
class DesktopService {
public:
    virtual ~DesktopService() = default;
    // True when a viewer was started.
    [[nodiscard]] virtual bool openDocument(const std::string& path) = 0;
    // True when the desktop's display settings were started.
    [[nodiscard]] virtual bool openDisplaySettings() = 0;
    // Width and height of the primary screen in pixels.
    virtual int screenWidth() = 0;
    virtual int screenHeight() = 0;
    // Makes the file the desktop's wallpaper, placed in its style; an empty file shows the
    // background colour alone. True when it is displayed. Raises PictureNotKept when it is
    // displayed but could not be kept, and an Error naming the file when nothing could be
    // displayed for a reason the caller cannot see otherwise.
    [[nodiscard]] virtual bool showWallpaper(const DesktopWallpaper& wallpaper) = 0;
    // Displays a picture made for the primary screen pixel for pixel. Raises as showWallpaper
    // does.
    [[nodiscard]] virtual bool showScreenPicture(const ScreenPicture& picture) = 0;
    // The wallpaper the user has chosen in the desktop's own settings since the program last
    // showed a picture there (on a bare X server: one another program set while no wallpaper is
    // recorded); nothing when the desktop shows the program's picture or cannot tell.
    virtual std::optional<DesktopWallpaper> chosenWallpaper() { return std::nullopt; }
};

// The installed service; without one nothing is opened or displayed and the screen is 1024 by
// 768.
DesktopService& desktopService();
void setDesktopService(DesktopService* service);

} // namespace zbpg::platform

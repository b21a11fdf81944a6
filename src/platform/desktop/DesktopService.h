#pragma once

#include "platform/desktop/WallpaperBackend.h"

#include <optional>
#include <string>

namespace zbpg::platform {

// What the desktop shell does for the program: showing a document (the help pages) with the
// user's associated viewer, telling the size of the primary screen, and displaying a picture
// file as the desktop wallpaper.
class DesktopService {
public:
    virtual ~DesktopService() = default;
    // True when a viewer was started.
    [[nodiscard]] virtual bool openDocument(const std::string& path) = 0;
    // Width and height of the primary screen in pixels.
    virtual int screenWidth() = 0;
    virtual int screenHeight() = 0;
    // Displays the file as wallpaper, placed as the user's wallpaper style values say; an empty
    // path shows the background colour alone. With updateIniFile the path is recorded as the
    // user's "Wallpaper" value. True when the picture is displayed. What could not be done
    // besides once the picture is displayed (keeping it as a file) raises an Error naming the
    // file.
    [[nodiscard]] virtual bool setDeskWallpaper(const std::string& path, bool updateIniFile) = 0;
    // Displays a picture made for the primary screen (a draw run's composed picture) pixel for
    // pixel; the file may go right after. Nothing is recorded. What cannot be done raises an
    // Error as setDeskWallpaper does.
    [[nodiscard]] virtual bool showScreenPicture(const std::string& path) {
        return setDeskWallpaper(path, false);
    }
    // The wallpaper the user has chosen in the desktop's own settings since the program last
    // showed a picture there; nothing when the desktop shows the program's picture or cannot
    // tell.
    virtual std::optional<DesktopWallpaper> chosenWallpaper() { return std::nullopt; }
};

// The installed service; without one nothing is opened or displayed and the screen is 1024 by
// 768.
DesktopService& desktopService();
void setDesktopService(DesktopService* service);

} // namespace zbpg::platform

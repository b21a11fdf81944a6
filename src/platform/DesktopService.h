#pragma once

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
};

// The installed service; without one nothing is opened or displayed and the screen is 1024 by
// 768.
DesktopService& desktopService();
void setDesktopService(DesktopService* service);

} // namespace zbpg::platform

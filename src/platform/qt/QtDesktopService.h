#pragma once

#include "platform/DesktopService.h"

namespace zbpg::platform {

// Documents open with the desktop's associated viewer (QDesktopServices); the screen and the
// wallpaper are those of DesktopPicture (the X screen when there is one).
class QtDesktopService final : public DesktopService {
public:
    bool openDocument(const std::string& path) override;
    int screenWidth() override;
    int screenHeight() override;
    bool setDeskWallpaper(const std::string& path, bool updateIniFile) override;
};

} // namespace zbpg::platform

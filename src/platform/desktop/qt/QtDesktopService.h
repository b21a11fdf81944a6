#pragma once

#include "platform/desktop/DesktopService.h"

namespace zbpg::platform {

// Documents open with the desktop's associated viewer (QDesktopServices); the screen is
// DesktopPicture's, in the screen's own pixels; the wallpaper goes to the session's desktop
// (SessionDesktop): through its own settings where it paints its own background, else onto
// the X root window. Without either nothing can be shown, which raises
// "壁紙を表示できるデスクトップがありません".
class QtDesktopService final : public DesktopService {
public:
    bool openDocument(const std::string& path) override;
    bool openDisplaySettings() override;
    int screenWidth() override;
    int screenHeight() override;
    bool showWallpaper(const DesktopWallpaper& wallpaper) override;
    bool showScreenPicture(const ScreenPicture& picture) override;
    std::optional<DesktopWallpaper> chosenWallpaper() override;
};

} // namespace zbpg::platform

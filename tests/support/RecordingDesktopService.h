#pragma once

#include "platform/desktop/DesktopService.h"
#include "platform/store/Registry.h"
#include "support/TempFolder.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zbpg::test {

// Records opened documents and every wallpaper shown, and reports a screen of the size given.
// Like the desktop's own service it records none of the user's wallpaper values.
class FakeDesktopService final : public platform::DesktopService {
public:
    // A file shown in its style, or a picture made for the screen (no file).
    struct Shown {
        std::string file;
        platform::WallpaperStyle style = platform::WallpaperStyle::Screen;
        platform::ScreenPicture picture;
        bool isPicture() const { return !picture.isNull(); }
    };

    explicit FakeDesktopService(int screenW = 1024, int screenH = 768)
        : width(screenW), height(screenH) {
        platform::setDesktopService(this);
    }
    ~FakeDesktopService() override { platform::setDesktopService(nullptr); }
    FakeDesktopService(const FakeDesktopService&) = delete;
    FakeDesktopService& operator=(const FakeDesktopService&) = delete;

    bool openDocument(const std::string& path) override {
        opened.push_back(path);
        return true;
    }
    bool openDisplaySettings() override {
        ++displaySettingsOpened;
        return true;
    }
    int screenWidth() override { return width; }
    int screenHeight() override { return height; }
    bool showWallpaper(const platform::DesktopWallpaper& wallpaper) override {
        return show({wallpaper.file, wallpaper.style, {}});
    }
    bool showScreenPicture(const platform::ScreenPicture& picture) override {
        return show({{}, platform::WallpaperStyle::Screen, picture});
    }
    std::optional<platform::DesktopWallpaper> chosenWallpaper() override { return chosen; }

    int width;
    int height;
    std::vector<std::string> opened;
    int displaySettingsOpened = 0;
    std::vector<Shown> wallpapers;
    // The "Wallpaper" value at each showing: what a process killed right then leaves recorded.
    std::vector<std::string> recordedWhenShown;
    bool wallpaperAnswer = true;
    // Runs while a wallpaper is shown (a run's files are there only then).
    std::function<void()> whileShowing;
    // What the desktop's own settings show when the user has chosen it there.
    std::optional<platform::DesktopWallpaper> chosen;

private:
    bool show(Shown wallpaper) {
        wallpapers.push_back(std::move(wallpaper));
        const auto recorded =
            platform::Registry::currentUser().readValue("Control Panel\\Desktop", "Wallpaper");
        recordedWhenShown.push_back(recorded ? recorded->text : "");
        if (whileShowing)
            whileShowing();
        return wallpaperAnswer;
    }
};

} // namespace zbpg::test

#pragma once

#include "platform/desktop/DesktopService.h"
#include "platform/store/Registry.h"
#include "support/TempFolder.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zbpg::test {

// Records opened documents and reports a screen of the size given; a wallpaper it is to record
// goes into the user's "Wallpaper" value, as the desktop's own service does.
class FakeDesktopService final : public platform::DesktopService {
public:
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
    int screenWidth() override { return width; }
    int screenHeight() override { return height; }
    // Records the request, the file's bytes at that moment (a run deletes its picture right
    // after showing it) and the "Wallpaper" value it leaves, which is what a process killed
    // right then would leave recorded.
    bool setDeskWallpaper(const std::string& path, bool updateIniFile) override {
        wallpapers.push_back({path, updateIniFile});
        shownBytes = readFile(path);
        const auto registry = platform::Registry::currentUser();
        if (updateIniFile && wallpaperAnswer)
            (void)registry.writeValue(kDesktop, "Wallpaper", platform::RegValue::string(path));
        const auto recorded = registry.readValue(kDesktop, "Wallpaper");
        recordedWhenShown.push_back(recorded ? recorded->text : "");
        return wallpaperAnswer;
    }
    std::optional<platform::DesktopWallpaper> chosenWallpaper() override { return chosen; }

    int width;
    int height;
    std::vector<std::string> opened;
    std::vector<std::pair<std::string, bool>> wallpapers; // path, updateIniFile
    std::string shownBytes;
    std::vector<std::string> recordedWhenShown;
    bool wallpaperAnswer = true;
    // What the desktop's own settings show when the user has chosen it there.
    std::optional<platform::DesktopWallpaper> chosen;

private:
    static constexpr const char* kDesktop = "Control Panel\\Desktop";
};

} // namespace zbpg::test

#pragma once

#include "platform/desktop/qt/DesktopPicture.h"
#include "platform/store/Registry.h"
#include "support/TempFolder.h"

#include <QImage>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace zbpg::test {

inline constexpr const char* kDesktopKey = "Control Panel\\Desktop";
inline constexpr const char* kColorsKey = "Control Panel\\Colors";
inline constexpr auto kCentred = platform::WallpaperStyle::Center;
inline constexpr auto kTiled = platform::WallpaperStyle::Tile;

// Each test gets its own registry and cache folder; the wallpaper values and files are looked
// at the way the desktop's users see them.
class DesktopPictureFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("XDG_CONFIG_HOME", m_home.file(".config").c_str(), 1);
        ::setenv("XDG_CACHE_HOME", m_home.file(".cache").c_str(), 1);
    }

    static void setRegistry(const char* key, const char* name, const std::string& text) {
        ASSERT_TRUE(platform::Registry::currentUser().writeValue(key, name,
                                                                 platform::RegValue::string(text)));
    }
    std::string writeBmp(const QImage& image, const std::string& name = "wall.bmp") const {
        const std::string path = m_home.file(name);
        EXPECT_TRUE(image.save(QString::fromStdString(path), "BMP"));
        return path;
    }
    static QImage keptPicture() {
        return QImage(QString::fromStdString(platform::DesktopPicture::keptPicturePath()));
    }
    static std::optional<platform::RegValue> recordedWallpaper() {
        return platform::Registry::currentUser().readValue(kDesktopKey, "Wallpaper");
    }

    TempFolder m_home;
};

} // namespace zbpg::test

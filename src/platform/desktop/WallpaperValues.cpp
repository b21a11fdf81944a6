#include "platform/desktop/WallpaperValues.h"

#include "base/Error.h"
#include "platform/store/Registry.h"
#include "text/Texts.h"

#include <algorithm>
#include <sstream>

namespace zbpg::platform {
namespace {

constexpr const char* kDesktopKey = "Control Panel\\Desktop";
constexpr const char* kColorsKey = "Control Panel\\Colors";

bool isText(const RegValue& value) {
    return value.type == RegValueType::String || value.type == RegValueType::ExpandString;
}

std::optional<unsigned> colourComponent(const std::string& word) {
    if (word.empty() || word.size() > 3 ||
        !std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const auto value = static_cast<unsigned>(std::stoi(word));
    return value <= 255 ? std::optional<unsigned>(value) : std::nullopt;
}

} // namespace

const char* wallpaperValueName(WallpaperValue value) {
    switch (value) {
    case WallpaperValue::TileWallpaper:
        return "TileWallpaper";
    case WallpaperValue::WallpaperStyle:
        return "WallpaperStyle";
    case WallpaperValue::Wallpaper:
        break;
    }
    return "Wallpaper";
}

std::string readWallpaperValue(WallpaperValue value) {
    const char* name = wallpaperValueName(value);
    const auto stored = Registry::currentUser().readValue(kDesktopKey, name);
    if (!stored)
        return {};
    if (!isText(*stored))
        throw Error(formatMessage(texts::kWrongValueType, name));
    return stored->text;
}

bool writeWallpaperValue(WallpaperValue value, const std::string& text) {
    return Registry::currentUser().writeValue(kDesktopKey, wallpaperValueName(value),
                                              RegValue::string(text));
}

bool recordWallpaperValue(WallpaperValue value, const std::string& text) {
    const auto stored = Registry::currentUser().readValue(kDesktopKey, wallpaperValueName(value));
    if (stored && stored->type == RegValueType::String && stored->text == text)
        return true;
    return writeWallpaperValue(value, text);
}

WallpaperStyle recordedWallpaperStyle() {
    if (readWallpaperValue(WallpaperValue::TileWallpaper) == "1")
        return WallpaperStyle::Tile;
    if (readWallpaperValue(WallpaperValue::WallpaperStyle) == "2")
        return WallpaperStyle::Stretch;
    return WallpaperStyle::Center;
}

std::string tileTextOf(WallpaperStyle style) {
    return style == WallpaperStyle::Tile ? "1" : "0";
}

std::string stretchTextOf(WallpaperStyle style) {
    switch (style) {
    case WallpaperStyle::Center:
    case WallpaperStyle::Tile:
    case WallpaperStyle::ColourOnly:
        return "0";
    case WallpaperStyle::Stretch:
    case WallpaperStyle::Screen:
    case WallpaperStyle::Cover:
    case WallpaperStyle::Fit:
    case WallpaperStyle::Span:
        break;
    }
    return "2";
}

DesktopWallpaper recordedWallpaper() {
    DesktopWallpaper wallpaper;
    wallpaper.file = readWallpaperValue(WallpaperValue::Wallpaper);
    wallpaper.style = recordedWallpaperStyle();
    return wallpaper;
}

std::optional<unsigned> recordedBackgroundColour() {
    const auto stored = Registry::currentUser().readValue(kColorsKey, "Background");
    if (!stored || !isText(*stored))
        return std::nullopt;
    std::istringstream words(stored->text);
    std::string red, green, blue, extra;
    if (!(words >> red >> green >> blue) || (words >> extra))
        return std::nullopt;
    const auto r = colourComponent(red), g = colourComponent(green), b = colourComponent(blue);
    if (!r || !g || !b)
        return std::nullopt;
    return *r << 16 | *g << 8 | *b;
}

} // namespace zbpg::platform

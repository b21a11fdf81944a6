#include "platform/desktop/WallpaperValues.h"

#include "base/Error.h"
#include "platform/store/Registry.h"
#include "text/Texts.h"

#include <algorithm>
#include <array>
#include <sstream>
#include <utility>

namespace zbpg::platform {
namespace {

constexpr const char* kDesktopKey = "Control Panel\\Desktop";
constexpr const char* kColorsKey = "Control Panel\\Colors";
// The desktop's own style of the user's wallpaper and the file it was chosen with.
constexpr const char* kDesktopStyleKey = "Software\\ZorbelPaneglyph\\Desktop";
constexpr const char* kStyleFileName = "Wallpaper";
constexpr const char* kStyleName = "Style";

// The words the desktop's own style is kept as.
constexpr std::array<StyleWord, 7> kStyleWords{{
    {"center", WallpaperStyle::Center},
    {"tile", WallpaperStyle::Tile},
    {"stretch", WallpaperStyle::Stretch},
    {"cover", WallpaperStyle::Cover},
    {"fit", WallpaperStyle::Fit},
    {"span", WallpaperStyle::Span},
    {"colour", WallpaperStyle::ColourOnly},
}};

bool isText(const RegValue& value) {
    return value.type == RegValueType::String || value.type == RegValueType::ExpandString;
}

std::optional<std::string> textOf(const std::optional<RegValue>& value) {
    if (!value || !isText(*value))
        return std::nullopt;
    return value->text;
}

bool recordText(const char* key, const char* name, const std::string& text) {
    const auto registry = Registry::currentUser();
    const auto stored = registry.readValue(key, name);
    if (stored && stored->type == RegValueType::String && stored->text == text)
        return true;
    return registry.writeValue(key, name, RegValue::string(text));
}

std::optional<WallpaperStyle> keptDesktopStyle(const std::string& file) {
    const auto registry = Registry::currentUser();
    const auto keptFile = textOf(registry.readValue(kDesktopStyleKey, kStyleFileName));
    const auto word = textOf(registry.readValue(kDesktopStyleKey, kStyleName));
    if (!keptFile || *keptFile != file || !word)
        return std::nullopt;
    return styleOfWord(kStyleWords, *word);
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
    return recordText(kDesktopKey, wallpaperValueName(value), text);
}

WallpaperStyle recordedPosition() {
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

WallpaperStyle recordedStyleOf(const std::string& file) {
    const WallpaperStyle position = recordedPosition();
    // A position chosen since (on the wallpaper page, or by hand) is the style from then on.
    const auto own = keptDesktopStyle(file);
    if (own && tileTextOf(*own) == tileTextOf(position) &&
        stretchTextOf(*own) == stretchTextOf(position))
        return *own;
    return position;
}

DesktopWallpaper recordedWallpaper() {
    DesktopWallpaper wallpaper;
    wallpaper.file = readWallpaperValue(WallpaperValue::Wallpaper);
    wallpaper.style = recordedStyleOf(wallpaper.file);
    return wallpaper;
}

bool recordChosenWallpaper(const DesktopWallpaper& wallpaper) {
    // A picture made for the screen is never the user's choice.
    const char* kept = wordOfStyle(kStyleWords, wallpaper.style);
    const char* word = kept != nullptr ? kept : "stretch";
    // Each is written whatever the one before gave, so that as much as can be is recorded.
    bool recorded =
        recordWallpaperValue(WallpaperValue::TileWallpaper, tileTextOf(wallpaper.style));
    recorded =
        recordWallpaperValue(WallpaperValue::WallpaperStyle, stretchTextOf(wallpaper.style)) &&
        recorded;
    recorded = recordText(kDesktopStyleKey, kStyleName, word) && recorded;
    recorded = recordText(kDesktopStyleKey, kStyleFileName, wallpaper.file) && recorded;
    return recordWallpaperValue(WallpaperValue::Wallpaper, wallpaper.file) && recorded;
}

bool forgetDesktopStyle() {
    const auto registry = Registry::currentUser();
    if (!registry.readValue(kDesktopStyleKey, kStyleName))
        return true;
    auto session = registry.openForUpdate();
    session.deleteValue(kDesktopStyleKey, kStyleName);
    session.deleteValue(kDesktopStyleKey, kStyleFileName);
    return session.commit();
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

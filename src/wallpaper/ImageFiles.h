#pragma once

#include <string>

namespace zbpg {

// The extension of the path's file name (from its last "." to the end, "" when it has none),
// with the letters A to Z lowered and nothing else changed.
std::string lowerFileExtension(const std::string& path);

// True for the pictures the wallpaper rotation can show: ".bmp", ".jpg", ".jpe", ".jpeg" in any
// case of A to Z.
bool isWallpaperImage(const std::string& path);

} // namespace zbpg

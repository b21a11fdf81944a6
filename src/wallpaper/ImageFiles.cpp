#include "wallpaper/ImageFiles.h"

#include <array>
#include <string_view>

namespace zbpg {

std::string lowerFileExtension(const std::string& path) {
    const std::size_t nameStart =
        path.find_last_of('/') == std::string::npos ? 0 : path.find_last_of('/') + 1;
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || dot < nameStart)
        return {};
    std::string extension = path.substr(dot);
    for (char& c : extension) {
        // Only A to Z: lowering by the locale would touch the bytes of other scripts.
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return extension;
}

bool isWallpaperImage(const std::string& path) {
    static constexpr std::array<std::string_view, 4> kImageExtensions = {".bmp", ".jpg", ".jpe",
                                                                         ".jpeg"};
    const std::string extension = lowerFileExtension(path);
    for (const std::string_view known : kImageExtensions) {
        if (extension == known)
            return true;
    }
    return false;
}

} // namespace zbpg

#include "rotation/NextWallpaper.h"

#include "base/Error.h"
#include "common/zbpg_common.h"
#include "rotation/FileList.h"
#include "rotation/ImageFiles.h"
#include "text/Texts.h"

#include <algorithm>
#include <chrono>

namespace zbpg {

std::vector<std::string> wallpaperCandidates(const WallpaperRotation& rotation) {
    std::vector<std::string> candidates;
    for (const std::string& entry : rotation.entries)
        EnumFileList({entry}, !rotation.subFolders, candidates);
    std::erase_if(candidates, [](const std::string& path) { return !isWallpaperImage(path); });
    return candidates;
}

int nextWallpaperIndex(int count, bool onlyDraw, bool random, int storedIndex,
                       std::mt19937& generator) {
    if (onlyDraw && random)
        return std::uniform_int_distribution<int>(0, count - 1)(generator);
    if (onlyDraw)
        return storedIndex < -1 || storedIndex >= count - 1 ? 0 : storedIndex + 1;
    // A trial run does not move on; a list that shrank since the last logon run starts over.
    return storedIndex < 0 || storedIndex >= count ? 0 : storedIndex;
}

std::mt19937& wallpaperRandom() {
    static std::mt19937 generator(static_cast<std::mt19937::result_type>(
        std::chrono::system_clock::now().time_since_epoch().count()));
    return generator;
}

int SelectNextWallpaper(const WallpaperRotation& rotation, bool onlyDraw, int storedIndex,
                        std::mt19937& generator, const std::string& bitmapFile) {
    const std::vector<std::string> candidates = wallpaperCandidates(rotation);
    if (candidates.empty())
        return -1;
    const int index = nextWallpaperIndex(static_cast<int>(candidates.size()), onlyDraw,
                                         rotation.random, storedIndex, generator);
    const std::string& chosen = candidates[static_cast<std::size_t>(index)];
    convertImageFile(chosen, bitmapFile); // every candidate has an extension it takes
    if (!ChangeWallpaper(bitmapFile, rotation.tile, rotation.stretch))
        throw Error(formatMessage(texts::kCannotShowWallpaper, bitmapFile));
    return index;
}

} // namespace zbpg

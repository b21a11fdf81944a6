#include "rotation/NextWallpaper.h"

#include "base/Error.h"
#include "common/zbpg_common.h"
#include "platform/desktop/DesktopService.h"
#include "rotation/FileList.h"
#include "rotation/ImageFiles.h"
#include "text/Texts.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <unistd.h>
#include <utility>

namespace zbpg {
namespace {

// A message about a picture that names it: the decoder's messages do not.
std::string namingPicture(const std::string& picture, const std::string& message) {
    return message.find(picture) != std::string::npos ? message : picture + ": " + message;
}

// While a new picture is being shown, the converted file of the one shown before waits beside
// it, and comes back unless the new one is shown: it is the recorded wallpaper, and a picture
// the desktop refuses must not take its place.
class ConvertedFileSwap final {
public:
    explicit ConvertedFileSwap(std::string file)
        : m_file(std::move(file)), m_before(m_file + ".before"),
          m_aside(::rename(m_file.c_str(), m_before.c_str()) == 0) {}
    ~ConvertedFileSwap() {
        if (m_shown)
            (void)::unlink(m_before.c_str());
        else if (m_aside)
            (void)::rename(m_before.c_str(), m_file.c_str());
        else
            (void)::unlink(m_file.c_str());
    }
    ConvertedFileSwap(const ConvertedFileSwap&) = delete;
    ConvertedFileSwap& operator=(const ConvertedFileSwap&) = delete;

    void keepNewOne() { m_shown = true; }

private:
    std::string m_file;
    std::string m_before;
    bool m_aside;
    bool m_shown = false;
};

// Converts the picture into bitmapFile and shows that in the rotation's position; why it could
// not be read or shown, naming it, when it was not.
std::optional<std::string> showPicture(const std::string& picture,
                                       const WallpaperRotation& rotation,
                                       const std::string& bitmapFile) {
    std::optional<std::string> converted;
    try {
        converted = convertedBitmapFile(picture); // every candidate has an extension it takes
    } catch (const Error& error) {
        return namingPicture(picture, error.what());
    }
    ConvertedFileSwap swap(bitmapFile);
    writeConvertedFile(*converted, bitmapFile);
    // Let go before the desktop reads the file: a photograph of many megapixels is not held twice.
    converted.reset();
    try {
        if (!ChangeWallpaper(bitmapFile, rotation.tile, rotation.stretch))
            return formatMessage(texts::kCannotShowWallpaper, picture);
    } catch (const platform::PictureNotKept&) {
        swap.keepNewOne(); // displayed and recorded all the same
        throw;
    }
    swap.keepNewOne();
    return std::nullopt;
}

} // namespace

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

WallpaperSelection SelectNextWallpaper(const WallpaperRotation& rotation, bool onlyDraw,
                                       int storedIndex, std::mt19937& generator,
                                       const std::string& bitmapFile) {
    const std::vector<std::string> candidates = wallpaperCandidates(rotation);
    WallpaperSelection selection;
    const auto count = static_cast<int>(candidates.size());
    if (count == 0)
        return selection;
    int index = nextWallpaperIndex(count, onlyDraw, rotation.random, storedIndex, generator);
    for (int tried = 0; tried < count; ++tried, index = (index + 1) % count) {
        selection.reached = index;
        const auto problem =
            showPicture(candidates[static_cast<std::size_t>(index)], rotation, bitmapFile);
        if (!problem)
            break;
        selection.passedOver.push_back(*problem);
    }
    return selection;
}

} // namespace zbpg

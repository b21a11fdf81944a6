#include "rotation/ImageFiles.h"

#include "base/Error.h"
#include "platform/desktop/PictureLimits.h"
#include "platform/os/AtomicFile.h"
#include "platform/os/RegularFile.h"
#include "rotation/JpegFile.h"
#include "text/Texts.h"

#include <array>
#include <string_view>
#include <utility>

namespace zbpg {
namespace {

std::string readPicture(const std::string& path) {
    auto bytes = platform::readRegularFile(path, platform::kMaxPictureFileBytes);
    if (!bytes)
        throw Error(formatMessage(texts::kCannotOpenFile, path));
    return std::move(*bytes);
}

// The picture a file holds, by its extension. The decoders know only the bytes; their message
// names the file, as a message about a stored value names its key.
template <typename Decode> auto decodePicture(const std::string& path, Decode decode) {
    try {
        return decode(lowerFileExtension(path) == ".bmp");
    } catch (const Error& error) {
        throw Error(error.what() + formatMessage(texts::kInPictureFile, path));
    }
}

} // namespace

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

bool LoadImageFile(const std::string& path, Bitmap& bitmap) {
    if (!isWallpaperImage(path))
        return false;
    const std::string bytes = readPicture(path);
    bitmap =
        decodePicture(path, [&](bool bmp) { return bmp ? decodeBmp(bytes) : decodeJpeg(bytes); });
    return true;
}

void saveBitmapFile(const Bitmap& bitmap, const std::string& path) {
    writeConvertedFile(encodeBmp(bitmap), path);
}

std::optional<std::string> convertedBitmapFile(const std::string& picture) {
    if (!isWallpaperImage(picture))
        return std::nullopt;
    const std::string bytes = readPicture(picture);
    return decodePicture(picture, [&](bool bmp) {
        return bmp ? encodeBmp(decodeBmp(bytes)) : decodeJpegToBmpFile(bytes);
    });
}

void writeConvertedFile(const std::string& converted, const std::string& bitmapFile) {
    // The converted picture is the program's own: a link planted at its name is replaced.
    if (!platform::writeFileAtomically(bitmapFile, converted, platform::Durability::RemadeAtNextRun,
                                       platform::AtLink::ReplaceLink))
        throw Error(formatMessage(texts::kCannotCreateFile, bitmapFile));
}

bool convertImageFile(const std::string& picture, const std::string& bitmapFile) {
    const auto converted = convertedBitmapFile(picture);
    if (converted)
        writeConvertedFile(*converted, bitmapFile);
    return converted.has_value();
}

} // namespace zbpg

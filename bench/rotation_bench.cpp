// The wallpaper rotation's two costly steps as a logon run takes them, one per process so that
// they can be timed against the command-line tools that do the same job:
//   rotation_bench tree <folder> <folders> <files>  makes a tree of empty files to expand
//   rotation_bench expand <folder>                  the candidates of one checked folder entry
//   rotation_bench convert <picture> <bitmap>       one picture converted into the BMP file

#include "rotation/ImageFiles.h"
#include "rotation/NextWallpaper.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// Ten top folders, each holding its share of the folders, each holding its share of the files:
// a quarter JPEG, an eighth BMP, the rest other files, in upper and lower case.
int makeTree(const std::string& root, int folders, int files) {
    static const char* const kExtensions[] = {".jpg", ".txt", ".JPG",  ".png",
                                              ".bmp", ".gif", ".jpeg", ".doc"};
    const int perFolder = files / folders;
    for (int folder = 0; folder < folders; ++folder) {
        const fs::path path = fs::path(root) / ("top" + std::to_string(folder % 10)) /
                              ("folder" + std::to_string(folder));
        fs::create_directories(path);
        for (int file = 0; file < perFolder; ++file) {
            const char* extension = kExtensions[file % 8];
            std::ofstream((path / ("file" + std::to_string(file) + extension)).string());
        }
    }
    return 0;
}

int expand(const std::string& folder) {
    zbpg::WallpaperRotation rotation;
    rotation.entries = {folder};
    const auto candidates = zbpg::wallpaperCandidates(rotation);
    std::printf("%zu\n", candidates.size());
    return candidates.empty() ? 1 : 0;
}

int convert(const std::string& picture, const std::string& bitmapFile) {
    return zbpg::convertImageFile(picture, bitmapFile) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    try {
        if (mode == "tree" && argc == 5)
            return makeTree(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
        if (mode == "expand" && argc == 3)
            return expand(argv[2]);
        if (mode == "convert" && argc == 4)
            return convert(argv[2], argv[3]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    std::fprintf(stderr, "usage: rotation_bench tree <folder> <folders> <files> | expand "
                         "<folder> | convert <picture> <bitmap>\n");
    return 2;
}

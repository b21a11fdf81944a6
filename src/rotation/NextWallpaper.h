#pragma once

#include <random>
#include <string>
#include <vector>

namespace zbpg {

// What the choice of the next wallpaper goes by: the settings of the wallpaper page.
struct WallpaperRotation {
    std::vector<std::string> entries; // the paths of the checked rows, in list order
    bool subFolders = true;           // a folder includes its sub-folders at any depth
    bool random = true;               // random order, else list order
    bool tile = false;                // the position: tiled, stretched, else centred
    bool stretch = false;
};

// The candidate list: the files of the entries whose extension names a picture the rotation
// shows, in order. It is built afresh each time; a file two entries cover stands twice.
std::vector<std::string> wallpaperCandidates(const WallpaperRotation& rotation);

// The index of the picture to show among count candidates (count > 0), from the index the last
// logon run stored. A logon run in random order draws any index, repeats allowed; a logon run
// in list order takes the one after the stored one, and the first again after the last (a
// stored index below -1 counts as -1). A trial run shows the stored one again without moving
// on: the first when it is negative or beyond the list as it is now.
int nextWallpaperIndex(int count, bool onlyDraw, bool random, int storedIndex,
                       std::mt19937& generator);

// The program's random generator, seeded from the clock once, when first used.
std::mt19937& wallpaperRandom();

// Chooses the next picture, converts it into bitmapFile and shows that as the wallpaper in the
// rotation's position, recorded as the user's wallpaper. The index chosen, or -1 when there is
// no candidate, and nothing changes then. A picture that cannot be read or converted, a
// bitmapFile that cannot be written and a wallpaper that cannot be shown raise their errors.
int SelectNextWallpaper(const WallpaperRotation& rotation, bool onlyDraw, int storedIndex,
                        std::mt19937& generator, const std::string& bitmapFile);

} // namespace zbpg

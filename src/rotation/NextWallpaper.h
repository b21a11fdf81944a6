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

// What a choice of the next wallpaper did.
struct WallpaperSelection {
    // Where the rotation stands, the index a logon run stores: the candidate shown, else the
    // last one tried; -1 without candidates.
    int reached = -1;
    // For each picture that could not be shown, why, naming it.
    std::vector<std::string> passedOver;
};

// Chooses the next picture, converts it into bitmapFile and shows that as the wallpaper in the
// rotation's position, recorded as the user's wallpaper. A picture that cannot be read or
// shown is passed over for the next candidate (the first again after the last), one pass over
// the list at most: one bad file must not stop the rotation for good. When none can be shown,
// the wallpaper stays as it was; without a candidate nothing changes. A bitmapFile that cannot
// be written raises its error, as do the desktop's own (no desktop, a picture shown but not
// kept): no other picture would fare better.
WallpaperSelection SelectNextWallpaper(const WallpaperRotation& rotation, bool onlyDraw,
                                       int storedIndex, std::mt19937& generator,
                                       const std::string& bitmapFile);

} // namespace zbpg

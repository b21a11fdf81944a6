#include "rotation/NextWallpaper.h"

#include "support/TempFolder.h"
#include "support/UnusualFiles.h"

#include <algorithm>
#include <climits>
#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>

namespace zbpg {
namespace {

class WallpaperCandidates : public testing::TestWithParam<bool> {};

TEST_P(WallpaperCandidates, AreThePictureFilesOfTheEntriesEachTimeTheyCoverThem) {
    const test::TempFolder folder;
    const std::string root = folder.file("pictures");
    for (const char* sub : {"", "/sub.jpg", "/sub.jpg/deeper"})
        ::mkdir((root + sub).c_str(), 0755);
    for (const char* file :
         {"/a.bmp", "/.hidden.JPG", "/note.txt", "/sub.jpg/b.jpeg", "/sub.jpg/deeper/c.jpe"})
        test::writeFile(root + file, "");
    ASSERT_EQ(::symlink(root.c_str(), (root + "/sub.jpg/deeper/up").c_str()), 0);
    ASSERT_TRUE(test::makeFifo(root + "/x.jpg"));

    WallpaperRotation rotation;
    rotation.entries = {root, folder.file("missing.bmp"), root + "/a.bmp", root + "/x.jpg"};
    rotation.subFolders = GetParam();
    std::vector<std::string> found = wallpaperCandidates(rotation);
    ASSERT_FALSE(found.empty());
    EXPECT_EQ(found.back(), root + "/a.bmp") << "entries are expanded in list order";
    // Within a folder the order is the file system's.
    std::sort(found.begin(), found.end());
    std::vector<std::string> expected{root + "/.hidden.JPG", root + "/a.bmp", root + "/a.bmp"};
    if (rotation.subFolders)
        expected.insert(expected.end(), {root + "/sub.jpg/b.jpeg", root + "/sub.jpg/deeper/c.jpe"});
    EXPECT_EQ(found, expected);
}

INSTANTIATE_TEST_SUITE_P(SubFoldersOnAndOff, WallpaperCandidates, testing::Bool(),
                         [](const auto& on) {
                             return on.param ? "WithSubFolders" : "WithoutThem";
                         });

struct ChoiceCase {
    bool onlyDraw;
    bool random;
    int stored;
    int expected;
};

class NextWallpaperIndex : public testing::TestWithParam<ChoiceCase> {};

TEST_P(NextWallpaperIndex, OfThreeCandidates) {
    std::mt19937 generator(1);
    const ChoiceCase& c = GetParam();
    EXPECT_EQ(nextWallpaperIndex(3, c.onlyDraw, c.random, c.stored, generator), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    LogonAndTrialRuns, NextWallpaperIndex,
    testing::Values(ChoiceCase{true, false, -1, 0}, ChoiceCase{true, false, 0, 1},
                    ChoiceCase{true, false, 2, 0}, ChoiceCase{true, false, 7, 0},
                    ChoiceCase{true, false, -5, 0}, ChoiceCase{true, false, INT_MAX, 0},
                    ChoiceCase{false, false, -1, 0}, ChoiceCase{false, false, 2, 2},
                    ChoiceCase{false, true, 1, 1}, ChoiceCase{false, false, 3, 0},
                    ChoiceCase{false, false, -7, 0}),
    [](const auto& choice) {
        const ChoiceCase& c = choice.param;
        return std::string(c.onlyDraw ? "Logon" : "Trial") + (c.random ? "Random" : "InOrder") +
               "After" + (c.stored < 0 ? "Minus" : "") + std::to_string(std::abs(c.stored));
    });

TEST(NextWallpaperIndex, ALogonRunInRandomOrderDrawsAnyIndexFromTheGenerator) {
    std::mt19937 generator(3);
    std::set<int> drawn;
    for (int i = 0; i < 60; ++i)
        drawn.insert(nextWallpaperIndex(3, true, true, 1, generator));
    EXPECT_EQ(drawn, (std::set<int>{0, 1, 2}));
}

TEST(SelectNextWallpaper, WithoutACandidateChangesNothing) {
    const test::TempFolder folder;
    test::writeFile(folder.file("a.gif"), "GIF89a");
    WallpaperRotation rotation;
    rotation.entries = {folder.path(), folder.file("missing.jpg")};
    std::mt19937 generator(1);
    EXPECT_EQ(SelectNextWallpaper(rotation, true, 0, generator, folder.file("out.bmp")).reached,
              -1);
    EXPECT_EQ(test::readFile(folder.file("out.bmp")), "");
}

} // namespace
} // namespace zbpg

#include "wallpaper/ImageFiles.h"

#include <gtest/gtest.h>

namespace zbpg {
namespace {

struct ImageCase {
    const char* path;
    bool image;
};

class WallpaperImageName : public testing::TestWithParam<ImageCase> {};

TEST_P(WallpaperImageName, IsTakenByItsExtensionInAnyCaseOfAToZ) {
    EXPECT_EQ(isWallpaperImage(GetParam().path), GetParam().image) << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(
    Names, WallpaperImageName,
    testing::Values(ImageCase{"/p/a.bmp", true}, ImageCase{"/p/a.JPG", true},
                    ImageCase{"/p/a.Jpeg", true}, ImageCase{"/p/a.jpe", true},
                    ImageCase{"/p/a.gif", false}, ImageCase{"/p/a.png", false},
                    ImageCase{"/p/a.jpg.txt", false}, ImageCase{"/p/jpg", false},
                    ImageCase{"/p.jpg/name", false}, ImageCase{"/p/.jpg", true},
                    ImageCase{"/p/写真.ＪＰＧ", false}, ImageCase{"/p/写真.jpeg", true}));

TEST(LowerFileExtension, LowersOnlyAToZAndIsEmptyWithoutADotInTheName) {
    EXPECT_EQ(lowerFileExtension("/Folder.D/Name.TxT"), ".txt");
    EXPECT_EQ(lowerFileExtension("/Folder.D/Name"), "");
    EXPECT_EQ(lowerFileExtension("/a/b.ÄB"), ".Äb");
}

} // namespace
} // namespace zbpg

#include "wallpaper/ImageFiles.h"

#include "support/TempFolder.h"
#include "support/UnusualFiles.h"
#include "text/Error.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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

TEST(LoadImageFile, TakesOnlyRegularFilesWithAPicturesExtension) {
    const test::TempFolder folder;
    Bitmap bitmap{1, 1, 8, {}, false, {}, {}};
    const Bitmap untouched = bitmap;
    EXPECT_FALSE(LoadImageFile(folder.file("a.gif"), bitmap));
    EXPECT_EQ(bitmap, untouched);
    // Refused without being opened, so a FIFO never blocks.
    ASSERT_TRUE(test::makeFifo(folder.file("x.jpg")));
    ASSERT_EQ(::mkdir(folder.file("folder.bmp").c_str(), 0755), 0);
    for (const std::string& path :
         {folder.file("x.jpg"), folder.file("folder.bmp"), folder.file("no.bmp")}) {
        try {
            LoadImageFile(path, bitmap);
            ADD_FAILURE() << path;
        } catch (const Error& error) {
            EXPECT_EQ(error.what(), "ファイル " + path + " は開けません");
        }
    }
}

} // namespace
} // namespace zbpg

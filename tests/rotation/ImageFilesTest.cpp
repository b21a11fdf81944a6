#include "rotation/ImageFiles.h"

#include "base/Error.h"
#include "support/JpegEncoding.h"
#include "support/ParamNames.h"
#include "support/TempFolder.h"
#include "support/UnusualFiles.h"

#include <filesystem>
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
                    ImageCase{"/p/写真.ＪＰＧ", false}, ImageCase{"/p/写真.jpeg", true}),
    [](const auto& name) { return test::nameOf(name.param.path); });

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

class ConvertImageFile : public testing::TestWithParam<const char*> {};

// A 5 by 3 picture: odd rows of 24 bits need padding, and bottom-up rows show a mix-up.
TEST_P(ConvertImageFile, WritesWhatLoadingAndSavingWrite) {
    const test::TempFolder folder;
    const std::string picture = folder.file(GetParam());
    test::writeFile(
        picture,
        lowerFileExtension(picture) == ".bmp"
            ? encodeBmp(
                  {5, 3, 8, {0x102030, 0xFFFFFF}, false, {}, std::vector<std::uint8_t>(24, 1)})
            : test::solidJpeg(5, 3, {200, 40, 90}));
    Bitmap bitmap;
    ASSERT_TRUE(LoadImageFile(picture, bitmap));
    saveBitmapFile(bitmap, folder.file("loaded.bmp"));
    std::filesystem::create_symlink(folder.file("loaded.bmp"), folder.file("converted.bmp"));
    ASSERT_TRUE(convertImageFile(picture, folder.file("converted.bmp")));
    EXPECT_EQ(test::readFile(folder.file("converted.bmp")),
              test::readFile(folder.file("loaded.bmp")));
    EXPECT_FALSE(std::filesystem::is_symlink(folder.file("converted.bmp"))) << "never followed";
}

INSTANTIATE_TEST_SUITE_P(BmpAndJpeg, ConvertImageFile, testing::Values("a.BMP", "a.jpe"),
                         [](const auto& name) { return test::nameOf(name.param); });

TEST(ConvertImageFile, LeavesOtherPicturesAlone) {
    const test::TempFolder folder;
    test::writeFile(folder.file("a.gif"), "GIF89a");
    EXPECT_FALSE(convertImageFile(folder.file("a.gif"), folder.file("out.bmp")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("out.bmp")));
}

} // namespace
} // namespace zbpg

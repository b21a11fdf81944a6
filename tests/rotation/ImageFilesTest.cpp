#include "rotation/ImageFiles.h"

#include "base/Error.h"
#include "rotation/JpegFile.h"
#include "support/JpegEncoding.h"
#include "support/ParamNames.h"
#include "support/TempFolder.h"
#include "support/UnusualFiles.h"

#include <filesystem>
#include <functional>
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

// A 5 by 3 picture: odd rows of 24 bits need padding, and bottom-up rows show a mix-up. A link
// planted at the converted picture's name is replaced, the file it points to left alone.
TEST_P(ConvertImageFile, WritesWhatLoadingAndSavingWriteAndFollowsNoLink) {
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
    test::writeFile(folder.file("victim.txt"), "the user's");
    std::filesystem::create_symlink(folder.file("victim.txt"), folder.file("converted.bmp"));
    ASSERT_TRUE(convertImageFile(picture, folder.file("converted.bmp")));
    EXPECT_EQ(test::readFile(folder.file("converted.bmp")),
              test::readFile(folder.file("loaded.bmp")));
    EXPECT_EQ(test::readFile(folder.file("victim.txt")), "the user's");
}

INSTANTIATE_TEST_SUITE_P(BmpAndJpeg, ConvertImageFile, testing::Values("a.BMP", "a.jpe"),
                         [](const auto& name) { return test::nameOf(name.param); });

class DamagedPicture : public testing::TestWithParam<const char*> {};

// The decoder's message names the file it could not read, as a settings message names its key.
TEST_P(DamagedPicture, IsRefusedWithTheDecodersMessageNamingTheFile) {
    const test::TempFolder folder;
    const std::string path = folder.file(GetParam());
    test::writeFile(path, "BM damaged");
    std::string decoderSays;
    try {
        (void)(lowerFileExtension(path) == ".bmp" ? decodeBmp("BM damaged")
                                                  : decodeJpeg("BM damaged"));
    } catch (const Error& error) {
        decoderSays = error.what();
    }
    ASSERT_FALSE(decoderSays.empty());
    Bitmap bitmap;
    const std::vector<std::function<void()>> reads = {
        [&] { LoadImageFile(path, bitmap); },
        [&] { convertImageFile(path, folder.file("converted.bmp")); }};
    for (const auto& read : reads) {
        try {
            read();
            ADD_FAILURE() << "no error raised";
        } catch (const Error& error) {
            EXPECT_EQ(error.what(), decoderSays + " (" + path + ")");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BmpAndJpeg, DamagedPicture, testing::Values("a.bmp", "a.jpg"),
                         [](const auto& name) { return test::nameOf(name.param); });

TEST(ConvertImageFile, LeavesOtherPicturesAlone) {
    const test::TempFolder folder;
    test::writeFile(folder.file("a.gif"), "GIF89a");
    EXPECT_FALSE(convertImageFile(folder.file("a.gif"), folder.file("out.bmp")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("out.bmp")));
}

} // namespace
} // namespace zbpg

#include "rotation/JpegFile.h"

#include "base/Error.h"
#include "support/JpegEncoding.h"

#include <gtest/gtest.h>
// After jpeglib.h: the message numbers.
#include <jerror.h>

namespace zbpg {
namespace {

struct JpegCase {
    std::vector<unsigned char> samples; // of every pixel
    std::array<int, 3> bgr;
};

class JpegColours : public testing::TestWithParam<JpegCase> {};

TEST_P(JpegColours, DecodeAtFullSizeInto24Bits) {
    const Bitmap bitmap = decodeJpeg(test::solidJpeg(9, 7, GetParam().samples));
    ASSERT_EQ(std::tie(bitmap.width, bitmap.height, bitmap.bitsPerPixel), std::tuple(9, 7, 24));
    for (const std::size_t at : {std::size_t{0}, 6 * bitmap.rowBytes() + 8 * 3}) {
        for (std::size_t i = 0; i < 3; ++i)
            EXPECT_NEAR(bitmap.pixels[at + i], GetParam().bgr[i], 2) << at << " " << i;
    }
}

TEST_P(JpegColours, DecodeStraightIntoTheBmpFileOfTheirBitmap) {
    const std::string jpeg = test::solidJpeg(9, 7, GetParam().samples);
    EXPECT_EQ(decodeJpegToBmpFile(jpeg), encodeBmp(decodeJpeg(jpeg)));
}

INSTANTIATE_TEST_SUITE_P(ColourSpaces, JpegColours,
                         testing::Values(JpegCase{{200, 40, 90}, {90, 40, 200}},
                                         JpegCase{{77}, {77, 77, 77}},
                                         JpegCase{{200, 100, 50, 255}, {50, 100, 200}},
                                         JpegCase{{200, 100, 50, 128}, {25, 50, 100}}),
                         [](const auto& colours) {
                             const auto& samples = colours.param.samples;
                             return samples.size() == 1   ? std::string("Grey")
                                    : samples.size() == 3 ? std::string("Rgb")
                                                          : "Cmyk" + std::to_string(samples[3]);
                         });

std::string errorOf(const std::string& bytes) {
    std::string toBitmap = "decoded", toFile = "decoded";
    try {
        decodeJpeg(bytes);
    } catch (const Error& error) {
        toBitmap = error.what();
    }
    try {
        decodeJpegToBmpFile(bytes);
    } catch (const Error& error) {
        toFile = error.what();
    }
    return toBitmap == toFile ? toBitmap : toBitmap + " but " + toFile;
}

TEST(DamagedJpeg, IsRefusedWithTheDecodersMessageNumber) {
    const std::string good = test::solidJpeg(16, 16, {10, 20, 30});
    const auto expected = [](int code) { return "JPEG エラー #" + std::to_string(code); };
    EXPECT_EQ(errorOf(""), expected(JERR_INPUT_EMPTY));
    EXPECT_EQ(errorOf("BM" + good.substr(2)), expected(JERR_NO_SOI));
    EXPECT_EQ(errorOf(good.substr(0, 20)), expected(JERR_NO_IMAGE)) << "cut after its first header";
    // A frame header claiming 60000 by 60000 pixels: refused before anything is allocated.
    std::string huge = good;
    const auto frame = huge.find("\xFF\xC0");
    ASSERT_NE(frame, std::string::npos);
    huge.replace(frame + 5, 4, "\xEA\x60\xEA\x60");
    EXPECT_EQ(errorOf(huge), expected(JERR_IMAGE_TOO_BIG));
}

} // namespace
} // namespace zbpg

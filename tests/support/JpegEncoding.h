#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
// After <cstdio>: jpeglib.h needs FILE and size_t.
#include <jpeglib.h>

namespace zbpg::test {

// A JPEG at the best quality of the samples: rows from the top, one (grey), three (RGB) or
// four (CMYK, as Adobe stores it: inverted) samples a pixel.
inline std::string encodeJpeg(int width, int height, int components,
                              const std::vector<unsigned char>& samples) {
    jpeg_compress_struct encoder{};
    jpeg_error_mgr errors{};
    encoder.err = jpeg_std_error(&errors);
    jpeg_create_compress(&encoder);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&encoder, &buffer, &size);
    encoder.image_width = static_cast<JDIMENSION>(width);
    encoder.image_height = static_cast<JDIMENSION>(height);
    encoder.input_components = components;
    encoder.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&encoder);
    jpeg_set_quality(&encoder, 100, TRUE);
    jpeg_start_compress(&encoder, TRUE);
    while (encoder.next_scanline < encoder.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(samples.data()) +
                       std::size_t{encoder.next_scanline} * width * components;
        jpeg_write_scanlines(&encoder, &row, 1);
    }
    jpeg_finish_compress(&encoder);
    jpeg_destroy_compress(&encoder);
    std::string bytes(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    return bytes;
}

// A JPEG of one colour given as its samples.
inline std::string solidJpeg(int width, int height, const std::vector<unsigned char>& pixel) {
    std::vector<unsigned char> samples;
    for (int i = 0; i < width * height; ++i)
        samples.insert(samples.end(), pixel.begin(), pixel.end());
    return encodeJpeg(width, height, static_cast<int>(pixel.size()), samples);
}

} // namespace zbpg::test

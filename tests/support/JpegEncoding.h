#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
// After <cstdio>: jpeglib.h needs FILE and size_t.
#include <jpeglib.h>

namespace zbpg::test {

// A JPEG of one colour at the best quality, the colour given as its samples: one (grey), three
// (RGB) or four (CMYK, inverted as Adobe stores it).
inline std::string solidJpeg(int width, int height, const std::vector<unsigned char>& pixel) {
    jpeg_compress_struct encoder{};
    jpeg_error_mgr errors{};
    encoder.err = jpeg_std_error(&errors);
    jpeg_create_compress(&encoder);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&encoder, &buffer, &size);
    encoder.image_width = static_cast<JDIMENSION>(width);
    encoder.image_height = static_cast<JDIMENSION>(height);
    encoder.input_components = static_cast<int>(pixel.size());
    encoder.in_color_space = pixel.size() == 1   ? JCS_GRAYSCALE
                             : pixel.size() == 3 ? JCS_RGB
                                                 : JCS_CMYK;
    jpeg_set_defaults(&encoder);
    jpeg_set_quality(&encoder, 100, TRUE);
    jpeg_start_compress(&encoder, TRUE);
    std::vector<unsigned char> row;
    for (int x = 0; x < width; ++x)
        row.insert(row.end(), pixel.begin(), pixel.end());
    for (JSAMPROW samples = row.data(); encoder.next_scanline < encoder.image_height;)
        jpeg_write_scanlines(&encoder, &samples, 1);
    jpeg_finish_compress(&encoder);
    jpeg_destroy_compress(&encoder);
    std::string bytes(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    return bytes;
}

} // namespace zbpg::test

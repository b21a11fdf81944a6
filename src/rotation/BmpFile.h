#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zbpg {

// A Windows bitmap in its own pixel format, as the rotation reads and writes it.
struct Bitmap {
    std::int32_t width = 0;
    std::int32_t height = 0;
    int bitsPerPixel = 24;              // 1, 4, 8, 16, 24 or 32
    std::vector<std::uint32_t> palette; // 1 to 8 bits: the colours as 0x00RRGGBB
    // 16 and 32 bits: where the masks say the colours lie (red, green, blue, alpha; alpha 0 for
    // none); without them 5-5-5 and 8-8-8.
    bool bitFields = false;
    std::array<std::uint32_t, 4> masks{};
    std::vector<std::uint8_t> pixels; // the rows from top to bottom, each padded to 4 bytes

    // The bytes of one row, padding included.
    std::size_t rowBytes() const;
    bool operator==(const Bitmap&) const = default;
};

// The bitmap a BMP file holds: uncompressed, RLE8 or RLE4, with a core, info, V4 or V5
// header, bottom-up or top-down. A file that is no such bitmap, is damaged or is larger than
// platform::kMaxPicturePixels raises "ビットマップイメージが不正です"; nothing is ever read outside
// the bytes.
Bitmap decodeBmp(const std::string& bytes);

// The BMP file of a bitmap, uncompressed and bottom-up: an info header (a V4 header for an
// alpha mask), the masks of bit fields, the palette of 1 to 8 bits, the rows.
std::string encodeBmp(const Bitmap& bitmap);

// What encodeBmp writes before the rows: the file of a bitmap is these and then its rows,
// bottom-up. The pixels are not looked at.
std::string encodeBmpHeaders(const Bitmap& bitmap);

} // namespace zbpg

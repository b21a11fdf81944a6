#pragma once

#include <cstddef>
#include <cstdint>

namespace zbpg::platform {

// The largest picture the program converts, shows or reads back: 64 Mi pixels, room for an 8K
// screen's picture (7680x4320, 33 megapixels) and a camera's photograph of up to 64
// megapixels. Every step goes by this one limit, so that a picture the wallpaper rotation
// converts is never refused when it is shown: the rotation refuses a larger picture before
// converting it, and the desktop picture reads files and lets Qt decode images up to it.
inline constexpr std::uint64_t kMaxPicturePixels = std::uint64_t{64} << 20;

// Such a picture as 32-bit pixels, the way Qt holds an image it reads (256 MiB): also the
// allocation limit Qt's image readers are given.
inline constexpr std::uint64_t kMaxPictureImageBytes = kMaxPicturePixels * 4;

// The largest picture file read: the rows of the largest 32-bit bitmap and room for its
// headers and palette.
inline constexpr std::size_t kMaxPictureFileBytes =
    static_cast<std::size_t>(kMaxPictureImageBytes) + (std::size_t{1} << 20);

} // namespace zbpg::platform

#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace zbpg::platform {

// A picture made for the primary screen (a draw run's drawing), shown pixel for pixel: 32-bit
// pixels 0xffRRGGBB, rows from the top. The value shares its pixels with whoever made them
// instead of copying a screen-sized picture; they stay unchanged while any copy lives.
class ScreenPicture final {
public:
    ScreenPicture() = default;
    // pixels points at the first row and keeps its owner alive (an aliasing shared pointer).
    ScreenPicture(int width, int height, std::size_t bytesPerLine,
                  std::shared_ptr<const std::uint8_t> pixels)
        : m_width(width), m_height(height), m_bytesPerLine(bytesPerLine),
          m_pixels(std::move(pixels)) {}

    int width() const { return m_width; }
    int height() const { return m_height; }
    std::size_t bytesPerLine() const { return m_bytesPerLine; }
    const std::uint8_t* bits() const { return m_pixels.get(); }
    const std::uint32_t* row(int y) const {
        return reinterpret_cast<const std::uint32_t*>(bits() + m_bytesPerLine * std::size_t(y));
    }
    bool isNull() const { return m_pixels == nullptr || m_width <= 0 || m_height <= 0; }

private:
    int m_width = 0;
    int m_height = 0;
    std::size_t m_bytesPerLine = 0;
    std::shared_ptr<const std::uint8_t> m_pixels;
};

} // namespace zbpg::platform

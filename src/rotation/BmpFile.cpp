#include "rotation/BmpFile.h"

#include "base/Error.h"
#include "platform/desktop/PictureLimits.h"
#include "text/Texts.h"

#include <algorithm>
#include <bit>

namespace zbpg {
namespace {

enum Compression : std::uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3 };

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::uint32_t kCoreHeaderBytes = 12;
constexpr std::uint32_t kInfoHeaderBytes = 40;
constexpr std::uint32_t kV4HeaderBytes = 108;
// The masks of bit fields stand at the same place after an info header and inside the longer
// headers; so does the alpha mask from the 56-byte header on.
constexpr std::size_t kMasksAt = kFileHeaderBytes + kInfoHeaderBytes;
constexpr std::uint32_t kWindowsColorSpace = 0x57696E20; // "Win "

[[noreturn]] void damaged() {
    throw Error(texts::kBadBitmap);
}

// Little-endian reads that never go past the data: asking for a byte beyond it means the file
// is damaged.
class Reader final {
public:
    explicit Reader(const std::string& data) : m_data(data) {}

    std::size_t size() const { return m_data.size(); }
    void need(std::uint64_t at, std::uint64_t count) const {
        if (at > m_data.size() || count > m_data.size() - at)
            damaged();
    }
    std::uint8_t u8(std::uint64_t at) const {
        need(at, 1);
        return static_cast<std::uint8_t>(m_data[at]);
    }
    std::uint16_t u16(std::uint64_t at) const {
        return static_cast<std::uint16_t>(u8(at) | u8(at + 1) << 8);
    }
    std::uint32_t u32(std::uint64_t at) const {
        return static_cast<std::uint32_t>(u16(at)) | static_cast<std::uint32_t>(u16(at + 2)) << 16;
    }
    const char* at(std::uint64_t at, std::uint64_t count) const {
        need(at, count);
        return m_data.data() + at;
    }

private:
    const std::string& m_data;
};

class Writer final {
public:
    explicit Writer(std::string& out) : m_out(out) {}
    void u8(std::uint32_t value) { m_out.push_back(static_cast<char>(value & 0xFF)); }
    void u16(std::uint32_t value) {
        u8(value);
        u8(value >> 8);
    }
    void u32(std::uint32_t value) {
        u16(value);
        u16(value >> 16);
    }
    void zeros(std::size_t count) { m_out.append(count, '\0'); }

private:
    std::string& m_out;
};

// What the headers say about the picture and where its parts lie.
struct Layout {
    std::int64_t width = 0;
    std::int64_t height = 0; // negative for rows stored top-down
    int bits = 0;
    std::uint32_t compression = kRgb;
    std::uint32_t imageBytes = 0; // of compressed rows; 0 when not given
    std::uint64_t paletteAt = 0;
    std::uint64_t colorsUsed = 0; // entries in the colour table; 0 for the full palette
    std::uint64_t entryBytes = 4;
    std::array<std::uint32_t, 4> masks{};
};

Layout coreLayout(const Reader& in) {
    in.need(kFileHeaderBytes, kCoreHeaderBytes);
    Layout layout;
    layout.width = in.u16(18);
    layout.height = in.u16(20);
    layout.bits = in.u16(24);
    layout.paletteAt = kFileHeaderBytes + kCoreHeaderBytes;
    layout.entryBytes = 3;
    if (layout.bits == 16 || layout.bits == 32)
        damaged(); // the core header knows no such depth
    return layout;
}

Layout infoLayout(const Reader& in, std::uint32_t headerBytes) {
    if (headerBytes != kInfoHeaderBytes && headerBytes != 52 && headerBytes != 56 &&
        headerBytes != kV4HeaderBytes && headerBytes != 124)
        damaged();
    in.need(kFileHeaderBytes, headerBytes);
    Layout layout;
    layout.width = static_cast<std::int32_t>(in.u32(18));
    layout.height = static_cast<std::int32_t>(in.u32(22));
    layout.bits = in.u16(28);
    layout.compression = in.u32(30);
    layout.imageBytes = in.u32(34);
    layout.colorsUsed = in.u32(46);
    layout.paletteAt = kFileHeaderBytes + headerBytes;
    if (layout.compression == kBitFields) {
        for (std::size_t i = 0; i < 3; ++i)
            layout.masks[i] = in.u32(kMasksAt + 4 * i);
        if (headerBytes >= 56)
            layout.masks[3] = in.u32(kMasksAt + 12);
        if (headerBytes == kInfoHeaderBytes)
            layout.paletteAt += 12; // the three masks follow the header
    }
    return layout;
}

bool isContiguous(std::uint32_t mask) {
    if (mask == 0)
        return false;
    mask >>= std::countr_zero(mask);
    return (mask & (mask + 1)) == 0;
}

// Each colour's mask one run of bits within the pixel, no two sharing a bit; alpha optional.
bool masksAreValid(const std::array<std::uint32_t, 4>& masks, int bits) {
    const std::uint64_t outside = ~((std::uint64_t{1} << bits) - 1);
    std::uint32_t used = 0;
    for (std::size_t i = 0; i < masks.size(); ++i) {
        const std::uint32_t mask = masks[i];
        if (i == 3 && mask == 0)
            break;
        if (!isContiguous(mask) || (mask & outside) != 0 || (mask & used) != 0)
            return false;
        used |= mask;
    }
    return true;
}

void checkFormat(const Layout& layout) {
    const std::int64_t rows = layout.height < 0 ? -layout.height : layout.height;
    if (layout.width <= 0 || rows == 0 ||
        static_cast<std::uint64_t>(layout.width) * static_cast<std::uint64_t>(rows) >
            platform::kMaxPicturePixels)
        damaged();
    const int bits = layout.bits;
    switch (layout.compression) {
    case kRgb:
        if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
            damaged();
        break;
    case kRle8:
    case kRle4:
        // Compressed rows are stored bottom-up only.
        if (bits != (layout.compression == kRle8 ? 8 : 4) || layout.height < 0)
            damaged();
        break;
    case kBitFields:
        if ((bits != 16 && bits != 32) || !masksAreValid(layout.masks, bits))
            damaged();
        break;
    default:
        damaged();
    }
    if (bits <= 8 && layout.colorsUsed > (std::uint64_t{1} << bits))
        damaged();
}

void readPalette(const Reader& in, const Layout& layout, Bitmap& bitmap) {
    if (layout.bits > 8)
        return;
    const std::uint64_t entries = layout.colorsUsed ? layout.colorsUsed : 1u << layout.bits;
    in.need(layout.paletteAt, entries * layout.entryBytes);
    for (std::uint64_t i = 0; i < entries; ++i) {
        const std::uint64_t at = layout.paletteAt + i * layout.entryBytes;
        bitmap.palette.push_back(static_cast<std::uint32_t>(in.u8(at + 2)) << 16 |
                                 static_cast<std::uint32_t>(in.u8(at + 1)) << 8 | in.u8(at));
    }
}

// Where the rows begin: the file header says so; where it does not, they follow the colour
// table. Rows that would overlap the headers or the palette mean a damaged file.
std::uint64_t pixelsAt(const Reader& in, const Layout& layout, const Bitmap& bitmap) {
    const std::uint64_t paletteEnd = layout.paletteAt + bitmap.palette.size() * layout.entryBytes;
    const std::uint32_t offBits = in.u32(10);
    const std::uint64_t at =
        offBits != 0 ? offBits
                     : paletteEnd + (layout.bits > 8 ? layout.colorsUsed * layout.entryBytes : 0);
    if (at < paletteEnd)
        damaged();
    in.need(at, 0);
    return at;
}

void readRows(const Reader& in, std::uint64_t at, bool topDown, Bitmap& bitmap) {
    const std::size_t rowBytes = bitmap.rowBytes();
    const auto rows = static_cast<std::size_t>(bitmap.height);
    const char* source = in.at(at, std::uint64_t{rowBytes} * rows);
    for (std::size_t row = 0; row < rows; ++row) {
        const std::size_t target = topDown ? row : rows - 1 - row;
        std::copy_n(source + row * rowBytes, rowBytes, bitmap.pixels.begin() + target * rowBytes);
    }
}

// Runs of RLE8 or RLE4 into the rows; what the data skips (a delta, an early end of line or of
// the picture) keeps index 0, and whatever lies beyond the picture's edges is dropped. Data
// that ends without its end mark keeps what it drew; a record cut short is damage.
void decodeRle(const Reader& in, std::uint64_t at, std::uint64_t end, bool rle4, Bitmap& bitmap) {
    const auto width = static_cast<std::uint64_t>(bitmap.width);
    const auto height = static_cast<std::uint64_t>(bitmap.height);
    const std::size_t rowBytes = bitmap.rowBytes();
    std::uint64_t x = 0;
    std::uint64_t y = 0; // counted from the bottom row, as the file stores them
    const auto put = [&](std::uint64_t column, std::uint8_t index) {
        std::uint8_t* row = bitmap.pixels.data() + (height - 1 - y) * rowBytes;
        if (!rle4)
            row[column] = index;
        else if (column % 2 == 0)
            row[column / 2] = static_cast<std::uint8_t>((row[column / 2] & 0x0F) | index << 4);
        else
            row[column / 2] = static_cast<std::uint8_t>((row[column / 2] & 0xF0) | index);
    };
    const auto nibble = [](std::uint8_t pair, std::uint64_t i) -> std::uint8_t {
        return i % 2 == 0 ? pair >> 4 : pair & 0x0F;
    };
    while (y < height && at != end) {
        if (end - at < 2)
            damaged();
        const std::uint8_t count = in.u8(at);
        const std::uint8_t value = in.u8(at + 1);
        at += 2;
        if (count > 0) {
            for (std::uint64_t i = 0; i < count && x + i < width; ++i)
                put(x + i, rle4 ? nibble(value, i) : value);
            x += count;
        } else if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            return;
        } else if (value == 2) {
            if (end - at < 2)
                damaged();
            x += in.u8(at);
            y += in.u8(at + 1);
            at += 2;
        } else {
            // Absolute mode: value indexes as they stand, padded to a whole word.
            const std::uint64_t dataBytes = rle4 ? (value + 1u) / 2 : value;
            const std::uint64_t padded = (dataBytes + 1) & ~std::uint64_t{1};
            if (end - at < padded)
                damaged();
            for (std::uint64_t i = 0; i < value && x + i < width; ++i)
                put(x + i, rle4 ? nibble(in.u8(at + i / 2), i) : in.u8(at + i));
            x += value;
            at += padded;
        }
    }
}

} // namespace

std::size_t Bitmap::rowBytes() const {
    const std::uint64_t bitsPerRow = static_cast<std::uint64_t>(width) * bitsPerPixel;
    return static_cast<std::size_t>((bitsPerRow + 31) / 32 * 4);
}

Bitmap decodeBmp(const std::string& bytes) {
    const Reader in(bytes);
    if (in.u8(0) != 'B' || in.u8(1) != 'M')
        damaged();
    const std::uint32_t headerBytes = in.u32(kFileHeaderBytes);
    const Layout layout =
        headerBytes == kCoreHeaderBytes ? coreLayout(in) : infoLayout(in, headerBytes);
    checkFormat(layout);

    Bitmap bitmap;
    bitmap.width = static_cast<std::int32_t>(layout.width);
    bitmap.height = static_cast<std::int32_t>(layout.height < 0 ? -layout.height : layout.height);
    bitmap.bitsPerPixel = layout.bits;
    bitmap.bitFields = layout.compression == kBitFields;
    if (bitmap.bitFields)
        bitmap.masks = layout.masks;
    readPalette(in, layout, bitmap);
    const std::uint64_t at = pixelsAt(in, layout, bitmap);
    bitmap.pixels.assign(bitmap.rowBytes() * static_cast<std::size_t>(bitmap.height), 0);
    if (layout.compression == kRle8 || layout.compression == kRle4) {
        // The size of the compressed rows is often missing or wrong; the file's end bounds them.
        const std::uint64_t left = in.size() - at;
        const std::uint64_t end =
            at + (layout.imageBytes != 0 && layout.imageBytes < left ? layout.imageBytes : left);
        decodeRle(in, at, end, layout.compression == kRle4, bitmap);
    } else {
        readRows(in, at, layout.height < 0, bitmap);
    }
    return bitmap;
}

std::string encodeBmpHeaders(const Bitmap& bitmap) {
    // An alpha mask needs the V4 header; the info header carries only three masks.
    const bool v4 = bitmap.bitFields && bitmap.masks[3] != 0;
    const std::uint32_t headerBytes = v4 ? kV4HeaderBytes : kInfoHeaderBytes;
    const std::uint32_t maskBytes = bitmap.bitFields && !v4 ? 12 : 0;
    const bool indexed = bitmap.bitsPerPixel <= 8;
    const auto colors = static_cast<std::uint32_t>(indexed ? bitmap.palette.size() : 0);
    const auto pixelsAt =
        static_cast<std::uint32_t>(kFileHeaderBytes + headerBytes + maskBytes + 4 * colors);
    const std::size_t imageBytes = bitmap.rowBytes() * static_cast<std::size_t>(bitmap.height);

    std::string out;
    out.reserve(pixelsAt);
    Writer file(out);
    file.u8('B');
    file.u8('M');
    file.u32(static_cast<std::uint32_t>(pixelsAt + imageBytes));
    file.u32(0);
    file.u32(pixelsAt);
    file.u32(headerBytes);
    file.u32(static_cast<std::uint32_t>(bitmap.width));
    file.u32(static_cast<std::uint32_t>(bitmap.height)); // positive: bottom-up
    file.u16(1);
    file.u16(static_cast<std::uint32_t>(bitmap.bitsPerPixel));
    file.u32(bitmap.bitFields ? kBitFields : kRgb);
    file.u32(static_cast<std::uint32_t>(imageBytes));
    file.zeros(8); // no resolution
    file.u32(colors);
    file.u32(0);
    if (bitmap.bitFields) {
        for (std::size_t i = 0; i < (v4 ? 4u : 3u); ++i)
            file.u32(bitmap.masks[i]);
    }
    if (v4) {
        file.u32(kWindowsColorSpace);
        file.zeros(kV4HeaderBytes - kInfoHeaderBytes - 20); // end points and gamma
    }
    for (std::uint32_t i = 0; i < colors; ++i) {
        file.u32(bitmap.palette[i] & 0xFFFFFF); // blue, green, red, reserved
    }
    return out;
}

std::string encodeBmp(const Bitmap& bitmap) {
    const std::size_t rowBytes = bitmap.rowBytes();
    std::string out = encodeBmpHeaders(bitmap);
    out.reserve(out.size() + rowBytes * static_cast<std::size_t>(bitmap.height));
    for (std::size_t row = static_cast<std::size_t>(bitmap.height); row-- > 0;)
        out.append(reinterpret_cast<const char*>(bitmap.pixels.data()) + row * rowBytes, rowBytes);
    return out;
}

} // namespace zbpg

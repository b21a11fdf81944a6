#include "platform/qt/ScreenPictureFile.h"

#include "platform/AtomicFile.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <zlib.h>

namespace zbpg::platform {
namespace {

// The most a stored deflate block holds.
constexpr std::size_t kStoredBlockBytes = 65535;
// Image data is cut into chunks of this size, so that no chunk nears PNG's 2^31 limit.
constexpr std::size_t kDataChunkBytes = std::size_t{1} << 20;

void appendBigEndian(std::string& out, std::uint32_t value) {
    const std::array<char, 4> bytes{static_cast<char>(value >> 24), static_cast<char>(value >> 16),
                                    static_cast<char>(value >> 8), static_cast<char>(value)};
    out.append(bytes.data(), bytes.size());
}

void appendChunk(std::string& out, const char* type, const std::string& data) {
    appendBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.append(type, 4);
    out += data;
    const auto* checked = reinterpret_cast<const Bytef*>(out.data() + typeAt);
    appendBigEndian(out, static_cast<std::uint32_t>(
                             crc32_z(crc32(0, nullptr, 0), checked, out.size() - typeAt)));
}

// The zlib stream of the image data, made of stored blocks, cut into IDAT chunks as it grows.
class StoredStream final {
public:
    explicit StoredStream(std::string& out) : m_out(out) {
        m_chunk.reserve(kDataChunkBytes + kStoredBlockBytes);
        m_block.reserve(kStoredBlockBytes);
        m_chunk += "\x78\x01"; // deflate, 32 KiB window, no dictionary, fastest
    }

    void write(const char* data, std::size_t size) {
        m_adler = adler32_z(m_adler, reinterpret_cast<const Bytef*>(data), size);
        while (size > 0) {
            const std::size_t part = std::min(size, kStoredBlockBytes - m_block.size());
            m_block.append(data, part);
            data += part;
            size -= part;
            if (m_block.size() == kStoredBlockBytes)
                flushBlock(false);
        }
    }

    void finish() {
        flushBlock(true);
        appendBigEndian(m_chunk, static_cast<std::uint32_t>(m_adler));
        appendChunk(m_out, "IDAT", m_chunk);
    }

private:
    void flushBlock(bool last) {
        const auto size = static_cast<std::uint16_t>(m_block.size());
        const auto inverse = static_cast<std::uint16_t>(~size);
        const std::array<char, 5> header{
            static_cast<char>(last ? 1 : 0), static_cast<char>(size & 0xff),
            static_cast<char>(size >> 8), static_cast<char>(inverse & 0xff),
            static_cast<char>(inverse >> 8)};
        m_chunk.append(header.data(), header.size());
        m_chunk += m_block;
        m_block.clear();
        if (!last && m_chunk.size() >= kDataChunkBytes) {
            appendChunk(m_out, "IDAT", m_chunk);
            m_chunk.clear();
        }
    }

    std::string& m_out;
    std::string m_chunk;
    std::string m_block;
    uLong m_adler = adler32(0, nullptr, 0);
};

} // namespace

std::string encodeScreenPng(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    const auto width = static_cast<std::size_t>(rgb.width());
    const auto height = static_cast<std::size_t>(rgb.height());
    const std::size_t rowBytes = 1 + 3 * width; // the filter type, then the pixels
    const std::size_t dataBytes = rowBytes * height;
    std::string out;
    out.reserve(dataBytes + dataBytes / kStoredBlockBytes * 5 + dataBytes / kDataChunkBytes * 12 +
                128);
    out.append("\x89PNG\r\n\x1a\n", 8);
    std::string header;
    appendBigEndian(header, static_cast<std::uint32_t>(width));
    appendBigEndian(header, static_cast<std::uint32_t>(height));
    header.append("\x08\x02\x00\x00\x00", 5); // 8 bits, RGB, deflate, no filters, no interlace
    appendChunk(out, "IHDR", header);
    StoredStream stream(out);
    std::string row(rowBytes, '\0');
    for (std::size_t y = 0; y < height; ++y) {
        const auto* pixels = reinterpret_cast<const QRgb*>(rgb.constScanLine(static_cast<int>(y)));
        char* to = row.data() + 1; // filter type 0: the row as it is
        for (std::size_t x = 0; x < width; ++x) {
            *to++ = static_cast<char>(qRed(pixels[x]));
            *to++ = static_cast<char>(qGreen(pixels[x]));
            *to++ = static_cast<char>(qBlue(pixels[x]));
        }
        stream.write(row.data(), row.size());
    }
    stream.finish();
    appendChunk(out, "IEND", {});
    return out;
}

bool writeScreenPicture(const QImage& picture, const std::string& path) {
    return !picture.isNull() && writeFileAtomically(path, encodeScreenPng(picture));
}

} // namespace zbpg::platform

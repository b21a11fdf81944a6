#include "platform/qt/ScreenPictureFile.h"

#include "platform/AtomicFile.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <future>
#include <optional>
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

// The image data's bytes, in IDAT chunks of kDataChunkBytes (the last one shorter): the
// total is known in advance, so each chunk's length is written before its bytes, and the bytes
// go straight into the file's content.
class DataChunks final {
public:
    DataChunks(std::string& out, std::size_t total) : m_out(out), m_remaining(total) {}

    void write(const char* data, std::size_t size) {
        while (size > 0) {
            if (m_chunkLeft == 0)
                openChunk();
            const std::size_t part = std::min(size, m_chunkLeft);
            m_out.append(data, part);
            data += part;
            size -= part;
            m_chunkLeft -= part;
            m_remaining -= part;
            if (m_chunkLeft == 0)
                closeChunk();
        }
    }

private:
    void openChunk() {
        m_chunkLeft = std::min(m_remaining, kDataChunkBytes);
        appendBigEndian(m_out, static_cast<std::uint32_t>(m_chunkLeft));
        m_typeAt = m_out.size();
        m_out.append("IDAT", 4);
    }
    void closeChunk() {
        const auto* checked = reinterpret_cast<const Bytef*>(m_out.data() + m_typeAt);
        appendBigEndian(m_out, static_cast<std::uint32_t>(crc32_z(crc32(0, nullptr, 0), checked,
                                                                  m_out.size() - m_typeAt)));
    }

    std::string& m_out;
    std::size_t m_remaining;
    std::size_t m_chunkLeft = 0;
    std::size_t m_typeAt = 0;
};

// The zlib stream of rawBytes bytes, made of stored blocks.
class StoredStream final {
public:
    StoredStream(std::string& out, std::size_t rawBytes)
        : m_data(out, streamBytes(rawBytes)), m_rawLeft(rawBytes) {
        m_data.write("\x78\x01", 2); // deflate, 32 KiB window, no dictionary, fastest
    }

    static std::size_t streamBytes(std::size_t rawBytes) {
        const std::size_t blocks =
            std::max<std::size_t>(1, (rawBytes + kStoredBlockBytes - 1) / kStoredBlockBytes);
        return 2 + rawBytes + 5 * blocks + 4;
    }

    void write(const char* data, std::size_t size) {
        m_adler = adler32_z(m_adler, reinterpret_cast<const Bytef*>(data), size);
        while (size > 0) {
            if (m_blockLeft == 0)
                openBlock();
            const std::size_t part = std::min(size, m_blockLeft);
            m_data.write(data, part);
            data += part;
            size -= part;
            m_blockLeft -= part;
            m_rawLeft -= part;
        }
    }

    void finish() {
        if (!m_opened)
            openBlock(); // no data: one empty last block
        std::string adler;
        appendBigEndian(adler, static_cast<std::uint32_t>(m_adler));
        m_data.write(adler.data(), adler.size());
    }

private:
    void openBlock() {
        m_opened = true;
        m_blockLeft = std::min(m_rawLeft, kStoredBlockBytes);
        const auto size = static_cast<std::uint16_t>(m_blockLeft);
        const auto inverse = static_cast<std::uint16_t>(~size);
        const std::array<char, 5> header{
            static_cast<char>(m_blockLeft == m_rawLeft ? 1 : 0), static_cast<char>(size & 0xff),
            static_cast<char>(size >> 8), static_cast<char>(inverse & 0xff),
            static_cast<char>(inverse >> 8)};
        m_data.write(header.data(), header.size());
    }

    DataChunks m_data;
    std::size_t m_rawLeft;
    std::size_t m_blockLeft = 0;
    bool m_opened = false;
    uLong m_adler = adler32(0, nullptr, 0);
};

// The picture being encoded ahead of its write, known by its cache key (which changes with
// every change of its pixels).
struct PreparedPicture {
    qint64 key = 0;
    std::future<std::string> bytes;
};

std::optional<PreparedPicture>& preparedPicture() {
    static std::optional<PreparedPicture> prepared;
    return prepared;
}

} // namespace

std::string encodeScreenPng(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    const auto width = static_cast<std::size_t>(rgb.width());
    const auto height = static_cast<std::size_t>(rgb.height());
    const std::size_t rowBytes = 1 + 3 * width; // the filter type, then the pixels
    const std::size_t dataBytes = rowBytes * height;
    const std::size_t streamBytes = StoredStream::streamBytes(dataBytes);
    std::string out;
    out.reserve(streamBytes + (streamBytes / kDataChunkBytes + 1) * 12 + 64);
    out.append("\x89PNG\r\n\x1a\n", 8);
    std::string header;
    appendBigEndian(header, static_cast<std::uint32_t>(width));
    appendBigEndian(header, static_cast<std::uint32_t>(height));
    header.append("\x08\x02\x00\x00\x00", 5); // 8 bits, RGB, deflate, no filters, no interlace
    appendChunk(out, "IHDR", header);
    StoredStream stream(out, dataBytes);
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
    if (picture.isNull())
        return false;
    auto& prepared = preparedPicture();
    if (prepared && prepared->key == picture.cacheKey()) {
        const std::string bytes = prepared->bytes.get();
        prepared.reset();
        return writeFileAtomically(path, bytes);
    }
    return writeFileAtomically(path, encodeScreenPng(picture));
}

void prepareScreenPicture(const QImage& picture) {
    dropPreparedScreenPicture();
    if (picture.isNull())
        return;
    // The thread holds its own reference: the pixels stay as they are while it reads them.
    preparedPicture() = PreparedPicture{
        picture.cacheKey(),
        std::async(std::launch::async, [picture] { return encodeScreenPng(picture); })};
}

void dropPreparedScreenPicture() {
    preparedPicture().reset(); // waits for the thread
}

} // namespace zbpg::platform

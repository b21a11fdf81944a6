#include "platform/desktop/qt/ScreenPictureFile.h"

#include "platform/os/AtomicFile.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
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

std::uint32_t bigEndianAt(const std::string& bytes, std::size_t at) {
    const auto byte = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i]));
    };
    return byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
}

// The bytes of the image data chunks, one after another, of a file of encodeScreenPng's
// layout: IHDR, IDAT chunks, IEND and nothing else.
class DataChunksReader final {
public:
    explicit DataChunksReader(const std::string& bytes) : m_bytes(bytes) {}

    // Copies the next size bytes, or false when the chunks end before.
    bool read(char* to, std::size_t size) {
        while (size > 0) {
            if (m_left == 0 && !nextChunk())
                return false;
            const std::size_t part = std::min(size, m_left);
            std::copy_n(m_bytes.data() + m_at, part, to);
            to += part;
            size -= part;
            m_at += part;
            m_left -= part;
        }
        return true;
    }

    // Whether the image data has been read to its end and only IEND follows.
    bool atEnd() { return m_left == 0 && !nextChunk() && m_ended; }

private:
    bool nextChunk() {
        if (m_ended)
            return false;
        m_at += m_started ? 4 : 0; // the CRC of the chunk just read
        m_started = true;
        if (m_at + 12 > m_bytes.size())
            return false;
        const std::uint32_t length = bigEndianAt(m_bytes, m_at);
        const std::string type = m_bytes.substr(m_at + 4, 4);
        if (length > m_bytes.size() - m_at - 12)
            return false;
        m_at += 8;
        if (type == "IEND") {
            m_ended = length == 0;
            return false;
        }
        if (type != "IDAT")
            return false;
        m_left = length;
        return length > 0 || nextChunk();
    }

    const std::string& m_bytes;
    std::size_t m_at = 8 + 25; // past the signature and IHDR
    std::size_t m_left = 0;
    bool m_started = false;
    bool m_ended = false;
};

// The raw bytes of a zlib stream of stored blocks.
class StoredStreamReader final {
public:
    explicit StoredStreamReader(DataChunksReader& chunks) : m_chunks(chunks) {}

    bool start() {
        std::array<unsigned char, 2> header{};
        return m_chunks.read(reinterpret_cast<char*>(header.data()), 2) &&
               (header[0] & 0x0f) == 8 && (header[1] & 0x20) == 0 &&
               (header[0] * 256 + header[1]) % 31 == 0;
    }

    bool read(char* to, std::size_t size) {
        while (size > 0) {
            if (m_left == 0 && !nextBlock())
                return false;
            const std::size_t part = std::min(size, m_left);
            if (!m_chunks.read(to, part))
                return false;
            to += part;
            size -= part;
            m_left -= part;
        }
        return true;
    }

    // Whether the last block has been read to its end, and the checksum is there.
    bool finish() {
        while (m_left == 0 && !m_last)
            if (!nextBlock())
                return false;
        std::array<char, 4> checksum{};
        return m_left == 0 && m_chunks.read(checksum.data(), checksum.size()) && m_chunks.atEnd();
    }

private:
    bool nextBlock() {
        if (m_last)
            return false;
        std::array<unsigned char, 5> header{};
        if (!m_chunks.read(reinterpret_cast<char*>(header.data()), header.size()) ||
            (header[0] & ~1u) != 0) // only stored blocks
            return false;
        m_last = (header[0] & 1u) != 0;
        const unsigned size = header[1] | header[2] << 8;
        const unsigned inverse = header[3] | header[4] << 8;
        if ((size ^ inverse) != 0xffff)
            return false;
        m_left = size;
        return true;
    }

    DataChunksReader& m_chunks;
    std::size_t m_left = 0;
    bool m_last = false;
};

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

QImage decodeScreenPng(const std::string& bytes, std::size_t maxImageBytes) {
    if (bytes.size() < 8 + 25 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n", 8) != 0 ||
        bigEndianAt(bytes, 8) != 13 || bytes.compare(12, 4, "IHDR") != 0 ||
        bytes.compare(24, 5, "\x08\x02\x00\x00\x00", 5) != 0)
        return {};
    const std::uint32_t width = bigEndianAt(bytes, 16);
    const std::uint32_t height = bigEndianAt(bytes, 20);
    if (width == 0 || height == 0 || width > 0x7fffffff / 4 ||
        std::uint64_t{width} * height * 4 > maxImageBytes)
        return {};
    QImage picture(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    if (picture.isNull())
        return {};
    DataChunksReader chunks(bytes);
    StoredStreamReader stream(chunks);
    if (!stream.start())
        return {};
    std::string row(1 + 3 * std::size_t{width}, '\0');
    for (int y = 0; y < picture.height(); ++y) {
        if (!stream.read(row.data(), row.size()) || row[0] != 0) // filter type 0 only
            return {};
        auto* pixels = reinterpret_cast<QRgb*>(picture.scanLine(y));
        const auto* from = reinterpret_cast<const unsigned char*>(row.data() + 1);
        for (std::uint32_t x = 0; x < width; ++x, from += 3)
            pixels[x] = qRgb(from[0], from[1], from[2]);
    }
    return stream.finish() ? picture : QImage();
}

QImage decodePlainBmp(const std::string& bytes, std::size_t maxImageBytes) {
    const auto little = [&](std::size_t at, std::size_t size) {
        std::uint32_t value = 0;
        for (std::size_t i = size; i-- > 0;)
            value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
        return value;
    };
    if (bytes.size() < 54 || bytes.compare(0, 2, "BM") != 0)
        return {};
    const std::uint32_t headerBytes = little(14, 4);
    const auto width = static_cast<std::int32_t>(little(18, 4));
    const auto height = static_cast<std::int32_t>(little(22, 4));
    if ((headerBytes != 40 && headerBytes != 108 && headerBytes != 124) || little(26, 2) != 1 ||
        little(28, 2) != 24 || little(30, 4) != 0 || width <= 0 || height == 0 ||
        height == INT32_MIN)
        return {};
    const std::uint64_t rows = height < 0 ? -std::int64_t{height} : height;
    const std::uint64_t rowBytes = (std::uint64_t{3} * static_cast<std::uint32_t>(width) + 3) & ~3u;
    const std::uint64_t pixelsAt = little(10, 4);
    if (std::uint64_t{static_cast<std::uint32_t>(width)} * rows * 4 > maxImageBytes ||
        pixelsAt < 14 + std::uint64_t{headerBytes} || pixelsAt + rowBytes * rows > bytes.size())
        return {};
    QImage picture(width, static_cast<int>(rows), QImage::Format_RGB32);
    if (picture.isNull())
        return {};
    for (std::uint64_t row = 0; row < rows; ++row) {
        const std::uint64_t y = height < 0 ? row : rows - 1 - row; // bottom-up unless negative
        const auto* from =
            reinterpret_cast<const unsigned char*>(bytes.data() + pixelsAt + row * rowBytes);
        auto* pixels = reinterpret_cast<QRgb*>(picture.scanLine(static_cast<int>(y)));
        for (std::int32_t x = 0; x < width; ++x, from += 3)
            pixels[x] = qRgb(from[2], from[1], from[0]);
    }
    return picture;
}

bool writeScreenPicture(const QImage& picture, const std::string& path) {
    return !picture.isNull() &&
           writeFileAtomically(path, encodeScreenPng(picture), Durability::RemadeAtNextRun,
                               AtLink::ReplaceLink);
}

} // namespace zbpg::platform

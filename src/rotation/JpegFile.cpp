#include "rotation/JpegFile.h"

#include "base/Error.h"
#include "base/ScopeExit.h"
#include "platform/desktop/PictureLimits.h"
#include "text/Texts.h"

#include <csetjmp>
#include <cstdio>
// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>
// After jpeglib.h: the message numbers.
#include <jerror.h>

namespace zbpg {
namespace {

// The decoder reports an error by calling error_exit, which must not return. Throwing through
// the library's C frames is not safe, so it jumps back to decode(), which hands the message
// number out; the error is raised after the decoder has been released.
struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void jumpBack(j_common_ptr decoder) {
    std::longjmp(reinterpret_cast<JpegErrors*>(decoder->err)->jump, 1);
}

// Warnings and traces go nowhere: the program keeps no log.
void ignoreMessage(j_common_ptr, int) {}
void ignoreOutput(j_common_ptr) {}

// Adobe's CMYK files store their inks inverted: red is cyan's complement scaled by black's.
void cmykToBgr(const JSAMPLE* cmyk, std::uint8_t* bgr, JDIMENSION width) {
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        const int black = cmyk[3];
        bgr[0] = static_cast<std::uint8_t>(cmyk[2] * black / 255);
        bgr[1] = static_cast<std::uint8_t>(cmyk[1] * black / 255);
        bgr[2] = static_cast<std::uint8_t>(cmyk[0] * black / 255);
    }
}

// Where the decoded rows of 24-bit pixels go, set up once the picture's size is known.
class RowTarget {
public:
    virtual void start(std::uint32_t width, std::uint32_t height) = 0;
    virtual std::uint8_t* row(std::uint32_t y) = 0; // counted from the top
protected:
    ~RowTarget() = default;
};

// The rows of a bitmap, top-down.
class BitmapRows final : public RowTarget {
public:
    explicit BitmapRows(Bitmap& bitmap) : m_bitmap(bitmap) {}
    void start(std::uint32_t width, std::uint32_t height) override {
        m_bitmap.width = static_cast<std::int32_t>(width);
        m_bitmap.height = static_cast<std::int32_t>(height);
        m_bitmap.bitsPerPixel = 24;
        m_rowBytes = m_bitmap.rowBytes();
        m_bitmap.pixels.assign(m_rowBytes * height, 0);
    }
    std::uint8_t* row(std::uint32_t y) override { return m_bitmap.pixels.data() + y * m_rowBytes; }

private:
    Bitmap& m_bitmap;
    std::size_t m_rowBytes = 0;
};

// The rows in their places in a BMP file, which stores them bottom-up after its headers.
class BmpFileRows final : public RowTarget {
public:
    explicit BmpFileRows(std::string& file) : m_file(file) {}
    void start(std::uint32_t width, std::uint32_t height) override {
        Bitmap shape;
        shape.width = static_cast<std::int32_t>(width);
        shape.height = static_cast<std::int32_t>(height);
        m_file = encodeBmpHeaders(shape);
        m_rowBytes = shape.rowBytes();
        m_lastRowAt = m_file.size() + (height - std::size_t{1}) * m_rowBytes;
        m_file.resize(m_file.size() + height * m_rowBytes); // the padding stays zero
    }
    std::uint8_t* row(std::uint32_t y) override {
        return reinterpret_cast<std::uint8_t*>(m_file.data()) + m_lastRowAt - y * m_rowBytes;
    }

private:
    std::string& m_file;
    std::size_t m_rowBytes = 0;
    std::size_t m_lastRowAt = 0;
};

// Decodes into the target. The decoder's errors jump back out of here to decode(), so every
// object of this frame is a plain value without a destructor; the target is the caller's.
void decodeInto(jpeg_decompress_struct& decoder, const std::string& bytes, RowTarget& target) {
    jpeg_create_decompress(&decoder);
    jpeg_mem_src(&decoder, reinterpret_cast<const unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&decoder, TRUE);
    if (std::uint64_t{decoder.image_width} * decoder.image_height > platform::kMaxPicturePixels)
        ERREXIT1(&decoder, JERR_IMAGE_TOO_BIG, JPEG_MAX_DIMENSION);
    const bool cmyk = decoder.jpeg_color_space == JCS_CMYK || decoder.jpeg_color_space == JCS_YCCK;
    decoder.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR; // the BMP's byte order
    decoder.scale_num = 1;
    decoder.scale_denom = 1;
    decoder.dct_method = JDCT_ISLOW;
    decoder.do_fancy_upsampling = TRUE;
    decoder.do_block_smoothing = TRUE;
    decoder.quantize_colors = FALSE;
    jpeg_start_decompress(&decoder);

    target.start(decoder.output_width, decoder.output_height);
    // The library's own pool holds the row of inks, so a jump leaks nothing.
    const JSAMPARRAY inks =
        cmyk ? (*decoder.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&decoder), JPOOL_IMAGE,
                                            decoder.output_width * 4, 1)
             : nullptr;
    while (decoder.output_scanline < decoder.output_height) {
        std::uint8_t* row = target.row(decoder.output_scanline);
        JSAMPROW samples = inks ? inks[0] : row;
        if (jpeg_read_scanlines(&decoder, &samples, 1) != 1)
            break;
        if (inks)
            cmykToBgr(inks[0], row, decoder.output_width);
    }
    jpeg_finish_decompress(&decoder);
}

// The message number of the error that stopped the decoder, or -1 when it decoded the file.
int decode(jpeg_decompress_struct& decoder, JpegErrors& errors, const std::string& bytes,
           RowTarget& target) {
    if (setjmp(errors.jump) != 0)
        return errors.manager.msg_code;
    decodeInto(decoder, bytes, target);
    return -1;
}

std::string jpegErrorText(int code) {
    std::string text = texts::kJpegError;
    text.replace(text.find("%d"), 2, std::to_string(code));
    return text;
}

void decodeJpegInto(const std::string& bytes, RowTarget& target) {
    jpeg_decompress_struct decoder{};
    JpegErrors errors{};
    decoder.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = jumpBack;
    errors.manager.emit_message = ignoreMessage;
    errors.manager.output_message = ignoreOutput;
    const ScopeExit release([&decoder] { jpeg_destroy_decompress(&decoder); });
    const int failure = decode(decoder, errors, bytes, target);
    if (failure >= 0)
        throw Error(jpegErrorText(failure));
}

} // namespace

Bitmap decodeJpeg(const std::string& bytes) {
    Bitmap bitmap;
    BitmapRows rows(bitmap);
    decodeJpegInto(bytes, rows);
    return bitmap;
}

std::string decodeJpegToBmpFile(const std::string& bytes) {
    std::string file;
    BmpFileRows rows(file);
    decodeJpegInto(bytes, rows);
    return file;
}

} // namespace zbpg

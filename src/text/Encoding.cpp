#include "text/Encoding.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <vector>

namespace zbpg {
namespace {

// glibc's "CP932" is the Windows code page (NEC and IBM extensions, 5C as backslash);
// "SHIFT_JIS" would map several characters differently.
constexpr const char* kCp932 = "CP932";

class IconvHandle {
public:
    IconvHandle(const char* to, const char* from) : m_handle(iconv_open(to, from)) {}
    ~IconvHandle() {
        if (valid())
            iconv_close(m_handle);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    bool valid() const { return m_handle != reinterpret_cast<iconv_t>(-1); }

    std::optional<std::string> convert(std::string_view input) const {
        if (!valid())
            return std::nullopt;
        iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
        std::string output;
        std::vector<char> buffer(input.size() * 2 + 16);
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        while (inLeft > 0) {
            char* out = buffer.data();
            std::size_t outLeft = buffer.size();
            const std::size_t rc = iconv(m_handle, &in, &inLeft, &out, &outLeft);
            output.append(buffer.data(), buffer.size() - outLeft);
            if (rc == static_cast<std::size_t>(-1) && errno != E2BIG)
                return std::nullopt;
            if (rc != static_cast<std::size_t>(-1) && rc > 0)
                return std::nullopt; // irreversible (substituted) conversions
        }
        return output;
    }

private:
    iconv_t m_handle;
};

const IconvHandle& encoder() {
    static const IconvHandle handle(kCp932, "UTF-8");
    return handle;
}

const IconvHandle& decoder() {
    static const IconvHandle handle("UTF-8", kCp932);
    return handle;
}

} // namespace

std::optional<std::string> utf8ToCp932(std::string_view utf8) {
    auto bytes = encoder().convert(utf8);
    if (!bytes)
        return std::nullopt;
    const auto back = decoder().convert(*bytes);
    if (!back || *back != utf8)
        return std::nullopt;
    return bytes;
}

std::optional<std::string> cp932ToUtf8(std::string_view cp932) {
    return decoder().convert(cp932);
}

bool fitsCp932(std::string_view utf8) {
    return utf8ToCp932(utf8).has_value();
}

std::optional<std::string> utf16leToUtf8(std::string_view utf16le) {
    static const IconvHandle handle("UTF-8", "UTF-16LE");
    if (utf16le.size() % 2 != 0)
        return std::nullopt;
    return handle.convert(utf16le);
}

std::string utf8ToUtf16le(std::string_view utf8) {
    static const IconvHandle handle("UTF-16LE", "UTF-8");
    return handle.convert(toValidUtf8(utf8)).value_or(std::string());
}

namespace {

// Number of bytes of the UTF-8 sequence starting with lead, or 0 for a byte that cannot
// start one.
std::size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

} // namespace

bool isValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = sequenceLength(lead);
        if (length == 0 || i + length > bytes.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80)
                return false;
        }
        const auto second = static_cast<unsigned char>(bytes[i + 1 < bytes.size() ? i + 1 : i]);
        if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
            (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F))
            return false; // overlong forms, surrogates, beyond U+10FFFF
        i += length;
    }
    return true;
}

bool looksLikeUtf8(std::string_view bytes) {
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return isValidUtf8(bytes);
    }
    return false;
}

std::string decodeTextBytes(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Bom))
        return toValidUtf8(bytes.substr(kUtf8Bom.size()));
    if (looksLikeUtf8(bytes))
        return std::string(bytes);
    if (auto text = cp932ToUtf8(bytes))
        return *text;
    return toValidUtf8(bytes);
}

std::string toValidUtf8(std::string_view bytes) {
    if (isValidUtf8(bytes))
        return std::string(bytes);
    std::string text;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const std::size_t length = sequenceLength(static_cast<unsigned char>(bytes[i]));
        if (length > 0 && isValidUtf8(bytes.substr(i, length)) && i + length <= bytes.size()) {
            text.append(bytes.substr(i, length));
            i += length;
        } else {
            text.append("\xEF\xBF\xBD");
            ++i;
        }
    }
    return text;
}

std::size_t utf8PrefixLength(std::string_view utf8, std::size_t maxBytes) {
    if (utf8.size() <= maxBytes)
        return utf8.size();
    std::size_t end = maxBytes;
    while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
        --end;
    return end;
}

std::string asciiLower(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return result;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

bool isAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace zbpg

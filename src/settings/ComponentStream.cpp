#include "settings/ComponentStream.h"

#include "text/Encoding.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string_view>

namespace zbpg {
namespace {

// The kind bytes that start the values of the component stream.
constexpr std::uint8_t kNull = 0;
constexpr std::uint8_t kList = 1;
constexpr std::uint8_t kInt8 = 2;
constexpr std::uint8_t kInt16 = 3;
constexpr std::uint8_t kInt32 = 4;
constexpr std::uint8_t kString = 6;
constexpr std::uint8_t kFalse = 8;
constexpr std::uint8_t kTrue = 9;
constexpr std::uint8_t kLongString = 12;
constexpr std::uint8_t kWideString = 18;
constexpr std::uint8_t kUtf8String = 20;

constexpr char kSignature[] = "TPF0";

// Seven-bit text is the same in code page 932 and in UTF-8. Nearly every line of a long list
// is such text, and the converter would be the largest cost of storing and reading the list.
bool isSevenBit(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::optional<std::string> toCp932(const std::string& utf8) {
    return isSevenBit(utf8) ? std::optional(utf8) : utf8ToCp932(utf8);
}

std::optional<std::string> fromCp932(const std::string& cp932) {
    return isSevenBit(cp932) ? std::optional(cp932) : cp932ToUtf8(cp932);
}

class StreamWriter final {
public:
    void shortString(const std::string& ascii) {
        m_bytes.push_back(static_cast<std::uint8_t>(ascii.size()));
        raw(ascii);
    }

    void property(const std::string& name) { shortString(name); }

    void integer(std::int32_t value) {
        if (value >= std::numeric_limits<std::int8_t>::min() &&
            value <= std::numeric_limits<std::int8_t>::max()) {
            m_bytes.push_back(kInt8);
            little(value, 1);
        } else if (value >= std::numeric_limits<std::int16_t>::min() &&
                   value <= std::numeric_limits<std::int16_t>::max()) {
            m_bytes.push_back(kInt16);
            little(value, 2);
        } else {
            m_bytes.push_back(kInt32);
            little(value, 4);
        }
    }

    void text(const std::string& utf8) {
        if (const auto cp932 = toCp932(utf8)) {
            if (cp932->size() <= 255) {
                m_bytes.push_back(kString);
                m_bytes.push_back(static_cast<std::uint8_t>(cp932->size()));
            } else {
                m_bytes.push_back(kLongString);
                little(static_cast<std::int64_t>(cp932->size()), 4);
            }
            raw(*cp932);
            return;
        }
        m_bytes.push_back(kUtf8String);
        little(static_cast<std::int64_t>(utf8.size()), 4);
        raw(utf8);
    }

    void byte(std::uint8_t value) { m_bytes.push_back(value); }
    void raw(const std::string& bytes) {
        m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    }

    std::vector<std::uint8_t> take() { return std::move(m_bytes); }

private:
    void little(std::int64_t value, int size) {
        for (int i = 0; i < size; ++i)
            m_bytes.push_back(static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF));
    }

    std::vector<std::uint8_t> m_bytes;
};

// Reading stops at the first fault; every accessor then yields nothing.
class StreamReader final {
public:
    explicit StreamReader(const std::vector<std::uint8_t>& bytes) : m_bytes(bytes) {}

    bool ok() const { return m_ok; }

    std::uint8_t byte() {
        if (!require(1))
            return 0;
        return m_bytes[m_position++];
    }

    std::string bytes(std::size_t count) {
        if (!require(count))
            return {};
        std::string result(reinterpret_cast<const char*>(m_bytes.data() + m_position), count);
        m_position += count;
        return result;
    }

    std::string shortString() { return bytes(byte()); }

    std::int64_t little(int size) {
        if (!require(static_cast<std::size_t>(size)))
            return 0;
        std::uint64_t value = 0;
        for (int i = 0; i < size; ++i)
            value |= std::uint64_t{m_bytes[m_position++]} << (8 * i);
        const int bits = 8 * size;
        if (bits < 64 && (value >> (bits - 1)) != 0)
            value |= ~std::uint64_t{0} << bits; // sign extension
        return static_cast<std::int64_t>(value);
    }

    std::int32_t integer() {
        switch (byte()) {
        case kInt8:
            return static_cast<std::int32_t>(little(1));
        case kInt16:
            return static_cast<std::int32_t>(little(2));
        case kInt32:
            return static_cast<std::int32_t>(little(4));
        default:
            return fail<std::int32_t>();
        }
    }

    bool boolean() {
        switch (byte()) {
        case kFalse:
            return false;
        case kTrue:
            return true;
        default:
            return fail<bool>();
        }
    }

    std::string text() { return textOfKind(byte()); }

    std::vector<std::string> textList() {
        std::vector<std::string> lines;
        if (byte() != kList)
            return fail<std::vector<std::string>>();
        while (m_ok) {
            const std::uint8_t kind = byte();
            if (kind == kNull)
                break;
            lines.push_back(textOfKind(kind));
        }
        return lines;
    }

    template <typename T> T fail() {
        m_ok = false;
        return T{};
    }

private:
    std::string textOfKind(std::uint8_t kind) {
        switch (kind) {
        case kString:
            return cp932Text(bytes(byte()));
        case kLongString:
            return cp932Text(bytes(length()));
        case kUtf8String:
            return utf8Text(bytes(length()));
        case kWideString:
            return wideText(length());
        default:
            return fail<std::string>();
        }
    }

    std::size_t length() {
        const std::int64_t value = little(4);
        if (value < 0)
            return fail<std::size_t>();
        return static_cast<std::size_t>(value);
    }

    std::string cp932Text(const std::string& bytes) {
        if (auto text = fromCp932(bytes))
            return *text;
        return fail<std::string>();
    }

    std::string utf8Text(const std::string& bytes) {
        if (isValidUtf8(bytes))
            return bytes;
        return fail<std::string>();
    }

    std::string wideText(std::size_t characters) {
        if (auto text = utf16leToUtf8(bytes(characters * 2)); text && m_ok)
            return *text;
        return fail<std::string>();
    }

    bool require(std::size_t count) {
        if (!m_ok || m_bytes.size() - m_position < count) {
            m_ok = false;
            return false;
        }
        return true;
    }

    const std::vector<std::uint8_t>& m_bytes;
    std::size_t m_position = 0;
    bool m_ok = true;
};

bool readProperty(StreamReader& reader, const std::string& name, ListControlDescription& control) {
    if (name == "Tag")
        control.tag = reader.integer();
    else if (name == "Left")
        control.left = reader.integer();
    else if (name == "Top")
        control.top = reader.integer();
    else if (name == "Width")
        control.width = reader.integer();
    else if (name == "Height")
        control.height = reader.integer();
    else if (name == "ItemHeight")
        control.itemHeight = reader.integer();
    else if (name == "Items.Strings")
        control.lines = reader.textList();
    else if (name == "TabOrder")
        control.tabOrder = reader.integer();
    else if (name == "Visible")
        control.visible = reader.boolean();
    else
        return false;
    return reader.ok();
}

} // namespace

std::vector<std::uint8_t> encodeComponentStream(const ListControlDescription& control) {
    StreamWriter writer;
    writer.raw(kSignature);
    writer.shortString(control.className);
    writer.shortString(control.name);
    if (control.tag != 0) {
        writer.property("Tag");
        writer.integer(control.tag);
    }
    const std::pair<const char*, std::int32_t> geometry[] = {
        {"Left", control.left},
        {"Top", control.top},
        {"Width", control.width},
        {"Height", control.height},
        {"ItemHeight", control.itemHeight},
    };
    for (const auto& [name, value] : geometry) {
        writer.property(name);
        writer.integer(value);
    }
    if (!control.lines.empty()) {
        writer.property("Items.Strings");
        writer.byte(kList);
        for (const auto& line : control.lines)
            writer.text(line);
        writer.byte(kNull);
    }
    writer.property("TabOrder");
    writer.integer(control.tabOrder);
    if (!control.visible) {
        writer.property("Visible");
        writer.byte(kFalse);
    }
    writer.byte(kNull); // end of properties
    writer.byte(kNull); // end of contained controls
    writer.byte(kNull); // end of the stream's components
    return writer.take();
}

std::optional<ListControlDescription> decodeComponentStream(const std::vector<std::uint8_t>& stream,
                                                            const ListControlDescription& current) {
    StreamReader reader(stream);
    if (reader.bytes(4) != kSignature)
        return std::nullopt;
    ListControlDescription control;
    control.className = reader.shortString();
    control.name = reader.shortString();
    control.tabOrder = current.tabOrder;
    if (!reader.ok() || control.className != current.className ||
        !equalsIgnoringAsciiCase(control.name, current.name))
        return std::nullopt;
    control.name = current.name;
    for (;;) {
        const std::string name = reader.shortString();
        if (!reader.ok())
            return std::nullopt;
        if (name.empty())
            break; // the end byte of the properties
        if (!readProperty(reader, name, control))
            return std::nullopt;
    }
    const bool noChildren = reader.byte() == kNull;
    const bool endOfStream = reader.byte() == kNull;
    if (!reader.ok() || !noChildren || !endOfStream)
        return std::nullopt;
    return control;
}

} // namespace zbpg

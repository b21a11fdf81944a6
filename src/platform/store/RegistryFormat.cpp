#include "platform/store/RegistryFormat.h"

#include "text/Encoding.h"
#include "text/IntegerText.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace zbpg::platform {

using namespace regformat;

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::string_view kFileHeader = "Windows Registry Editor Version 5.00";

// Keys nest at most this deep in the registry. A deeper path in the file is taken for a key
// the program does not read, so that a damaged file cannot build a tree without end.
constexpr std::size_t kMaxKeyDepth = 512;

bool isWithinDepth(std::string_view normalisedPath) {
    return normalisedPath.empty() ||
           static_cast<std::size_t>(
               std::count(normalisedPath.begin(), normalisedPath.end(), '\\')) < kMaxKeyDepth;
}

Bytes utf8ToUtf16WithTerminator(std::string_view text) {
    const std::string units = utf8ToUtf16le(text);
    Bytes out(units.begin(), units.end());
    out.push_back(0);
    out.push_back(0);
    return out;
}

// UTF-16LE is the form of strings kept as hex. One terminating zero is dropped; what is not
// UTF-16 text is kept as replacement characters.
std::string utf16ToUtf8DroppingTerminator(const Bytes& bytes) {
    std::string_view units(reinterpret_cast<const char*>(bytes.data()),
                           bytes.size() & ~std::size_t{1});
    if (units.size() >= 2 && units[units.size() - 1] == 0 && units[units.size() - 2] == 0)
        units.remove_suffix(2);
    if (auto text = utf16leToUtf8(units))
        return *text;
    std::string text;
    for (std::size_t i = 0; i < units.size(); i += 2)
        text += utf16leToUtf8(units.substr(i, 2)).value_or("\xEF\xBF\xBD");
    return text;
}

std::string hexList(const Bytes& bytes) {
    constexpr std::string_view digits = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            out += ',';
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 0x0F];
    }
    return out;
}
std::string dwordText(std::uint32_t value) {
    constexpr std::string_view digits = "0123456789abcdef";
    std::string out = "dword:";
    for (int shift = 28; shift >= 0; shift -= 4)
        out += digits[(value >> shift) & 0x0F];
    return out;
}
void skipSpaces(std::string_view& text) {
    text.remove_prefix(std::min(text.find_first_not_of(" \t"), text.size()));
}
bool consumePrefix(std::string_view& text, std::string_view prefix) {
    if (text.size() < prefix.size() ||
        !equalsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix))
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

// A quoted string with "\\" and "\"" escapes at the start of the text, consumed.
std::optional<std::string> consumeQuoted(std::string_view& text) {
    if (text.empty() || text.front() != '"')
        return std::nullopt;
    std::string out;
    for (std::size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            text.remove_prefix(i + 1);
            return out;
        }
        if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '\\' || text[i + 1] == '"'))
            ++i;
        out += text[i];
    }
    return std::nullopt;
}
std::optional<Bytes> parseHexList(std::string_view text) {
    Bytes bytes;
    skipSpaces(text);
    while (!text.empty()) {
        if (!bytes.empty() && !consumePrefix(text, ","))
            return std::nullopt;
        skipSpaces(text);
        if (text.size() < 2 || hexDigitValue(text[0]) < 0 || hexDigitValue(text[1]) < 0)
            return std::nullopt;
        bytes.push_back(
            static_cast<std::uint8_t>(hexDigitValue(text[0]) * 16 + hexDigitValue(text[1])));
        text.remove_prefix(2);
        skipSpaces(text);
    }
    return bytes;
}
std::optional<std::uint32_t> parseDword(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    if (text.empty() || text.size() > 8)
        return std::nullopt;
    std::uint32_t value = 0;
    for (const char c : text) {
        const int digit = hexDigitValue(c);
        if (digit < 0)
            return std::nullopt;
        value = (value << 4) | static_cast<std::uint32_t>(digit);
    }
    return value;
}
std::optional<RegValue> parseHexValue(std::string_view typeTag, std::string_view data) {
    const auto bytes = parseHexList(data);
    if (!bytes)
        return std::nullopt;
    if (typeTag == "hex" || typeTag == "hex(3)")
        return RegValue::binary(*bytes);
    if (typeTag == "hex(1)")
        return RegValue::string(utf16ToUtf8DroppingTerminator(*bytes));
    if (typeTag == "hex(2)")
        return RegValue::expandString(utf16ToUtf8DroppingTerminator(*bytes));
    if (typeTag == "hex(4)" && bytes->size() == 4)
        return RegValue::number(static_cast<std::uint32_t>((*bytes)[0]) | ((*bytes)[1] << 8) |
                                ((*bytes)[2] << 16) |
                                (static_cast<std::uint32_t>((*bytes)[3]) << 24));
    return std::nullopt; // a type the program does not use
}
std::optional<RegValue> parseValueData(std::string_view data) {
    if (!data.empty() && data.front() == '"') {
        auto text = consumeQuoted(data);
        skipSpaces(data);
        if (!text || !data.empty())
            return std::nullopt;
        return RegValue::string(std::move(*text));
    }
    if (consumePrefix(data, "dword:")) {
        const auto number = parseDword(data);
        return number ? std::optional(RegValue::number(*number)) : std::nullopt;
    }
    const std::size_t colon = data.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    return parseHexValue(asciiLower(data.substr(0, colon)), data.substr(colon + 1));
}

// A name or a string value in double quotes, as the file writes them.
std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

// The data of a value line, after its "=".
std::string valueData(const RegValue& value) {
    switch (value.type) {
    case RegValueType::String:
        if (fitsOnOneLine(value.text))
            return quoted(value.text);
        return "hex(1):" + hexList(utf8ToUtf16WithTerminator(value.text));
    case RegValueType::ExpandString:
        return "hex(2):" + hexList(utf8ToUtf16WithTerminator(value.text));
    case RegValueType::Binary:
        return "hex:" + hexList(value.bytes);
    case RegValueType::Dword:
        return dwordText(value.dword);
    }
    return {};
}

// The value a line "name"=data (or @=data) holds; nothing when its data is not understood.
std::optional<RegValue> parseValueLine(std::string_view line) {
    if (!consumePrefix(line, "@") && !consumeQuoted(line))
        return std::nullopt;
    skipSpaces(line);
    if (!consumePrefix(line, "="))
        return std::nullopt;
    skipSpaces(line);
    return parseValueData(line);
}

// The name of a value line, whatever its data: "" for "@".
std::optional<std::string> parseValueName(std::string_view line) {
    std::optional<std::string> name;
    if (consumePrefix(line, "@"))
        name = std::string();
    else
        name = consumeQuoted(line);
    skipSpaces(line);
    if (!name || !consumePrefix(line, "="))
        return std::nullopt;
    return name;
}

// The text without blanks and tabs at its ends.
std::string_view trimmedBlanks(std::string_view text) {
    skipSpaces(text);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// Every line that starts with "[" opens a key of its own, so that the values after it are
// never taken for those of the key before it, whatever root it names.
bool isKeyHeader(std::string_view line) {
    return trimmedBlanks(line).starts_with('[');
}

// The key path of a "[HKEY_CURRENT_USER\…]" header; nothing for other roots and malformed
// headers.
std::optional<std::string> parseKeyHeader(std::string_view line) {
    line = trimmedBlanks(line);
    if (line.size() < 2 || line.front() != '[' || line.back() != ']')
        return std::nullopt;
    std::string_view inner = line.substr(1, line.size() - 2);
    if (!consumePrefix(inner, kRootName) || (!inner.empty() && inner.front() != '\\'))
        return std::nullopt;
    std::string path = normaliseKeyPath(inner);
    if (!isWithinDepth(path))
        return std::nullopt;
    return path;
}

// The text a line means where long data is wrapped: a line ending in "\" goes on in the next
// one, whose leading indentation is dropped. The last line of a file goes on into nothing: it
// means the same as when an empty line followed it.
std::string logicalText(std::string_view text) {
    if (text.find('\n') == std::string_view::npos)
        return std::string(text.ends_with('\\') ? text.substr(0, text.size() - 1) : text);
    std::string out;
    bool first = true;
    while (true) {
        const std::size_t lf = text.find('\n');
        std::string_view part = text.substr(0, lf);
        if (part.ends_with('\r'))
            part.remove_suffix(1);
        if (!first)
            skipSpaces(part);
        if (part.ends_with('\\'))
            part.remove_suffix(1);
        out.append(part);
        if (lf == std::string_view::npos)
            return out;
        text.remove_prefix(lf + 1);
        first = false;
    }
}

} // namespace

// ---- Key paths and names ----

namespace regformat {

// A line break or NUL would split the line a path or name is written on and spoil the file.
bool fitsOnOneLine(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

// "\A\\B\" and "A\B" are the same key: empty parts are dropped.
std::string normaliseKeyPath(std::string_view path) {
    std::string result;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        if (end > start) {
            if (!result.empty())
                result += '\\';
            result.append(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return result;
}

// A path the file can hold: on one line, and not deeper than a registry key can be.
bool isStorablePath(std::string_view path) {
    return fitsOnOneLine(path) && isWithinDepth(normaliseKeyPath(path));
}

// Only the part of a value its type uses, so that a value reads back equal after a reload.
RegValue essentialPart(const RegValue& value) {
    switch (value.type) {
    case RegValueType::String:
        return RegValue::string(value.text);
    case RegValueType::ExpandString:
        return RegValue::expandString(value.text);
    case RegValueType::Binary:
        return RegValue::binary(value.bytes);
    case RegValueType::Dword:
        return RegValue::number(value.dword);
    }
    return value;
}

} // namespace regformat

// ---- The syntax ----

RegistrySyntax::RegistrySyntax()
    : LineSyntax(Layout{"\n", '\\', RepeatedNames::LastCounts, kFileHeader, true}) {}

const RegistrySyntax& RegistrySyntax::instance() {
    static const RegistrySyntax syntax;
    return syntax;
}

LineMeaning RegistrySyntax::meaning(std::string_view text) const {
    const std::string logical = logicalText(text);
    if (isKeyHeader(logical))
        return {LineMeaning::Kind::Header, parseKeyHeader(logical)};
    if (auto name = parseValueName(logical))
        return {LineMeaning::Kind::Value, std::move(name)};
    return {};
}

bool RegistrySyntax::continuesOnNextLine(std::string_view text) const {
    return text.ends_with('\\');
}

bool RegistrySyntax::holdsValue(std::string_view valueLine) const {
    return valueOf(valueLine).has_value();
}

// The "[HKEY_CURRENT_USER\…]" line of a key.
std::string RegistrySyntax::headerLine(std::string_view keyPath) const {
    std::string header = "[" + std::string(kRootName);
    if (!keyPath.empty())
        header += "\\" + std::string(keyPath);
    return header + "]";
}

std::string RegistrySyntax::valueLine(std::string_view name, std::string_view data) const {
    return (name.empty() ? "@" : quoted(name)) + "=" + std::string(data);
}

std::optional<RegValue> RegistrySyntax::valueOf(std::string_view valueLine) {
    return parseValueLine(logicalText(valueLine));
}

std::string RegistrySyntax::dataOf(const RegValue& value) {
    return valueData(value);
}

} // namespace zbpg::platform

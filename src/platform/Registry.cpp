#include "platform/Registry.h"

#include "platform/AtomicFile.h"
#include "platform/XdgPaths.h"
#include "text/Encoding.h"
#include "text/IntegerText.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace zbpg::platform {

RegValue RegValue::string(std::string value) {
    RegValue result;
    result.type = RegValueType::String;
    result.text = std::move(value);
    return result;
}

RegValue RegValue::expandString(std::string value) {
    RegValue result;
    result.type = RegValueType::ExpandString;
    result.text = std::move(value);
    return result;
}

RegValue RegValue::binary(std::vector<std::uint8_t> value) {
    RegValue result;
    result.type = RegValueType::Binary;
    result.bytes = std::move(value);
    return result;
}

RegValue RegValue::number(std::uint32_t value) {
    RegValue result;
    result.type = RegValueType::Dword;
    result.dword = value;
    return result;
}

namespace {

constexpr std::string_view kFileHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kRootName = "HKEY_CURRENT_USER";

struct NamedValue {
    std::string name;
    RegValue value;
};

struct Key {
    std::string path; // normalised, "" for the root
    std::vector<NamedValue> values;
};

using Bytes = std::vector<std::uint8_t>;

// ---- Key paths and names ----

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

// The keys above a path and the path itself, outermost first: "A\B" gives "A", "A\B".
std::vector<std::string> pathAndAncestors(const std::string& path) {
    std::vector<std::string> result;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] == '\\')
            result.push_back(path.substr(0, i));
    }
    if (!path.empty())
        result.push_back(path);
    return result;
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

// ---- UTF-16LE, the form of strings kept as hex ----

Bytes utf8ToUtf16WithTerminator(std::string_view text) {
    const std::string units = utf8ToUtf16le(text);
    Bytes out(units.begin(), units.end());
    out.push_back(0);
    out.push_back(0);
    return out;
}

// One terminating zero is dropped; what is not UTF-16 text is kept as replacement characters.
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

// ---- Writing ----

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

std::string keyHeader(const std::string& path) {
    std::string header = "[" + std::string(kRootName);
    if (!path.empty())
        header += "\\" + path;
    return header + "]";
}

std::string formatRegistry(const std::vector<Key>& keys) {
    std::string out = std::string(kFileHeader) + "\n\n";
    for (const Key& key : keys) {
        if (key.path.empty() && key.values.empty())
            continue; // the root always exists; an empty block for it says nothing
        out += keyHeader(key.path) + "\n";
        for (const NamedValue& entry : key.values)
            out += (entry.name.empty() ? "@" : quoted(entry.name)) + "=" + valueData(entry.value) +
                   "\n";
        out += "\n";
    }
    return out;
}

// ---- Reading ----

// Physical lines joined where a line ends in "\", as long hex data is wrapped; the
// continuation's leading indentation is dropped. CR before LF is tolerated.
std::vector<std::string> logicalLines(std::string_view text) {
    std::vector<std::string> lines;
    bool continuing = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (continuing)
            line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
        const bool continues = !line.empty() && line.back() == '\\';
        if (continues)
            line.remove_suffix(1);
        if (continuing)
            lines.back().append(line);
        else
            lines.emplace_back(line);
        continuing = continues;
    }
    return lines;
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

std::optional<NamedValue> parseValueLine(std::string_view line) {
    NamedValue entry;
    if (!consumePrefix(line, "@")) {
        auto name = consumeQuoted(line);
        if (!name)
            return std::nullopt;
        entry.name = std::move(*name);
    }
    skipSpaces(line);
    if (!consumePrefix(line, "="))
        return std::nullopt;
    skipSpaces(line);
    auto value = parseValueData(line);
    if (!value)
        return std::nullopt;
    entry.value = std::move(*value);
    return entry;
}

// The key path of a "[HKEY_CURRENT_USER\…]" header; nothing for other lines and other roots.
std::optional<std::string> parseKeyHeader(std::string_view line) {
    if (line.size() < 2 || line.front() != '[' || line.back() != ']')
        return std::nullopt;
    std::string_view inner = line.substr(1, line.size() - 2);
    if (!consumePrefix(inner, kRootName) || (!inner.empty() && inner.front() != '\\'))
        return std::nullopt;
    return normaliseKeyPath(inner);
}

// The element whose name matches without regard to ASCII case, or null.
template <typename Container, typename Element>
auto findByName(Container& items, std::string_view name, std::string Element::*nameOf) {
    const auto found = std::find_if(items.begin(), items.end(), [&](const Element& item) {
        return equalsIgnoringAsciiCase(item.*nameOf, name);
    });
    return found == items.end() ? nullptr : &*found;
}

} // namespace

// ---- Session ----

struct RegistrySession::State {
    std::string filePath;
    std::unique_ptr<FolderLock> lock; // only for sessions opened for update
    std::vector<Key> keys;            // in the order they were created
    bool changed = false;

    Key* findKey(const std::string& normalisedPath);
    Key& ensureKey(const std::string& normalisedPath);
    void parse(std::string_view text);
};

Key* RegistrySession::State::findKey(const std::string& normalisedPath) {
    return findByName(keys, normalisedPath, &Key::path);
}

// Creates the key with all missing keys above it; existing keys keep their spelling.
Key& RegistrySession::State::ensureKey(const std::string& normalisedPath) {
    if (normalisedPath.empty() && findKey(normalisedPath) == nullptr)
        keys.push_back(Key{});
    for (const std::string& path : pathAndAncestors(normalisedPath)) {
        if (findKey(path) == nullptr) {
            keys.push_back(Key{path, {}});
            changed = true;
        }
    }
    return *findKey(normalisedPath);
}

void RegistrySession::State::parse(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    Key* current = nullptr;
    for (const std::string& line : logicalLines(text)) {
        if (auto path = parseKeyHeader(line)) {
            current = &ensureKey(*path);
            continue;
        }
        auto entry = current ? parseValueLine(line) : std::nullopt;
        if (!entry)
            continue; // outside a key, blank, or not understood
        if (NamedValue* existing = findByName(current->values, entry->name, &NamedValue::name))
            existing->value = std::move(entry->value);
        else
            current->values.push_back(std::move(*entry));
    }
    changed = false; // the file as read is the baseline
}

RegistrySession::RegistrySession(std::unique_ptr<State> state) : m_state(std::move(state)) {}
RegistrySession::~RegistrySession() = default;
RegistrySession::RegistrySession(RegistrySession&&) noexcept = default;
RegistrySession& RegistrySession::operator=(RegistrySession&&) noexcept = default;

bool RegistrySession::keyExists(const std::string& keyPath) const {
    const std::string path = normaliseKeyPath(keyPath);
    return path.empty() || m_state->findKey(path) != nullptr;
}

void RegistrySession::createKey(const std::string& keyPath) {
    if (fitsOnOneLine(keyPath))
        m_state->ensureKey(normaliseKeyPath(keyPath));
}

std::vector<std::string> RegistrySession::valueNames(const std::string& keyPath) const {
    std::vector<std::string> names;
    if (const Key* key = m_state->findKey(normaliseKeyPath(keyPath))) {
        for (const NamedValue& entry : key->values)
            names.push_back(entry.name);
    }
    return names;
}

std::optional<RegValue> RegistrySession::readValue(const std::string& keyPath,
                                                   const std::string& name) const {
    const Key* key = m_state->findKey(normaliseKeyPath(keyPath));
    if (key == nullptr)
        return std::nullopt;
    const NamedValue* entry = findByName(key->values, name, &NamedValue::name);
    return entry ? std::optional(entry->value) : std::nullopt;
}

// A path or name with a line break or NUL cannot be stored and is ignored.
void RegistrySession::writeValue(const std::string& keyPath, const std::string& name,
                                 const RegValue& value) {
    if (!fitsOnOneLine(keyPath) || !fitsOnOneLine(name))
        return;
    Key& key = m_state->ensureKey(normaliseKeyPath(keyPath));
    const RegValue stored = essentialPart(value);
    NamedValue* entry = findByName(key.values, name, &NamedValue::name);
    if (entry == nullptr)
        key.values.push_back(NamedValue{name, stored});
    else if (entry->value != stored)
        entry->value = stored; // keeps its place and the spelling of its name
    else
        return;
    m_state->changed = true;
}

bool RegistrySession::deleteValue(const std::string& keyPath, const std::string& name) {
    Key* key = m_state->findKey(normaliseKeyPath(keyPath));
    if (key == nullptr)
        return false;
    const auto erased = std::erase_if(key->values, [&](const NamedValue& entry) {
        return equalsIgnoringAsciiCase(entry.name, name);
    });
    if (erased == 0)
        return false;
    m_state->changed = true;
    return true;
}

// Also allowed on a session opened for read; it then writes without holding the lock.
bool RegistrySession::commit() {
    if (!m_state->changed)
        return true;
    const std::string& path = m_state->filePath;
    if (!makeFolders(parentFolder(path)) ||
        !writeFileAtomically(path, formatRegistry(m_state->keys)))
        return false;
    m_state->changed = false;
    return true;
}

// ---- Registry ----

Registry::Registry(std::string filePath) : m_filePath(std::move(filePath)) {}

Registry Registry::currentUser() {
    return Registry(appConfigFolder() + "/" + std::string(kRootName) + ".reg");
}

RegistrySession Registry::openForRead() const {
    auto state = std::make_unique<RegistrySession::State>();
    state->filePath = m_filePath;
    state->parse(readWholeFile(m_filePath).value_or(std::string()));
    return RegistrySession(std::move(state));
}

RegistrySession Registry::openForUpdate() const {
    auto lock = std::make_unique<FolderLock>(m_filePath); // before reading, so no change is lost
    RegistrySession session = openForRead();
    session.m_state->lock = std::move(lock);
    return session;
}

std::optional<RegValue> Registry::readValue(const std::string& keyPath,
                                            const std::string& name) const {
    return openForRead().readValue(keyPath, name);
}

bool Registry::writeValue(const std::string& keyPath, const std::string& name,
                          const RegValue& value) const {
    if (!fitsOnOneLine(keyPath) || !fitsOnOneLine(name))
        return false;
    RegistrySession session = openForUpdate();
    session.writeValue(keyPath, name, value);
    return session.commit();
}

} // namespace zbpg::platform

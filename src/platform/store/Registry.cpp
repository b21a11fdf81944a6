#include "platform/store/Registry.h"

#include "platform/os/AtomicFile.h"
#include "platform/store/StoreFile.h"
#include "platform/store/RegistryFormat.h"
#include "platform/os/XdgPaths.h"
#include "text/Encoding.h"
#include "text/IntegerText.h"

#include <algorithm>
#include <memory>
#include <string_view>
#include <unordered_map>
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

using namespace regformat;

using Bytes = std::vector<std::uint8_t>;

// ---- The file as lines ----

// How the file's text is stored: code page 932 unless it starts with the UTF-8 byte order
// mark; it becomes UTF-8 with the mark while it holds a text CP932 cannot represent.
enum class FileEncoding { Cp932, Utf8WithBom };

// The text of a file's bytes. Most lines are ASCII, which both encodings keep as it is; only
// where the text differs from the bytes is it kept apart.
struct DecodedLine {
    bool decodable = true;
    std::optional<std::string> differing;
};

DecodedLine decode(std::string_view raw, FileEncoding encoding) {
    if (isAscii(raw))
        return {};
    if (encoding == FileEncoding::Utf8WithBom)
        return {isValidUtf8(raw), std::nullopt};
    auto text = cp932ToUtf8(raw);
    return {text.has_value(), std::move(text)};
}

bool fitsCp932Quickly(const std::string& text) {
    return isAscii(text) || fitsCp932(text);
}

std::optional<std::string> encode(const std::string& text, FileEncoding encoding) {
    if (encoding == FileEncoding::Cp932 && !isAscii(text))
        return utf8ToCp932(text);
    return text;
}

// One line of the file: a physical line, or several where a line ends in "\". Lines the
// program does not change are written back as they were read, byte for byte.
struct Entry {
    // The bytes as in the file, inner line ends included, without the last; for a line the
    // program wrote, its text.
    std::string raw;
    std::string ending;                 // "\r\n", "\n", or "" for a last line without one
    std::optional<std::string> decoded; // the text, where it differs from raw
    bool decodable = true;
    bool dirty = false;
    bool deleted = false;

    // The line's text (UTF-8); null when its bytes could not be decoded.
    const std::string* text() const {
        if (!decodable)
            return nullptr;
        return decoded ? &*decoded : &raw;
    }
};

bool isBlankEntry(const Entry& entry) {
    const std::string* text = entry.text();
    return text && trimmedBlanks(*text).empty();
}

constexpr std::size_t kNoHeader = static_cast<std::size_t>(-1);

struct KeyNode;

// A header and the lines after it up to the next header. The lines before the first header
// form a block without one.
struct Block {
    std::size_t header = kNoHeader;
    KeyNode* key = nullptr; // none before the first header and under other roots
    std::vector<std::size_t> body;
    // Where values added by the program go: after the last line that is not blank, so that a
    // blank line keeps separating the keys. Kept apart from the body, so that adding many
    // values never moves the blank lines after them again and again.
    std::size_t insertAt = 0;
    std::vector<std::size_t> added;
};

// The lines of one value name in a key, in file order; the last one that is understood is the
// value.
struct ValueSlot {
    std::string name; // as first spelled
    std::vector<std::size_t> entries;
};

// A key of HKEY_CURRENT_USER, found by its path one part at a time, so that looking a key up
// costs the length of its path. A key exists when a header names it or a key below it, or when
// the program created it.
struct KeyNode {
    std::string part; // as first spelled
    KeyNode* parent = nullptr;
    std::unordered_map<std::string, std::unique_ptr<KeyNode>> children; // by folded part
    std::vector<std::size_t> blocks;                                    // in file order
    std::vector<ValueSlot> slots;                                       // in order of appearance
    std::unordered_map<std::string, std::size_t> slotIndex;             // folded name -> slot

    std::string path() const {
        std::vector<const KeyNode*> chain;
        for (const KeyNode* node = this; node->parent != nullptr; node = node->parent)
            chain.push_back(node);
        std::string result;
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            if (!result.empty())
                result += '\\';
            result += (*it)->part;
        }
        return result;
    }
};

std::string valueLine(const std::string& name, const RegValue& value) {
    return (name.empty() ? "@" : quoted(name)) + "=" + valueData(value);
}

} // namespace

// ---- Session ----

struct RegistrySession::State {
    std::optional<StoreFile> file;
    FileEncoding encoding = FileEncoding::Cp932;
    std::string newLine = "\n";
    std::vector<Entry> entries;
    std::vector<Block> blocks{Block{}}; // the first holds the lines before any header
    std::unique_ptr<KeyNode> root = std::make_unique<KeyNode>();
    bool changed = false;

    void load(std::string_view content);
    void takeEntry(Entry entry);
    void closeBlock();
    KeyNode* findKey(std::string_view normalisedPath) const;
    KeyNode& ensureKey(std::string_view normalisedPath, bool fromFile);
    ValueSlot* findSlot(KeyNode& key, std::string_view name) const;
    ValueSlot& newSlot(KeyNode& key, const std::string& name);
    std::optional<RegValue> valueOf(const ValueSlot& slot) const;
    std::size_t addEntry(std::string text);
    void appendBlock(KeyNode& key);
    bool endsWithBlankLine() const;
    FileEncoding targetEncoding() const;
    std::optional<std::string> render() const;
};

void RegistrySession::State::load(std::string_view content) {
    encoding = content.starts_with(kUtf8Bom) ? FileEncoding::Utf8WithBom : FileEncoding::Cp932;
    if (encoding == FileEncoding::Utf8WithBom)
        content.remove_prefix(kUtf8Bom.size());
    bool firstEnding = true;
    bool continuing = false;
    Entry entry;
    entries.reserve(static_cast<std::size_t>(std::count(content.begin(), content.end(), '\n')) + 1);
    // Splitting on LF is safe in CP932 too: its second bytes are never 0A or 0D.
    while (!content.empty()) {
        const std::size_t lf = content.find('\n');
        std::string_view body = content.substr(0, lf);
        std::string ending;
        if (lf == std::string_view::npos) {
            content = {};
        } else {
            content.remove_prefix(lf + 1);
            ending = "\n";
            if (body.ends_with('\r')) {
                body.remove_suffix(1);
                ending = "\r\n";
            }
            if (firstEnding)
                newLine = ending;
            firstEnding = false;
        }
        DecodedLine line = decode(body, encoding);
        // Looked at in the decoded text: in CP932, 5C can be the second byte of a character.
        const bool continues =
            line.decodable && !ending.empty() &&
            (line.differing ? std::string_view(*line.differing) : body).ends_with('\\');
        if (!continuing) {
            entry = Entry{};
            entry.raw = std::string(body);
            entry.decoded = std::move(line.differing);
            entry.decodable = line.decodable;
        } else {
            if (!line.decodable) {
                entry.decodable = false;
            } else if (entry.decoded || line.differing) {
                if (!entry.decoded)
                    entry.decoded = entry.raw;
                *entry.decoded += entry.ending;
                *entry.decoded += line.differing ? std::string_view(*line.differing) : body;
            }
            entry.raw += entry.ending;
            entry.raw += body;
        }
        entry.ending = std::move(ending);
        continuing = continues;
        if (!continuing)
            takeEntry(std::move(entry));
    }
    if (continuing)
        takeEntry(std::move(entry));
    closeBlock();
}

// Files the entry as the next line of the file.
void RegistrySession::State::takeEntry(Entry entry) {
    const std::size_t index = entries.size();
    const bool decoded = entry.text() != nullptr;
    const std::string text = decoded ? logicalText(*entry.text()) : std::string();
    entries.push_back(std::move(entry));
    if (decoded && isKeyHeader(text)) {
        closeBlock();
        Block block;
        block.header = index;
        if (const auto path = parseKeyHeader(text)) {
            block.key = &ensureKey(*path, true);
            block.key->blocks.push_back(blocks.size());
        }
        blocks.push_back(std::move(block));
        return;
    }
    Block& block = blocks.back();
    block.body.push_back(index);
    if (block.key == nullptr || !decoded)
        return;
    if (const auto name = parseValueName(text)) {
        ValueSlot* slot = findSlot(*block.key, *name);
        (slot ? *slot : newSlot(*block.key, *name)).entries.push_back(index);
    }
}

// Called when a block's last line has been read.
void RegistrySession::State::closeBlock() {
    Block& block = blocks.back();
    block.insertAt = block.body.size();
    while (block.insertAt > 0 && isBlankEntry(entries[block.body[block.insertAt - 1]]))
        --block.insertAt;
}

KeyNode* RegistrySession::State::findKey(std::string_view normalisedPath) const {
    KeyNode* node = root.get();
    std::size_t start = 0;
    while (node != nullptr && start < normalisedPath.size()) {
        const std::size_t end = std::min(normalisedPath.find('\\', start), normalisedPath.size());
        const auto child =
            node->children.find(asciiLower(normalisedPath.substr(start, end - start)));
        node = child == node->children.end() ? nullptr : child->second.get();
        start = end + 1;
    }
    return node;
}

// The key with every missing key above it. Keys the program creates get a header of their own
// at the end of the file; keys read from the file only exist.
KeyNode& RegistrySession::State::ensureKey(std::string_view normalisedPath, bool fromFile) {
    KeyNode* node = root.get();
    std::size_t start = 0;
    while (start < normalisedPath.size()) {
        const std::size_t end = std::min(normalisedPath.find('\\', start), normalisedPath.size());
        const std::string_view part = normalisedPath.substr(start, end - start);
        auto& child = node->children[asciiLower(part)];
        if (child == nullptr) {
            child = std::make_unique<KeyNode>();
            child->part = std::string(part);
            child->parent = node;
            if (!fromFile)
                appendBlock(*child);
        }
        node = child.get();
        start = end + 1;
    }
    return *node;
}

ValueSlot* RegistrySession::State::findSlot(KeyNode& key, std::string_view name) const {
    const auto found = key.slotIndex.find(asciiLower(name));
    return found == key.slotIndex.end() ? nullptr : &key.slots[found->second];
}

ValueSlot& RegistrySession::State::newSlot(KeyNode& key, const std::string& name) {
    key.slots.push_back(ValueSlot{name, {}});
    key.slotIndex[asciiLower(name)] = key.slots.size() - 1;
    return key.slots.back();
}

std::optional<RegValue> RegistrySession::State::valueOf(const ValueSlot& slot) const {
    for (auto it = slot.entries.rbegin(); it != slot.entries.rend(); ++it) {
        const Entry& entry = entries[*it];
        if (entry.text() == nullptr)
            continue;
        if (auto value = parseValueLine(logicalText(*entry.text())))
            return value;
    }
    return std::nullopt;
}

std::size_t RegistrySession::State::addEntry(std::string text) {
    Entry entry;
    entry.raw = std::move(text);
    entry.ending = newLine;
    entry.dirty = true;
    entries.push_back(std::move(entry));
    changed = true;
    return entries.size() - 1;
}

bool RegistrySession::State::endsWithBlankLine() const {
    const Block& last = blocks.back();
    if (last.insertAt < last.body.size())
        return true; // only blank lines follow insertAt, and blank lines are never removed
    for (auto it = last.added.rbegin(); it != last.added.rend(); ++it) {
        if (!entries[*it].deleted)
            return false;
    }
    for (std::size_t i = last.insertAt; i > 0; --i) {
        const Entry& entry = entries[last.body[i - 1]];
        if (!entry.deleted)
            return isBlankEntry(entry);
    }
    return last.header == kNoHeader;
}

// A header for the key at the end of the file, after a blank line, with a blank line after it
// that stays after its values.
void RegistrySession::State::appendBlock(KeyNode& key) {
    if (entries.empty()) {
        blocks.front().body.push_back(addEntry(std::string(kFileHeader)));
        blocks.front().body.push_back(addEntry(std::string()));
    } else if (!endsWithBlankLine()) {
        blocks.back().body.push_back(addEntry(std::string()));
    }
    Block block;
    block.header = addEntry(keyHeader(key.path()));
    block.key = &key;
    block.body.push_back(addEntry(std::string()));
    key.blocks.push_back(blocks.size());
    blocks.push_back(std::move(block));
}

FileEncoding RegistrySession::State::targetEncoding() const {
    for (const Entry& entry : entries) {
        if (entry.deleted || entry.text() == nullptr)
            continue;
        const bool unchangedCp932 = encoding == FileEncoding::Cp932 && !entry.dirty;
        if (!unchangedCp932 && !fitsCp932Quickly(*entry.text()))
            return FileEncoding::Utf8WithBom;
    }
    return FileEncoding::Cp932;
}

std::optional<std::string> RegistrySession::State::render() const {
    const FileEncoding target = targetEncoding();
    std::vector<std::size_t> order;
    order.reserve(entries.size());
    for (const Block& block : blocks) {
        if (block.header != kNoHeader)
            order.push_back(block.header);
        const auto split = block.body.begin() + static_cast<std::ptrdiff_t>(block.insertAt);
        order.insert(order.end(), block.body.begin(), split);
        order.insert(order.end(), block.added.begin(), block.added.end());
        order.insert(order.end(), split, block.body.end());
    }
    std::size_t last = order.size();
    while (last > 0 && entries[order[last - 1]].deleted)
        --last;
    std::string out;
    if (target == FileEncoding::Utf8WithBom)
        out.append(kUtf8Bom);
    for (std::size_t i = 0; i < last; ++i) {
        const Entry& entry = entries[order[i]];
        if (entry.deleted)
            continue;
        if (!entry.dirty && (target == encoding || entry.text() == nullptr)) {
            out.append(entry.raw); // untouched, or undecodable: the bytes as they were
        } else if (auto bytes = encode(*entry.text(), target)) {
            out.append(*bytes);
        } else {
            return std::nullopt;
        }
        const bool final = i + 1 == last;
        out.append(entry.ending.empty() && !final ? newLine : entry.ending);
    }
    return out;
}

RegistrySession::RegistrySession(std::unique_ptr<State> state) : m_state(std::move(state)) {}
RegistrySession::~RegistrySession() = default;
RegistrySession::RegistrySession(RegistrySession&&) noexcept = default;
RegistrySession& RegistrySession::operator=(RegistrySession&&) noexcept = default;

bool RegistrySession::keyExists(const std::string& keyPath) const {
    return m_state->findKey(normaliseKeyPath(keyPath)) != nullptr;
}

void RegistrySession::createKey(const std::string& keyPath) {
    if (isStorablePath(keyPath))
        m_state->ensureKey(normaliseKeyPath(keyPath), false);
}

std::vector<std::string> RegistrySession::valueNames(const std::string& keyPath) const {
    std::vector<std::string> names;
    if (const KeyNode* key = m_state->findKey(normaliseKeyPath(keyPath))) {
        for (const ValueSlot& slot : key->slots) {
            if (m_state->valueOf(slot))
                names.push_back(slot.name);
        }
    }
    return names;
}

std::optional<RegValue> RegistrySession::readValue(const std::string& keyPath,
                                                   const std::string& name) const {
    KeyNode* key = m_state->findKey(normaliseKeyPath(keyPath));
    const ValueSlot* slot = key ? m_state->findSlot(*key, name) : nullptr;
    return slot ? m_state->valueOf(*slot) : std::nullopt;
}

// A path or name with a line break or NUL, or a path deeper than a key can be, cannot be
// stored and is ignored. An existing value
// changes its own line, keeping its place and the spelling of its name; a new one goes to the
// end of its key.
void RegistrySession::writeValue(const std::string& keyPath, const std::string& name,
                                 const RegValue& value) {
    if (!isStorablePath(keyPath) || !fitsOnOneLine(name))
        return;
    State& state = *m_state;
    KeyNode& key = state.ensureKey(normaliseKeyPath(keyPath), false);
    const RegValue stored = essentialPart(value);
    ValueSlot* slot = state.findSlot(key, name);
    if (slot != nullptr && !slot->entries.empty()) {
        if (state.valueOf(*slot) == stored)
            return;
        Entry& entry = state.entries[slot->entries.back()];
        entry.raw = valueLine(slot->name, stored);
        entry.decoded.reset();
        entry.decodable = true;
        entry.dirty = true;
        state.changed = true;
        return;
    }
    if (key.blocks.empty())
        state.appendBlock(key);
    // A name deleted before comes back at the end, as a new line does.
    ValueSlot& target = state.newSlot(key, name);
    const std::size_t added = state.addEntry(valueLine(name, stored));
    state.blocks[key.blocks.back()].added.push_back(added);
    target.entries.push_back(added);
}

bool RegistrySession::deleteValue(const std::string& keyPath, const std::string& name) {
    KeyNode* key = m_state->findKey(normaliseKeyPath(keyPath));
    ValueSlot* slot = key ? m_state->findSlot(*key, name) : nullptr;
    if (slot == nullptr || slot->entries.empty())
        return false;
    for (const std::size_t index : slot->entries)
        m_state->entries[index].deleted = true;
    slot->entries.clear();
    m_state->changed = true;
    return true;
}

// Also allowed on a session opened for read: it then takes the lock for the write and writes
// only when the file is still as it was read.
bool RegistrySession::commit() {
    State& state = *m_state;
    if (!state.changed)
        return true;
    const auto content = state.render();
    if (!content || !state.file->replace(*content))
        return false;
    // What is on disk now is the new base: later changes render against it.
    State fresh;
    fresh.file = std::move(state.file);
    fresh.load(*content);
    state = std::move(fresh);
    return true;
}

// ---- Registry ----

Registry::Registry(std::string filePath) : m_filePath(std::move(filePath)) {}

Registry Registry::currentUser() {
    return Registry(appConfigFolder() + "/" + std::string(kRootName) + ".reg");
}

RegistrySession Registry::openForRead() const {
    auto state = std::make_unique<RegistrySession::State>();
    state->file.emplace(m_filePath, false);
    state->load(state->file->takeContent());
    return RegistrySession(std::move(state));
}

RegistrySession Registry::openForUpdate() const {
    auto state = std::make_unique<RegistrySession::State>();
    state->file.emplace(m_filePath, true); // locks before reading, so no change is lost
    state->load(state->file->takeContent());
    return RegistrySession(std::move(state));
}

std::optional<RegValue> Registry::readValue(const std::string& keyPath,
                                            const std::string& name) const {
    return openForRead().readValue(keyPath, name);
}

bool Registry::writeValue(const std::string& keyPath, const std::string& name,
                          const RegValue& value) const {
    if (!isStorablePath(keyPath) || !fitsOnOneLine(name))
        return false;
    RegistrySession session = openForUpdate();
    session.writeValue(keyPath, name, value);
    return session.commit();
}

} // namespace zbpg::platform

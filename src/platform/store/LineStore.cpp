#include "platform/store/LineStore.h"

#include "platform/store/StoreFile.h"
#include "text/Encoding.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

namespace zbpg::platform {
namespace {

constexpr std::size_t kNoHeader = static_cast<std::size_t>(-1);

bool isBlank(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

// The text of a file's bytes. Most lines are ASCII, which both encodings keep as it is; only
// where the text differs from the bytes is it kept apart.
struct DecodedLine {
    bool decodable = true;
    std::optional<std::string> differing;
};

DecodedLine decode(std::string_view raw, StoreEncoding encoding) {
    if (isAscii(raw))
        return {};
    if (encoding == StoreEncoding::Utf8WithBom)
        return {isValidUtf8(raw), std::nullopt};
    auto text = cp932ToUtf8(raw);
    return {text.has_value(), std::move(text)};
}

std::optional<std::string> encode(const std::string& text, StoreEncoding encoding) {
    if (encoding == StoreEncoding::Cp932 && !isAscii(text))
        return utf8ToCp932(text);
    return text;
}

// Calls visit with each part of a group's path: the parts between the separators, or the
// whole path where the syntax has none.
template <class Visit>
void forEachPart(std::string_view path, std::optional<char> separator, Visit visit) {
    if (!separator) {
        visit(path);
        return;
    }
    std::size_t start = 0;
    while (start < path.size()) {
        const std::size_t end = std::min(path.find(*separator, start), path.size());
        if (!visit(path.substr(start, end - start)))
            return;
        start = end + 1;
    }
}

} // namespace

// One line of the file: a physical line, or several where the syntax continues a line in the
// next.
struct LineStore::Line {
    // The bytes as in the file, inner line ends included, without the last; for a line the
    // program wrote, its text.
    std::string raw;
    std::string ending;                 // "\r\n", "\n", or "" for a last line without one
    std::optional<std::string> decoded; // the text, where it differs from raw
    bool decodable = true;
    bool dirty = false;
    bool deleted = false;
    // The file's last line goes on in a next line that is not there: it goes on into nothing.
    bool openEnded = false;

    // The line's text (UTF-8); null when its bytes could not be decoded.
    const std::string* text() const {
        if (!decodable)
            return nullptr;
        return decoded ? &*decoded : &raw;
    }

    bool isBlankLine() const { return text() != nullptr && isBlank(*text()); }
};

// A header and the lines after it up to the next header. The lines before the first header
// form a block without one.
struct LineStore::Block {
    std::size_t header = kNoHeader;
    Group* group = nullptr; // none before the first header and for headers never read
    std::vector<std::size_t> body;
    // Where values added by the program go: after the last line that is not blank. Kept apart
    // from the body, so that adding many values never moves the blank lines after them again
    // and again.
    std::size_t insertAt = 0;
    std::vector<std::size_t> added;
};

// The lines of one value name in a group, in file order.
struct LineStore::Slot {
    std::string spelling; // as its first line spells it
    std::vector<std::size_t> lines;
};

// A section or key, found by its path one part at a time, so that looking a group up costs the
// length of its path.
struct LineStore::Group {
    std::string part; // as first spelled
    Group* parent = nullptr;
    std::unordered_map<std::string, std::unique_ptr<Group>> children; // by folded part
    std::vector<std::size_t> blocks;                                  // in file order
    std::vector<Slot> slots;                                          // in order of appearance
    std::unordered_map<std::string, std::size_t> slotIndex;           // folded name -> slot
};

LineStore::LineStore(const LineSyntax& syntax, const std::string& path, bool forUpdate,
                     const std::string& seedPath)
    : m_syntax(&syntax), m_file(std::make_unique<StoreFile>(path, forUpdate, seedPath)) {
    load(m_file->takeContent());
}

LineStore::~LineStore() = default;

// ---- Reading the file ----

void LineStore::load(std::string_view content) {
    m_encoding = content.starts_with(kUtf8Bom) ? StoreEncoding::Utf8WithBom : StoreEncoding::Cp932;
    if (m_encoding == StoreEncoding::Utf8WithBom)
        content.remove_prefix(kUtf8Bom.size());
    m_newLine = std::string(m_syntax->layout().newLine);
    m_lines.clear();
    m_blocks.assign(1, Block{});
    m_root = std::make_unique<Group>();
    m_changed = false;
    m_lines.reserve(static_cast<std::size_t>(std::count(content.begin(), content.end(), '\n')) + 1);
    bool firstEnding = true;
    bool continuing = false;
    Line line;
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
                m_newLine = ending;
            firstEnding = false;
        }
        DecodedLine decoded = decode(body, m_encoding);
        // Looked at in the decoded text: in CP932, 5C can be the second byte of a character.
        const bool continues = decoded.decodable &&
                               m_syntax->continuesOnNextLine(
                                   decoded.differing ? std::string_view(*decoded.differing) : body);
        if (!continuing) {
            line = Line{};
            line.raw = std::string(body);
            line.decoded = std::move(decoded.differing);
            line.decodable = decoded.decodable;
        } else {
            if (!decoded.decodable) {
                line.decodable = false;
            } else if (line.decoded || decoded.differing) {
                if (!line.decoded)
                    line.decoded = line.raw;
                *line.decoded += line.ending;
                *line.decoded += decoded.differing ? std::string_view(*decoded.differing) : body;
            }
            line.raw += line.ending;
            line.raw += body;
        }
        line.ending = std::move(ending);
        continuing = continues;
        if (!continuing)
            takeLine(std::move(line));
    }
    if (continuing) {
        line.openEnded = true;
        takeLine(std::move(line));
    }
    closeBlock();
}

// Files the line as the next line of the file.
void LineStore::takeLine(Line line) {
    const std::size_t index = m_lines.size();
    const std::string* text = line.text();
    LineMeaning meaning = text ? m_syntax->meaning(*text) : LineMeaning{};
    m_lines.push_back(std::move(line));
    if (meaning.kind == LineMeaning::Kind::Header) {
        closeBlock();
        Block block;
        block.header = index;
        block.group = groupOfHeader(meaning.name);
        m_blocks.push_back(std::move(block));
        return;
    }
    Block& block = m_blocks.back();
    block.body.push_back(index);
    if (block.group != nullptr && meaning.kind == LineMeaning::Kind::Value) {
        Slot& slot = slotFor(*block.group, *meaning.name);
        if (slot.lines.empty())
            slot.spelling = std::move(*meaning.name);
        slot.lines.push_back(index);
    }
}

// The group a header read from the file opens, with the block about to be added; none when
// its lines are never read.
LineStore::Group* LineStore::groupOfHeader(const std::optional<std::string>& path) {
    if (!path)
        return nullptr;
    Group& group = ensureGroup(*path, true);
    if (!group.blocks.empty() && m_syntax->layout().repeatedNames == RepeatedNames::FirstCounts)
        return nullptr;
    group.blocks.push_back(m_blocks.size());
    return &group;
}

// Called when a block's last line has been read.
void LineStore::closeBlock() {
    Block& block = m_blocks.back();
    block.insertAt = block.body.size();
    while (block.insertAt > 0 && m_lines[block.body[block.insertAt - 1]].isBlankLine())
        --block.insertAt;
}

// ---- Groups and values ----

LineStore::Group* LineStore::findGroup(std::string_view path) const {
    Group* node = m_root.get();
    forEachPart(path, m_syntax->layout().pathSeparator, [&node](std::string_view part) {
        const auto child = node->children.find(asciiLower(part));
        node = child == node->children.end() ? nullptr : child->second.get();
        return node != nullptr;
    });
    return node;
}

// The group with every missing group above it. Groups the program creates get a header of
// their own at the end of the file; groups read from the file only exist.
LineStore::Group& LineStore::ensureGroup(std::string_view path, bool fromFile) {
    Group* node = m_root.get();
    forEachPart(path, m_syntax->layout().pathSeparator, [&](std::string_view part) {
        auto& child = node->children[asciiLower(part)];
        if (child == nullptr) {
            child = std::make_unique<Group>();
            child->part = std::string(part);
            child->parent = node;
            if (!fromFile)
                appendBlock(*child);
        }
        node = child.get();
        return true;
    });
    return *node;
}

std::string LineStore::pathOf(const Group& group) const {
    std::vector<const Group*> chain;
    for (const Group* node = &group; node->parent != nullptr; node = node->parent)
        chain.push_back(node);
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (it != chain.rbegin())
            path += *m_syntax->layout().pathSeparator;
        path += (*it)->part;
    }
    return path;
}

LineStore::Slot* LineStore::findSlot(Group& group, std::string_view name) const {
    const auto found = group.slotIndex.find(asciiLower(name));
    return found == group.slotIndex.end() ? nullptr : &group.slots[found->second];
}

LineStore::Slot& LineStore::slotFor(Group& group, std::string_view name) {
    const auto [entry, added] = group.slotIndex.try_emplace(asciiLower(name), group.slots.size());
    if (added)
        group.slots.emplace_back();
    return group.slots[entry->second];
}

// The slot's spelling after its first line changed: the name as that line spells it (none
// for a name written that the syntax does not read back as one).
void LineStore::respell(Slot& slot) const {
    if (slot.lines.empty())
        return;
    const std::string* text = m_lines[slot.lines.front()].text();
    slot.spelling = (text ? m_syntax->meaning(*text).name : std::nullopt).value_or(std::string());
}

const LineStore::Line* LineStore::valueLineOf(const Slot& slot) const {
    const auto holds = [this](std::size_t index) {
        const std::string* text = m_lines[index].text();
        return text != nullptr && m_syntax->holdsValue(*text);
    };
    if (m_syntax->layout().repeatedNames == RepeatedNames::FirstCounts) {
        if (!slot.lines.empty() && holds(slot.lines.front()))
            return &m_lines[slot.lines.front()];
        return nullptr;
    }
    for (auto it = slot.lines.rbegin(); it != slot.lines.rend(); ++it) {
        if (holds(*it))
            return &m_lines[*it];
    }
    return nullptr;
}

bool LineStore::hasGroup(std::string_view path) const {
    return findGroup(path) != nullptr;
}

const std::string* LineStore::valueLine(std::string_view groupPath, std::string_view name) const {
    Group* group = findGroup(groupPath);
    const Slot* slot = group ? findSlot(*group, name) : nullptr;
    const Line* line = slot ? valueLineOf(*slot) : nullptr;
    return line ? line->text() : nullptr;
}

std::vector<std::string> LineStore::valueNames(std::string_view groupPath) const {
    const Group* group = findGroup(groupPath);
    if (group == nullptr)
        return {};
    // Ordered by their first lines: within a group, a line the program adds comes after the
    // ones read, and a name whose first line was removed moves to its next one.
    std::vector<std::pair<std::size_t, const std::string*>> named;
    for (const Slot& slot : group->slots) {
        if (valueLineOf(slot) != nullptr)
            named.emplace_back(slot.lines.front(), &slot.spelling);
    }
    std::sort(named.begin(), named.end());
    std::vector<std::string> names;
    names.reserve(named.size());
    for (const auto& [first, spelling] : named)
        names.push_back(*spelling);
    return names;
}

// ---- Changes ----

std::size_t LineStore::addLine(std::string text) {
    Line line;
    line.raw = std::move(text);
    line.ending = m_newLine;
    line.dirty = true;
    m_lines.push_back(std::move(line));
    m_changed = true;
    return m_lines.size() - 1;
}

bool LineStore::endsWithBlankLine() const {
    const Block& last = m_blocks.back();
    if (last.insertAt < last.body.size())
        return true; // only blank lines follow insertAt, and blank lines are never removed
    for (auto it = last.added.rbegin(); it != last.added.rend(); ++it) {
        if (!m_lines[*it].deleted)
            return false;
    }
    for (std::size_t i = last.insertAt; i > 0; --i) {
        const Line& line = m_lines[last.body[i - 1]];
        if (!line.deleted)
            return line.isBlankLine();
    }
    return last.header == kNoHeader;
}

// A header for the group at the end of the file.
void LineStore::appendBlock(Group& group) {
    const LineSyntax::Layout& layout = m_syntax->layout();
    if (m_lines.empty() && !layout.fileHeader.empty()) {
        m_blocks.front().body.push_back(addLine(std::string(layout.fileHeader)));
        m_blocks.front().body.push_back(addLine(std::string()));
    } else if (layout.blankLineAroundGroups && !endsWithBlankLine()) {
        m_blocks.back().body.push_back(addLine(std::string()));
    }
    Block block;
    block.header = addLine(m_syntax->headerLine(pathOf(group)));
    block.group = &group;
    if (layout.blankLineAroundGroups)
        block.body.push_back(addLine(std::string()));
    group.blocks.push_back(m_blocks.size());
    m_blocks.push_back(std::move(block));
}

void LineStore::createGroup(std::string_view path) {
    (void)ensureGroup(path, false);
}

void LineStore::writeValue(std::string_view groupPath, std::string_view name,
                           std::string_view data) {
    Group& group = ensureGroup(groupPath, false);
    Slot& slot = slotFor(group, name);
    if (!slot.lines.empty()) {
        const bool first = m_syntax->layout().repeatedNames == RepeatedNames::FirstCounts;
        Line& line = m_lines[first ? slot.lines.front() : slot.lines.back()];
        line.raw = m_syntax->valueLine(slot.spelling, data);
        line.decoded.reset();
        line.decodable = true;
        line.dirty = true;
        line.openEnded = false;
        m_changed = true;
        return;
    }
    if (group.blocks.empty())
        appendBlock(group);
    const std::size_t added = addLine(m_syntax->valueLine(name, data));
    m_blocks[group.blocks.back()].added.push_back(added);
    slot.lines.push_back(added);
    respell(slot);
}

bool LineStore::removeValue(std::string_view groupPath, std::string_view name) {
    Group* group = findGroup(groupPath);
    Slot* slot = group ? findSlot(*group, name) : nullptr;
    if (slot == nullptr || slot->lines.empty())
        return false;
    if (m_syntax->layout().repeatedNames == RepeatedNames::FirstCounts) {
        m_lines[slot->lines.front()].deleted = true;
        slot->lines.erase(slot->lines.begin());
        respell(*slot);
    } else {
        for (const std::size_t index : slot->lines)
            m_lines[index].deleted = true;
        slot->lines.clear();
    }
    m_changed = true;
    return true;
}

// ---- Writing the file ----

// UTF-8 while a text does not fit CP932; but a line kept as bytes that cannot be decoded keeps
// the file in its encoding where the other one would decode it: it would start to mean
// something (a header, moving the lines after it to another section) that it never meant.
StoreEncoding LineStore::targetEncoding() const {
    StoreEncoding target = StoreEncoding::Cp932;
    for (const Line& line : m_lines) {
        if (line.deleted || line.text() == nullptr)
            continue;
        const bool unchangedCp932 = m_encoding == StoreEncoding::Cp932 && !line.dirty;
        if (!unchangedCp932 && !isAscii(*line.text()) && !fitsCp932(*line.text())) {
            target = StoreEncoding::Utf8WithBom;
            break;
        }
    }
    if (target == m_encoding)
        return target;
    for (const Line& line : m_lines) {
        if (!line.deleted && !line.decodable && decode(line.raw, target).decodable)
            return m_encoding;
    }
    return target;
}

std::optional<std::string> LineStore::render() const {
    const StoreEncoding target = targetEncoding();
    std::vector<std::size_t> order;
    order.reserve(m_lines.size());
    for (const Block& block : m_blocks) {
        if (block.header != kNoHeader)
            order.push_back(block.header);
        const auto split = block.body.begin() + static_cast<std::ptrdiff_t>(block.insertAt);
        order.insert(order.end(), block.body.begin(), split);
        order.insert(order.end(), block.added.begin(), block.added.end());
        order.insert(order.end(), split, block.body.end());
    }
    std::size_t last = order.size();
    while (last > 0 && m_lines[order[last - 1]].deleted)
        --last;
    std::string out;
    if (target == StoreEncoding::Utf8WithBom)
        out.append(kUtf8Bom);
    const Line* previous = nullptr;
    for (std::size_t i = 0; i < last; ++i) {
        const Line& line = m_lines[order[i]];
        if (line.deleted)
            continue;
        // A line that went on into nothing now goes on into an empty line, which means the
        // same, rather than into the line after it.
        if (previous != nullptr && previous->openEnded)
            out.append(m_newLine);
        previous = &line;
        if (!line.dirty && (target == m_encoding || line.text() == nullptr)) {
            out.append(line.raw); // untouched, or undecodable: the bytes as they were
        } else if (auto bytes = encode(*line.text(), target)) {
            out.append(*bytes);
        } else {
            return std::nullopt;
        }
        const bool final = i + 1 == last;
        out.append(line.ending.empty() && !final ? m_newLine : line.ending);
    }
    return out;
}

bool LineStore::commit() {
    if (!m_changed)
        return true;
    const auto content = render();
    if (!content || !m_file->replace(*content))
        return false;
    // What is on disk now is the new base: later changes render against it.
    load(*content);
    return true;
}

} // namespace zbpg::platform

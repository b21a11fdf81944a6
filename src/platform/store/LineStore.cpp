#include "platform/store/LineStore.h"

#include "platform/store/StoreFile.h"
#include "text/Encoding.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

namespace zbpg::platform {
namespace {

constexpr IndexTable::Index kNone = IndexTable::kNone;
constexpr IndexTable::Index kRoot = 0;

// What a line is besides its bytes.
constexpr std::uint8_t kWritten = 1;     // its text is the program's, in m_written
constexpr std::uint8_t kDeleted = 2;     // removed: not written back
constexpr std::uint8_t kUndecodable = 4; // its bytes are not text in the file's encoding
// The file's last line goes on in a next line that is not there: it goes on into nothing.
constexpr std::uint8_t kOpenEnded = 8;
// The first line of its name in its group that is not deleted: the one that names the value.
constexpr std::uint8_t kFirstOfName = 16;

bool isBlank(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

// Empty, and its memory given back: clear() keeps it, and so may a move assignment (a string
// hands its buffer to the string it takes the text of).
template <typename Container> void releaseMemoryOf(Container& container) {
    Container empty;
    std::swap(container, empty);
}

bool decodesIn(std::string_view bytes, StoreEncoding encoding) {
    if (encoding == StoreEncoding::Utf8WithBom)
        return isValidUtf8(bytes);
    return isAscii(bytes) || cp932ToUtf8(bytes).has_value();
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
// next. Twenty bytes, its text left where it is, so that a file of short lines costs a few
// times its size, not tens of times.
struct LineStore::Line {
    // Where its bytes are: in the file as read (inner line ends included, without the last),
    // or, for a line the program wrote, its text in m_written.
    Index begin = 0;
    Index size = 0;
    Index nextOfName = kNone; // the next line of the same name in its group, in file order
    Index group = kNone;      // the group whose value a value line names; none for other lines
    Ending ending = Ending::None;
    std::uint8_t flags = 0;

    bool has(std::uint8_t flag) const { return (flags & flag) != 0; }
};

// The lines the program added to a block.
struct LineStore::AddedLines {
    std::vector<Index> values; // after the block's last line that is not blank
    std::vector<Index> after;  // after all of its lines: blank lines, the file's first line
};

// A header and the lines after it up to the next header. The lines before the first header
// form a block without one.
struct LineStore::Block {
    Index header = kNone;
    // The lines read after the header, [first, end), and where the values the program adds go:
    // after the last line that is not blank, so that adding many values never moves the blank
    // lines after them again and again.
    Index first = 0;
    Index insertAt = 0;
    Index end = 0;
    Index group = kNone; // none before the first header and for headers never read
    Index nextOfGroup = kNone;
    std::unique_ptr<AddedLines> added;
};

// A section or key, found by the group above it and its part of the path, so that looking a
// group up costs the length of its path.
struct LineStore::Group {
    Index parent = kNone;
    Index partBegin = 0; // in m_parts
    Index partSize = 0;
    Index firstBlock = kNone;
    Index lastBlock = kNone;
};

LineStore::LineStore(const LineSyntax& syntax, const std::string& path, bool forUpdate,
                     const std::string& seedPath)
    : m_syntax(&syntax), m_file(std::make_unique<StoreFile>(path, forUpdate, seedPath)) {
    load(m_file->takeContent());
}

LineStore::~LineStore() = default;

// ---- Reading the file ----

void LineStore::load(std::string content) {
    // What was read before goes first, so that the old lines and the new are never in memory
    // together.
    releaseMemoryOf(m_content);
    m_content = std::move(content);
    releaseMemoryOf(m_written);
    releaseMemoryOf(m_addedNames);
    releaseMemoryOf(m_lines);
    releaseMemoryOf(m_addedLines);
    releaseMemoryOf(m_blocks);
    releaseMemoryOf(m_groups);
    releaseMemoryOf(m_parts);
    releaseMemoryOf(m_groupIndex);
    releaseMemoryOf(m_nameIndex);

    m_encoding = std::string_view(m_content).starts_with(kUtf8Bom) ? StoreEncoding::Utf8WithBom
                                                                   : StoreEncoding::Cp932;
    m_newLine = m_syntax->layout().newLine == "\n" ? Ending::Lf : Ending::CrLf;
    const auto lineCount =
        static_cast<std::size_t>(std::count(m_content.begin(), m_content.end(), '\n')) + 1;
    m_lines.reserve(lineCount);
    m_blocks.emplace_back();
    m_groups.emplace_back();
    m_nameIndex.clear(lineCount);
    m_changed = false;

    bool firstEnding = true;
    bool continuing = false;
    Line line;
    std::string buffer;
    std::size_t position = m_encoding == StoreEncoding::Utf8WithBom ? kUtf8Bom.size() : 0;
    // Splitting on LF is safe in CP932 too: its second bytes are never 0A or 0D.
    while (position < m_content.size()) {
        const std::size_t lf = m_content.find('\n', position);
        std::size_t bodyEnd = lf == std::string::npos ? m_content.size() : lf;
        Ending ending = Ending::None;
        if (lf != std::string::npos) {
            ending = Ending::Lf;
            if (bodyEnd > position && m_content[bodyEnd - 1] == '\r') {
                --bodyEnd;
                ending = Ending::CrLf;
            }
            if (firstEnding)
                m_newLine = ending;
            firstEnding = false;
        }
        if (!continuing)
            line = Line{static_cast<Index>(position)};
        const auto text =
            decodedText(std::string_view(m_content).substr(position, bodyEnd - position), buffer);
        if (!text)
            line.flags |= kUndecodable;
        line.size = static_cast<Index>(bodyEnd - line.begin);
        line.ending = ending;
        position = lf == std::string::npos ? m_content.size() : lf + 1;
        // Looked at in the decoded text: in CP932, 5C can be the second byte of a character.
        continuing = text && m_syntax->continuesOnNextLine(*text);
        if (!continuing)
            takeLine(line);
    }
    if (continuing) {
        line.flags |= kOpenEnded;
        takeLine(line);
    }
    closeBlock();
    putChainsInFileOrder();
}

// Files the line as the next line of the file.
void LineStore::takeLine(const Line& line) {
    const auto index = static_cast<Index>(m_lines.size());
    std::string buffer;
    const auto text = textOf(line, buffer);
    LineMeaning meaning = text ? m_syntax->meaning(*text) : LineMeaning{};
    m_lines.push_back(line);
    if (meaning.kind == LineMeaning::Kind::Header) {
        closeBlock();
        Block block;
        block.header = index;
        block.first = block.insertAt = block.end = index + 1;
        block.group = groupOfHeader(meaning.name);
        m_blocks.push_back(std::move(block));
        return;
    }
    Block& block = m_blocks.back();
    block.end = index + 1;
    if (block.group != kNone && meaning.kind == LineMeaning::Kind::Value)
        addToChainWhileLoading(block.group, *meaning.name, index);
}

// The group a header read from the file opens, with the block about to be added; none when
// its lines are never read.
LineStore::Index LineStore::groupOfHeader(const std::optional<std::string>& path) {
    if (!path)
        return kNone;
    const Index group = ensureGroup(*path, true);
    if (m_groups[group].firstBlock != kNone &&
        m_syntax->layout().repeatedNames == RepeatedNames::FirstCounts)
        return kNone;
    linkBlock(group, static_cast<Index>(m_blocks.size()));
    return group;
}

// Called when a block's last line has been read.
void LineStore::closeBlock() {
    Block& block = m_blocks.back();
    block.insertAt = block.end;
    while (block.insertAt > block.first && isBlankLine(block.insertAt - 1))
        --block.insertAt;
}

// While the file is read, each name's lines are chained newest first, so that adding one is
// quick; then every chain is turned round.
void LineStore::putChainsInFileOrder() {
    m_nameIndex.forEachIndex([this](Index& chain) {
        Index previous = kNone;
        for (Index line = chain; line != kNone;) {
            const Index next = lineAt(line).nextOfName;
            lineAt(line).nextOfName = previous;
            previous = line;
            line = next;
        }
        chain = previous;
        lineAt(chain).flags |= kFirstOfName;
    });
}

// The text of a file's bytes, nothing when they cannot be decoded. Most lines are ASCII, which
// both encodings keep as it is.
std::optional<std::string_view> LineStore::decodedText(std::string_view bytes,
                                                       std::string& buffer) const {
    if (m_encoding == StoreEncoding::Utf8WithBom)
        return isValidUtf8(bytes) ? std::optional(bytes) : std::nullopt;
    if (isAscii(bytes))
        return bytes;
    auto text = cp932ToUtf8(bytes);
    if (!text)
        return std::nullopt;
    buffer = std::move(*text);
    return buffer;
}

LineStore::Line& LineStore::lineAt(Index index) {
    return index < m_lines.size() ? m_lines[index] : m_addedLines[index - m_lines.size()];
}

const LineStore::Line& LineStore::lineAt(Index index) const {
    return index < m_lines.size() ? m_lines[index] : m_addedLines[index - m_lines.size()];
}

std::string_view LineStore::rawOf(const Line& line) const {
    return std::string_view(line.has(kWritten) ? m_written : m_content)
        .substr(line.begin, line.size);
}

// The line's text (UTF-8): a view of its bytes where they are the text, else decoded into the
// buffer; nothing when its bytes could not be decoded.
std::optional<std::string_view> LineStore::textOf(const Line& line, std::string& buffer) const {
    if (line.has(kUndecodable))
        return std::nullopt;
    const std::string_view raw = rawOf(line);
    if (line.has(kWritten) || m_encoding == StoreEncoding::Utf8WithBom || isAscii(raw))
        return raw;
    return decodedText(raw, buffer);
}

// The name of a value line, as it was added or as its text gives it.
std::optional<std::string> LineStore::nameOf(Index line) const {
    const auto added = m_addedNames.find(line);
    if (added != m_addedNames.end())
        return added->second;
    std::string buffer;
    const auto text = textOf(lineAt(line), buffer);
    return text ? m_syntax->meaning(*text).name : std::nullopt;
}

// The name as the line spells it; empty for a name written that the syntax does not read
// back as one.
std::string LineStore::spellingOf(Index line) const {
    std::string buffer;
    const auto text = textOf(lineAt(line), buffer);
    return (text ? m_syntax->meaning(*text).name : std::nullopt).value_or(std::string());
}

bool LineStore::isBlankLine(Index line) const {
    std::string buffer;
    const auto text = textOf(lineAt(line), buffer);
    return text && isBlank(*text);
}

bool LineStore::holdsValue(Index line) const {
    std::string buffer;
    const auto text = textOf(lineAt(line), buffer);
    return text && m_syntax->holdsValue(*text);
}

// ---- Groups ----

std::string_view LineStore::partOf(Index group) const {
    return std::string_view(m_parts).substr(m_groups[group].partBegin, m_groups[group].partSize);
}

LineStore::Index LineStore::findGroup(std::string_view path) const {
    Index node = kRoot;
    forEachPart(path, m_syntax->layout().pathSeparator, [&](std::string_view part) {
        const Index* child =
            m_groupIndex.find(IndexTable::foldedHash(node, part), [&](Index group) {
                return m_groups[group].parent == node &&
                       equalsIgnoringAsciiCase(partOf(group), part);
            });
        node = child ? *child : kNone;
        return node != kNone;
    });
    return node;
}

// The group with every missing group above it. Groups the program creates get a header of
// their own at the end of the file; groups read from the file only exist.
LineStore::Index LineStore::ensureGroup(std::string_view path, bool fromFile) {
    Index node = kRoot;
    forEachPart(path, m_syntax->layout().pathSeparator, [&](std::string_view part) {
        const std::uint32_t hash = IndexTable::foldedHash(node, part);
        const Index* child = m_groupIndex.find(hash, [&](Index group) {
            return m_groups[group].parent == node && equalsIgnoringAsciiCase(partOf(group), part);
        });
        if (child != nullptr) {
            node = *child;
            return true;
        }
        const auto group = static_cast<Index>(m_groups.size());
        m_groups.push_back(
            Group{node, static_cast<Index>(m_parts.size()), static_cast<Index>(part.size())});
        m_parts.append(part);
        m_groupIndex.add(hash, group);
        if (!fromFile)
            appendBlock(group);
        node = group;
        return true;
    });
    return node;
}

void LineStore::linkBlock(Index group, Index block) {
    Group& node = m_groups[group];
    if (node.lastBlock == kNone)
        node.firstBlock = block;
    else
        m_blocks[node.lastBlock].nextOfGroup = block;
    node.lastBlock = block;
}

std::string LineStore::pathOf(Index group) const {
    std::vector<Index> chain;
    for (Index node = group; node != kRoot; node = m_groups[node].parent)
        chain.push_back(node);
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (it != chain.rbegin())
            path += *m_syntax->layout().pathSeparator;
        path += partOf(*it);
    }
    return path;
}

// ---- Values ----

// The first line of the group's lines of the name, deleted ones included; none when the group
// never had one.
LineStore::Index LineStore::findChain(Index group, std::string_view name) const {
    const Index* chain = m_nameIndex.find(IndexTable::foldedHash(group, name),
                                          [&](Index line) { return isLineOf(line, group, name); });
    return chain ? *chain : kNone;
}

bool LineStore::isLineOf(Index line, Index group, std::string_view name) const {
    if (lineAt(line).group != group)
        return false;
    const auto lineName = nameOf(line);
    return lineName && equalsIgnoringAsciiCase(*lineName, name);
}

void LineStore::addToChainWhileLoading(Index group, std::string_view name, Index line) {
    lineAt(line).group = group;
    const std::uint32_t hash = IndexTable::foldedHash(group, name);
    Index* chain =
        m_nameIndex.find(hash, [&](Index other) { return isLineOf(other, group, name); });
    if (chain == nullptr) {
        m_nameIndex.add(hash, line);
        return;
    }
    lineAt(line).nextOfName = *chain;
    *chain = line;
}

LineStore::Index LineStore::firstLiveOf(Index chain) const {
    for (Index line = chain; line != kNone; line = lineAt(line).nextOfName) {
        if (!lineAt(line).has(kDeleted))
            return line;
    }
    return kNone;
}

LineStore::Index LineStore::lastLiveOf(Index chain) const {
    Index last = kNone;
    for (Index line = chain; line != kNone; line = lineAt(line).nextOfName) {
        if (!lineAt(line).has(kDeleted))
            last = line;
    }
    return last;
}

// The line that holds the value, by the syntax's rule for repeated names.
LineStore::Index LineStore::valueLineOf(Index chain) const {
    if (m_syntax->layout().repeatedNames == RepeatedNames::FirstCounts) {
        const Index first = firstLiveOf(chain);
        return first != kNone && holdsValue(first) ? first : kNone;
    }
    Index last = kNone;
    for (Index line = chain; line != kNone; line = lineAt(line).nextOfName) {
        if (!lineAt(line).has(kDeleted) && holdsValue(line))
            last = line;
    }
    return last;
}

bool LineStore::hasGroup(std::string_view path) const {
    return findGroup(path) != kNone;
}

std::optional<std::string> LineStore::valueLine(std::string_view groupPath,
                                                std::string_view name) const {
    const Index group = findGroup(groupPath);
    const Index chain = group == kNone ? kNone : findChain(group, name);
    const Index line = chain == kNone ? kNone : valueLineOf(chain);
    if (line == kNone)
        return std::nullopt;
    std::string buffer;
    const auto text = textOf(lineAt(line), buffer);
    return text ? std::optional<std::string>(*text) : std::nullopt;
}

std::vector<std::string> LineStore::valueNames(std::string_view groupPath) const {
    std::vector<std::string> names;
    forEachValueName(groupPath, [&names](std::string_view name) { names.emplace_back(name); });
    return names;
}

void LineStore::forEachValueName(std::string_view groupPath,
                                 const std::function<void(std::string_view)>& visit) const {
    const Index group = findGroup(groupPath);
    if (group == kNone)
        return;
    // Ordered by their first lines: within a group, a line the program adds comes after the
    // ones read, and a name whose first line was removed moves to its next one.
    const auto take = [&](Index line) {
        if (lineAt(line).group == group && lineAt(line).has(kFirstOfName) &&
            valueLineOf(line) != kNone)
            visit(spellingOf(line));
    };
    std::vector<Index> added;
    for (Index index = m_groups[group].firstBlock; index != kNone;
         index = m_blocks[index].nextOfGroup) {
        const Block& block = m_blocks[index];
        for (Index line = block.first; line < block.end; ++line)
            take(line);
        if (block.added)
            added.insert(added.end(), block.added->values.begin(), block.added->values.end());
    }
    std::sort(added.begin(), added.end());
    for (const Index line : added)
        take(line);
}

// ---- Changes ----

LineStore::Index LineStore::addLine(std::string_view text) {
    Line line;
    line.begin = static_cast<Index>(m_written.size());
    line.size = static_cast<Index>(text.size());
    line.ending = m_newLine;
    line.flags = kWritten;
    m_written.append(text);
    m_addedLines.push_back(line);
    m_changed = true;
    return static_cast<Index>(m_lines.size() + m_addedLines.size() - 1);
}

void LineStore::rewrite(Index index, std::string_view text) {
    Line& line = lineAt(index);
    line.begin = static_cast<Index>(m_written.size());
    line.size = static_cast<Index>(text.size());
    line.flags = static_cast<std::uint8_t>((line.flags | kWritten) & ~(kUndecodable | kOpenEnded));
    m_written.append(text);
    m_changed = true;
}

LineStore::AddedLines& LineStore::addedLinesOf(Block& block) {
    if (!block.added)
        block.added = std::make_unique<AddedLines>();
    return *block.added;
}

bool LineStore::endsWithBlankLine() const {
    const Block& last = m_blocks.back();
    if (last.added && !last.added->after.empty())
        return isBlankLine(last.added->after.back());
    if (last.insertAt < last.end)
        return true; // only blank lines follow insertAt, and blank lines are never removed
    if (last.added) {
        for (auto it = last.added->values.rbegin(); it != last.added->values.rend(); ++it) {
            if (!lineAt(*it).has(kDeleted))
                return false;
        }
    }
    for (Index line = last.insertAt; line > last.first; --line) {
        if (!lineAt(line - 1).has(kDeleted))
            return isBlankLine(line - 1);
    }
    return last.header == kNone;
}

// A header for the group at the end of the file.
void LineStore::appendBlock(Index group) {
    const LineSyntax::Layout& layout = m_syntax->layout();
    if (m_lines.empty() && m_addedLines.empty() && !layout.fileHeader.empty()) {
        auto& after = addedLinesOf(m_blocks.front()).after;
        after.push_back(addLine(layout.fileHeader));
        after.push_back(addLine({}));
    } else if (layout.blankLineAroundGroups && !endsWithBlankLine()) {
        addedLinesOf(m_blocks.back()).after.push_back(addLine({}));
    }
    Block block;
    block.header = addLine(m_syntax->headerLine(pathOf(group)));
    block.group = group;
    if (layout.blankLineAroundGroups)
        addedLinesOf(block).after.push_back(addLine({}));
    linkBlock(group, static_cast<Index>(m_blocks.size()));
    m_blocks.push_back(std::move(block));
}

void LineStore::createGroup(std::string_view path) {
    (void)ensureGroup(path, false);
}

void LineStore::writeValue(std::string_view groupPath, std::string_view name,
                           std::string_view data) {
    const Index group = ensureGroup(groupPath, false);
    const Index chain = findChain(group, name);
    const Index first = chain == kNone ? kNone : firstLiveOf(chain);
    if (first != kNone) {
        const bool firstCounts = m_syntax->layout().repeatedNames == RepeatedNames::FirstCounts;
        rewrite(firstCounts ? first : lastLiveOf(chain),
                m_syntax->valueLine(spellingOf(first), data));
        return;
    }
    if (m_groups[group].firstBlock == kNone)
        appendBlock(group);
    const Index added = addLine(m_syntax->valueLine(name, data));
    addedLinesOf(m_blocks[m_groups[group].lastBlock]).values.push_back(added);
    lineAt(added).group = group;
    lineAt(added).flags |= kFirstOfName; // the name has no other line that is not deleted
    m_addedNames.emplace(added, std::string(name));
    if (chain == kNone) {
        m_nameIndex.add(IndexTable::foldedHash(group, name), added);
        return;
    }
    Index last = chain;
    while (lineAt(last).nextOfName != kNone)
        last = lineAt(last).nextOfName;
    lineAt(last).nextOfName = added;
}

bool LineStore::removeValue(std::string_view groupPath, std::string_view name) {
    const Index group = findGroup(groupPath);
    const Index chain = group == kNone ? kNone : findChain(group, name);
    const Index first = chain == kNone ? kNone : firstLiveOf(chain);
    if (first == kNone)
        return false;
    lineAt(first).flags = static_cast<std::uint8_t>(lineAt(first).flags & ~kFirstOfName);
    if (m_syntax->layout().repeatedNames == RepeatedNames::FirstCounts) {
        lineAt(first).flags |= kDeleted;
        if (const Index next = firstLiveOf(chain); next != kNone)
            lineAt(next).flags |= kFirstOfName;
    } else {
        for (Index line = first; line != kNone; line = lineAt(line).nextOfName)
            lineAt(line).flags |= kDeleted;
    }
    m_changed = true;
    return true;
}

// ---- Writing the file ----

std::string_view LineStore::endingText(Ending ending) {
    switch (ending) {
    case Ending::None:
        return {};
    case Ending::Lf:
        return "\n";
    case Ending::CrLf:
        return "\r\n";
    }
    return {};
}

template <typename Visit> void LineStore::forEachLineInOrder(Visit visit) const {
    for (const Block& block : m_blocks) {
        if (block.header != kNone)
            visit(block.header);
        for (Index line = block.first; line < block.insertAt; ++line)
            visit(line);
        if (block.added) {
            for (const Index line : block.added->values)
                visit(line);
        }
        for (Index line = block.insertAt; line < block.end; ++line)
            visit(line);
        if (block.added) {
            for (const Index line : block.added->after)
                visit(line);
        }
    }
}

// UTF-8 while a text does not fit CP932; but a line kept as bytes that cannot be decoded keeps
// the file in its encoding where the other one would decode it: it would start to mean
// something (a header, moving the lines after it to another section) that it never meant.
StoreEncoding LineStore::targetEncoding() const {
    StoreEncoding target = StoreEncoding::Cp932;
    std::string buffer;
    const auto needsUtf8 = [&](const Line& line) {
        if (line.has(kDeleted) || line.has(kUndecodable) ||
            (m_encoding == StoreEncoding::Cp932 && !line.has(kWritten)))
            return false;
        const auto text = textOf(line, buffer);
        return text && !isAscii(*text) && !fitsCp932(*text);
    };
    if (std::any_of(m_lines.begin(), m_lines.end(), needsUtf8) ||
        std::any_of(m_addedLines.begin(), m_addedLines.end(), needsUtf8))
        target = StoreEncoding::Utf8WithBom;
    if (target == m_encoding)
        return target;
    // Lines the program added are its own texts: they always decode.
    const bool wouldMeanSomething =
        std::any_of(m_lines.begin(), m_lines.end(), [&](const Line& line) {
            return !line.has(kDeleted) && line.has(kUndecodable) && decodesIn(rawOf(line), target);
        });
    return wouldMeanSomething ? m_encoding : target;
}

// The line end a line gets when a line follows it: its own, or, for the file's last line that
// had none, the file's; but after a CR the CR would become part of a LF's line end, so the
// line gets a CR LF of its own.
LineStore::Ending LineStore::endingAfter(const Line& line) const {
    if (line.ending != Ending::None)
        return line.ending;
    return rawOf(line).ends_with('\r') ? Ending::CrLf : m_newLine;
}

bool LineStore::appendBytes(const Line& line, StoreEncoding target, std::string& out,
                            std::string& buffer) const {
    if (!line.has(kWritten) && (target == m_encoding || line.has(kUndecodable))) {
        out.append(rawOf(line)); // untouched, or undecodable: the bytes as they were
        return true;
    }
    const std::string_view text = *textOf(line, buffer);
    if (target == StoreEncoding::Utf8WithBom || isAscii(text)) {
        out.append(text);
        return true;
    }
    const auto bytes = utf8ToCp932(text);
    if (bytes)
        out.append(*bytes);
    return bytes.has_value();
}

std::optional<std::string> LineStore::render() const {
    const StoreEncoding target = targetEncoding();
    // The bytes read, with room for a change of encoding (a CP932 character takes up to three
    // bytes in UTF-8), and the lines written with their line ends.
    std::string out;
    out.reserve((target == m_encoding ? m_content.size() : m_content.size() / 2 * 3) +
                m_written.size() + 2 * m_addedLines.size() + 2 * kUtf8Bom.size() + 2);
    if (target == StoreEncoding::Utf8WithBom)
        out.append(kUtf8Bom);
    const Line* previous = nullptr;
    bool encoded = true;
    std::string buffer;
    forEachLineInOrder([&](Index index) {
        const Line& line = lineAt(index);
        if (line.has(kDeleted))
            return;
        if (previous != nullptr) {
            out.append(endingText(endingAfter(*previous)));
            // A line that went on into nothing now goes on into an empty line, which means
            // the same, rather than into the line after it.
            if (previous->has(kOpenEnded))
                out.append(endingText(m_newLine));
        }
        previous = &line;
        encoded = appendBytes(line, target, out, buffer) && encoded;
    });
    if (!encoded)
        return std::nullopt;
    if (previous != nullptr)
        out.append(endingText(previous->ending));
    return out;
}

bool LineStore::commit() {
    if (!m_changed)
        return true;
    // Writing the lines needs no index of their names, which costs about as much memory as
    // the file: it goes while the new file is made, and is made again when that fails.
    releaseMemoryOf(m_nameIndex);
    auto content = render();
    if (!content || !m_file->replace(*content)) {
        indexNames();
        return false;
    }
    // What is on disk now is the new base: later changes render against it.
    load(std::move(*content));
    return true;
}

// The index of the names from their chains: a chain's first line comes before its others.
void LineStore::indexNames() {
    const auto count = static_cast<Index>(m_lines.size() + m_addedLines.size());
    m_nameIndex.clear(count);
    for (Index line = 0; line < count; ++line) {
        const Index group = lineAt(line).group;
        const auto name = group == kNone ? std::nullopt : nameOf(line);
        if (name && findChain(group, *name) == kNone)
            m_nameIndex.add(IndexTable::foldedHash(group, *name), line);
    }
}

} // namespace zbpg::platform

#include "platform/store/ProfileFile.h"

#include "platform/os/AtomicFile.h"
#include "platform/store/StoreFile.h"
#include "text/Encoding.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <vector>

namespace zbpg::platform {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool isEnclosedInQuotes(std::string_view text) {
    return text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
           text.back() == text.front();
}

// The value part of a line as the reader gives it.
std::string readerValue(std::string_view raw) {
    std::string_view value = trimmed(raw);
    if (isEnclosedInQuotes(value)) {
        value.remove_prefix(1);
        value.remove_suffix(1);
    }
    return std::string(value);
}

// The value part to write so that readerValue gives the text back.
std::string writerValue(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    const bool blankAtEnd = !text.empty() && (isBlank(text.front()) || isBlank(text.back()));
    if (blankAtEnd || isEnclosedInQuotes(text))
        return '"' + text + '"';
    return text;
}

bool isCp932LeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The profile reader's buffer holds kMaxValueBytes bytes of the CP932 form; the cut never
// splits a character.
std::string cutToReaderLimit(const std::string& text) {
    constexpr std::size_t limit = ProfileSession::kMaxValueBytes;
    if (text.size() <= limit) // a CP932 form is never longer than the UTF-8 one
        return text;
    const auto cp932 = utf8ToCp932(text);
    if (!cp932)
        return text.substr(0, utf8PrefixLength(text, limit));
    if (cp932->size() <= limit)
        return text;
    std::size_t end = 0;
    while (end < cp932->size()) {
        const std::size_t next =
            end + (isCp932LeadByte(static_cast<unsigned char>((*cp932)[end])) ? 2 : 1);
        if (next > limit)
            break;
        end = next;
    }
    return cp932ToUtf8(cp932->substr(0, end)).value_or(std::string());
}

enum class LineKind { Other, Section, Key };

struct Line {
    std::string raw;                 // the bytes as in the file, without the line end
    std::string ending;              // "\r\n", "\n" or "" for a last line without one
    std::optional<std::string> text; // UTF-8; none when the bytes could not be decoded
    LineKind kind = LineKind::Other;
    std::string name;  // section name or key, trimmed
    std::string value; // for keys: the raw text after "="
    bool dirty = false;
    bool deleted = false;
};

void classify(Line& line) {
    if (!line.text)
        return;
    const std::string_view content = trimmed(*line.text);
    if (content.starts_with('[')) {
        const auto close = content.find(']');
        line.kind = LineKind::Section;
        line.name = std::string(trimmed(content.substr(
            1, close == std::string_view::npos ? std::string_view::npos : close - 1)));
        return;
    }
    const auto equals = line.text->find('=');
    if (equals == std::string::npos || content.starts_with(';'))
        return;
    const auto key = trimmed(std::string_view(*line.text).substr(0, equals));
    if (key.empty())
        return;
    line.kind = LineKind::Key;
    line.name = std::string(key);
    line.value = line.text->substr(equals + 1);
}

bool isBlankLine(const Line& line) {
    return line.text && trimmed(*line.text).empty();
}

struct Section {
    std::size_t headerLine = 0;
    std::vector<std::size_t> body; // the lines after the header, in file order
    // Where keys added by the program go: after the last line that is not blank, so that
    // blank lines keep separating sections. Kept apart from the body, so that adding many keys
    // never moves the blank lines after them again and again.
    std::size_t insertAt = 0;
    std::vector<std::size_t> added;
    // Key lines by folded key; the first one is the key's line.
    std::unordered_map<std::string, std::vector<std::size_t>> keys;
};

ProfileEncoding detectEncoding(std::string_view content) {
    return content.starts_with(kUtf8Bom) ? ProfileEncoding::Utf8WithBom : ProfileEncoding::Cp932;
}

// ASCII is the same in both encodings, and most lines are ASCII: they need no conversion.
std::optional<std::string> decode(const std::string& raw, ProfileEncoding encoding) {
    if (isAscii(raw))
        return raw;
    if (encoding == ProfileEncoding::Cp932)
        return cp932ToUtf8(raw);
    if (isValidUtf8(raw))
        return raw;
    return std::nullopt;
}

std::optional<std::string> encode(const std::string& text, ProfileEncoding encoding) {
    if (encoding == ProfileEncoding::Cp932 && !isAscii(text))
        return utf8ToCp932(text);
    return text;
}

} // namespace

struct ProfileSession::State {
    std::optional<StoreFile> file;
    ProfileEncoding encoding = ProfileEncoding::Cp932;
    std::string newLine = "\r\n";
    std::vector<Line> lines;           // every line ever seen; order comes from below
    std::vector<std::size_t> preamble; // lines before the first section
    std::vector<Section> sections;     // in file order, duplicates included
    std::unordered_map<std::string, std::size_t> sectionIndex; // folded name -> first one
    bool changed = false;

    void load(const std::string& content);
    void place(std::size_t lineIndex);
    void closeSection();
    const Line* findKey(const std::string& section, const std::string& key) const;
    Section* findSection(const std::string& section);
    Section& sectionForWrite(const std::string& name);
    std::size_t addLine(std::string text);
    ProfileEncoding targetEncoding() const;
    std::optional<std::string> render() const;
};

void ProfileSession::State::load(const std::string& content) {
    encoding = detectEncoding(content);
    std::string_view rest(content);
    if (encoding == ProfileEncoding::Utf8WithBom)
        rest.remove_prefix(kUtf8Bom.size());
    bool firstEnding = true;
    lines.reserve(static_cast<std::size_t>(std::count(rest.begin(), rest.end(), '\n')) + 1);
    // Splitting on LF is safe in CP932 too: its second bytes are never 0A or 0D.
    while (!rest.empty()) {
        const auto lf = rest.find('\n');
        Line line;
        std::string_view body = rest.substr(0, lf);
        if (lf == std::string_view::npos) {
            rest = {};
        } else {
            rest.remove_prefix(lf + 1);
            line.ending = "\n";
            if (body.ends_with('\r')) {
                body.remove_suffix(1);
                line.ending = "\r\n";
            }
            if (firstEnding)
                newLine = line.ending;
            firstEnding = false;
        }
        line.raw = std::string(body);
        line.text = decode(line.raw, encoding);
        classify(line);
        lines.push_back(std::move(line));
        place(lines.size() - 1);
    }
    closeSection();
}

// Called when a section's last line has been read.
void ProfileSession::State::closeSection() {
    if (sections.empty())
        return;
    Section& section = sections.back();
    section.insertAt = section.body.size();
    while (section.insertAt > 0 && isBlankLine(lines[section.body[section.insertAt - 1]]))
        --section.insertAt;
}

void ProfileSession::State::place(std::size_t lineIndex) {
    const Line& line = lines[lineIndex];
    if (line.kind == LineKind::Section) {
        closeSection();
        sections.push_back(Section{lineIndex, {}, 0, {}, {}});
        sectionIndex.try_emplace(asciiLower(line.name), sections.size() - 1);
        return;
    }
    if (sections.empty()) {
        preamble.push_back(lineIndex); // keys before any section belong to none
        return;
    }
    Section& section = sections.back();
    section.body.push_back(lineIndex);
    if (line.kind == LineKind::Key)
        section.keys[asciiLower(line.name)].push_back(lineIndex);
}

Section* ProfileSession::State::findSection(const std::string& section) {
    const auto found = sectionIndex.find(asciiLower(section));
    return found == sectionIndex.end() ? nullptr : &sections[found->second];
}

const Line* ProfileSession::State::findKey(const std::string& section,
                                           const std::string& key) const {
    const auto found = sectionIndex.find(asciiLower(section));
    if (found == sectionIndex.end())
        return nullptr;
    const Section& s = sections[found->second];
    const auto entry = s.keys.find(asciiLower(key));
    if (entry == s.keys.end() || entry->second.empty())
        return nullptr;
    return &lines[entry->second.front()];
}

std::size_t ProfileSession::State::addLine(std::string text) {
    Line line;
    line.text = std::move(text);
    line.dirty = true;
    line.ending = newLine;
    classify(line);
    lines.push_back(std::move(line));
    changed = true;
    return lines.size() - 1;
}

Section& ProfileSession::State::sectionForWrite(const std::string& name) {
    if (Section* existing = findSection(name))
        return *existing;
    sections.push_back(Section{addLine("[" + name + "]"), {}, 0, {}, {}});
    sectionIndex.emplace(asciiLower(name), sections.size() - 1);
    return sections.back();
}

ProfileEncoding ProfileSession::State::targetEncoding() const {
    for (const Line& line : lines) {
        if (line.deleted || !line.text)
            continue;
        const bool unchangedCp932 = encoding == ProfileEncoding::Cp932 && !line.dirty;
        if (!unchangedCp932 && !isAscii(*line.text) && !fitsCp932(*line.text))
            return ProfileEncoding::Utf8WithBom;
    }
    return ProfileEncoding::Cp932;
}

std::optional<std::string> ProfileSession::State::render() const {
    const ProfileEncoding target = targetEncoding();
    std::string out;
    if (target == ProfileEncoding::Utf8WithBom)
        out.append(kUtf8Bom);
    std::vector<std::size_t> order(preamble);
    for (const Section& section : sections) {
        order.push_back(section.headerLine);
        const auto split = section.body.begin() + static_cast<std::ptrdiff_t>(section.insertAt);
        order.insert(order.end(), section.body.begin(), split);
        order.insert(order.end(), section.added.begin(), section.added.end());
        order.insert(order.end(), split, section.body.end());
    }
    std::size_t last = order.size();
    while (last > 0 && lines[order[last - 1]].deleted)
        --last;
    for (std::size_t i = 0; i < last; ++i) {
        const Line& line = lines[order[i]];
        if (line.deleted)
            continue;
        if (!line.dirty && (target == encoding || !line.text)) {
            out.append(line.raw); // untouched, or undecodable: the bytes as they were
        } else if (auto bytes = encode(*line.text, target)) {
            out.append(*bytes);
        } else {
            return std::nullopt;
        }
        const bool final = i + 1 == last;
        out.append(line.ending.empty() && !final ? newLine : line.ending);
    }
    return out;
}

ProfileSession::ProfileSession(std::unique_ptr<State> state) : m_state(std::move(state)) {}
ProfileSession::~ProfileSession() = default;
ProfileSession::ProfileSession(ProfileSession&&) noexcept = default;
ProfileSession& ProfileSession::operator=(ProfileSession&&) noexcept = default;

std::string ProfileSession::read(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
    const Line* line = m_state->findKey(section, key);
    return cutToReaderLimit(line ? readerValue(line->value) : defaultValue);
}

bool ProfileSession::contains(const std::string& section, const std::string& key) const {
    return m_state->findKey(section, key) != nullptr;
}

std::vector<std::string> ProfileSession::keys(const std::string& section) const {
    const State& state = *m_state;
    const auto found = state.sectionIndex.find(asciiLower(section));
    if (found == state.sectionIndex.end())
        return {};
    // The first line of each key is the key's line (removed lines have left the lists).
    std::vector<std::size_t> keyLines;
    for (const auto& [folded, lineIndexes] : state.sections[found->second].keys) {
        if (!lineIndexes.empty())
            keyLines.push_back(lineIndexes.front());
    }
    // Within a section, key lines are numbered in file order: a new key goes after the others.
    std::sort(keyLines.begin(), keyLines.end());
    std::vector<std::string> names;
    names.reserve(keyLines.size());
    for (const std::size_t index : keyLines)
        names.push_back(state.lines[index].name);
    return names;
}

void ProfileSession::write(const std::string& section, const std::string& key,
                           const std::string& value) {
    State& state = *m_state;
    const std::string stored = writerValue(value);
    if (const Line* existing = state.findKey(section, key)) {
        if (existing->value == stored)
            return;
        Line& line = const_cast<Line&>(*existing);
        line.text = line.name + "=" + stored;
        line.value = stored;
        line.dirty = true;
        state.changed = true;
        return;
    }
    Section& target = state.sectionForWrite(section);
    const std::size_t added = state.addLine(key + "=" + stored);
    target.added.push_back(added);
    target.keys[asciiLower(key)].push_back(added);
}

bool ProfileSession::remove(const std::string& section, const std::string& key) {
    State& state = *m_state;
    Section* s = state.findSection(section);
    if (!s)
        return false;
    const auto entry = s->keys.find(asciiLower(key));
    if (entry == s->keys.end() || entry->second.empty())
        return false;
    state.lines[entry->second.front()].deleted = true;
    entry->second.erase(entry->second.begin());
    state.changed = true;
    return true;
}

bool ProfileSession::changed() const {
    return m_state->changed;
}

ProfileEncoding ProfileSession::encoding() const {
    return m_state->encoding;
}

bool ProfileSession::commit() {
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

ProfileSession ProfileSession::open(const std::string& path, const std::string& seedPath,
                                    bool forUpdate) {
    auto state = std::make_unique<State>();
    state->file.emplace(path, forUpdate, seedPath);
    state->load(state->file->takeContent());
    return ProfileSession(std::move(state));
}

ProfileSession ProfileFile::openForRead() const {
    return ProfileSession::open(m_path, m_seedPath, false);
}

ProfileSession ProfileFile::openForUpdate() const {
    return ProfileSession::open(m_path, m_seedPath, true);
}

std::string ProfileFile::read(const std::string& section, const std::string& key,
                              const std::string& defaultValue) const {
    return openForRead().read(section, key, defaultValue);
}

bool ProfileFile::write(const std::string& section, const std::string& key,
                        const std::string& value) const {
    auto session = openForUpdate();
    session.write(section, key, value);
    return session.commit();
}

bool ProfileFile::remove(const std::string& section, const std::string& key) const {
    auto session = openForUpdate();
    session.remove(section, key);
    return session.commit();
}

} // namespace zbpg::platform

#pragma once

#include "platform/store/IndexTable.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zbpg::platform {

class StoreFile;

// How the text of a settings or registry file is stored. The program's own form is code page
// 932; a file that must hold a text CP932 cannot represent becomes UTF-8 with a byte order mark,
// and goes back to CP932 once all of its text fits again. Only the mark makes a file UTF-8:
// without it the file is CP932, also when its bytes happen to be valid UTF-8 (as half-width
// katakana often are). A file keeps its encoding while a line it holds cannot be decoded in it
// but could in the other: that line would start to mean something.
enum class StoreEncoding { Cp932, Utf8WithBom };

// What one line of a store file is to its syntax.
struct LineMeaning {
    enum class Kind { Other, Header, Value };
    Kind kind = Kind::Other;
    // For a header, the path of the group it opens; none for a header whose lines the program
    // never reads (a key under another root). For a value line, the value's name.
    std::optional<std::string> name;
};

// Which of several lines of one name is the one read.
enum class RepeatedNames {
    // The profile functions' rule: the first section of a name and its first line of a key;
    // later ones are kept but never read, and removing a key's line lets the next one count.
    FirstCounts,
    // The export format's rule: every header of a key adds to that key, and the last line of a
    // name whose data is understood is the value; removing a value removes all of its lines.
    LastCounts,
};

// The line syntax of one kind of store file: how a line is classified, how a header and a
// value line are written. Everything else (encodings, untouched bytes, the indexes, the
// session) is the LineStore's.
class LineSyntax {
public:
    struct Layout {
        std::string_view newLine;          // the line end of a file that has none yet
        std::optional<char> pathSeparator; // between the parts of a group's path, if any
        RepeatedNames repeatedNames = RepeatedNames::FirstCounts;
        std::string_view fileHeader; // the first line of a new file; empty for none
        // A group the program adds is set off by a blank line before its header and keeps
        // one after its values.
        bool blankLineAroundGroups = false;
    };

    virtual ~LineSyntax() = default;
    LineSyntax(const LineSyntax&) = delete;
    LineSyntax& operator=(const LineSyntax&) = delete;

    const Layout& layout() const { return m_layout; }

    // The meaning of a line's text (UTF-8; a line continued over several physical lines keeps
    // their line ends inside).
    virtual LineMeaning meaning(std::string_view text) const = 0;
    // Whether the line whose text this is goes on in the next physical line.
    virtual bool continuesOnNextLine(std::string_view text) const = 0;
    // Whether a value line's data is understood, so that it can hold the value.
    virtual bool holdsValue(std::string_view valueLine) const = 0;
    virtual std::string headerLine(std::string_view groupPath) const = 0;
    // The line of a value: its name, then "=", then the data as the format writes it.
    virtual std::string valueLine(std::string_view name, std::string_view data) const = 0;

protected:
    explicit LineSyntax(const Layout& layout) : m_layout(layout) {}

private:
    Layout m_layout;
};

// A settings or registry file as its lines, read once from its StoreFile and written back as
// one atomic replacement when committed, so that many values cost one file access; reading and
// writing cost in proportion to the file's size, and the lines cost memory in proportion to
// it too: a line read is a range of the file's bytes, decoded when it is looked at, and the
// indexes keep line numbers rather than names.
//
// Every line the program does not change is written back byte for byte: comments, lines the
// syntax does not understand, lines that cannot be decoded. Groups (sections, keys) and values
// are found through indexes, without regard to ASCII case; a value added to a group goes after
// its last line that is not blank, so that blank lines keep separating groups, and a new group
// goes at the end of the file. A line the program writes takes the file's line end.
class LineStore final {
public:
    // Reads the file (see StoreFile for the lock, the seed file and what cannot be read).
    LineStore(const LineSyntax& syntax, const std::string& path, bool forUpdate,
              const std::string& seedPath = {});
    ~LineStore();
    LineStore(const LineStore&) = delete;
    LineStore& operator=(const LineStore&) = delete;

    // A group exists when a header names it or a group below it, or when the program created
    // it. The empty path of a syntax with path parts is the root.
    bool hasGroup(std::string_view path) const;
    // The text of the line that holds a value, by the syntax's rule for repeated names; nothing
    // when the group or the value is missing.
    std::optional<std::string> valueLine(std::string_view groupPath, std::string_view name) const;
    // The names of a group's values, each once, in file order, spelled as the line that first
    // names them.
    std::vector<std::string> valueNames(std::string_view groupPath) const;
    // The same names one at a time, so that a group of many values costs no list of them.
    void forEachValueName(std::string_view groupPath,
                          const std::function<void(std::string_view)>& visit) const;

    // Creates the group and every missing group above it, each with a header of its own.
    void createGroup(std::string_view path);
    // Rewrites the value's line (keeping its place and the spelling of its name), or adds one
    // to the group, created as needed.
    void writeValue(std::string_view groupPath, std::string_view name, std::string_view data);
    // True when there was a value.
    bool removeValue(std::string_view groupPath, std::string_view name);

    bool changed() const { return m_changed; }
    StoreEncoding encoding() const { return m_encoding; }

    // Writes the changes, if any; false when the file could not be written (or, for a store
    // opened for read, when the file changed since it was read), leaving the old file as it was.
    [[nodiscard]] bool commit();

private:
    using Index = IndexTable::Index;
    enum class Ending : std::uint8_t { None, Lf, CrLf };
    struct Line;
    struct Block;
    struct AddedLines;
    struct Group;

    void load(std::string content);
    void takeLine(const Line& line);
    void closeBlock();
    void putChainsInFileOrder();
    void indexNames();
    std::optional<std::string_view> decodedText(std::string_view bytes, std::string& buffer) const;
    Line& lineAt(Index index);
    const Line& lineAt(Index index) const;
    std::string_view rawOf(const Line& line) const;
    std::optional<std::string_view> textOf(const Line& line, std::string& buffer) const;
    std::optional<std::string> nameOf(Index line) const;
    std::string spellingOf(Index line) const;
    bool isBlankLine(Index line) const;
    bool holdsValue(Index line) const;

    std::string_view partOf(Index group) const;
    Index findGroup(std::string_view path) const;
    Index ensureGroup(std::string_view path, bool fromFile);
    Index groupOfHeader(const std::optional<std::string>& path);
    void linkBlock(Index group, Index block);
    std::string pathOf(Index group) const;

    Index findChain(Index group, std::string_view name) const;
    bool isLineOf(Index line, Index group, std::string_view name) const;
    void addToChainWhileLoading(Index group, std::string_view name, Index line);
    Index firstLiveOf(Index chain) const;
    Index lastLiveOf(Index chain) const;
    Index valueLineOf(Index chain) const;

    Index addLine(std::string_view text);
    void rewrite(Index line, std::string_view text);
    AddedLines& addedLinesOf(Block& block);
    void appendBlock(Index group);
    bool endsWithBlankLine() const;

    static std::string_view endingText(Ending ending);
    Ending endingAfter(const Line& line) const;
    template <typename Visit> void forEachLineInOrder(Visit visit) const;
    bool appendBytes(const Line& line, StoreEncoding target, std::string& out,
                     std::string& buffer) const;
    StoreEncoding targetEncoding() const;
    std::optional<std::string> render() const;

    const LineSyntax* m_syntax;
    std::unique_ptr<StoreFile> m_file;
    StoreEncoding m_encoding = StoreEncoding::Cp932;
    Ending m_newLine = Ending::CrLf;
    std::string m_content; // the file as read; the lines read are ranges of it
    std::string m_written; // the texts of the lines the program wrote
    // The lines read, then the lines the program added, numbered on from them; their order in
    // the file comes from the blocks.
    std::vector<Line> m_lines;
    std::vector<Line> m_addedLines;
    std::vector<Block> m_blocks; // the first holds the lines before any header
    std::vector<Group> m_groups; // the root first
    std::string m_parts;         // the groups' path parts as first spelled
    IndexTable m_groupIndex;     // by the group above and the part
    IndexTable m_nameIndex;      // by the group and the name: the first line of the name
    // The names lines were added for, which their text may not give back (an INI key that
    // starts with ";" makes a comment).
    std::unordered_map<Index, std::string> m_addedNames;
    bool m_changed = false;
};

} // namespace zbpg::platform

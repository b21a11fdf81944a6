#pragma once

#include "platform/store/LineStore.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zbpg::platform {

// A read or a read-modify-write of a profile (INI) file: a line "[Section]" opens a section,
// lines "key=value" follow (see ProfileSyntax). Sections and keys match without regard to ASCII
// case; the first of duplicate sections or keys counts. Lines the program does not change are
// written back byte for byte, and the file's encoding follows StoreEncoding.
//
// The file is read once when the session opens; changes are written when it is committed,
// as one atomic replacement of the file, so that many keys cost one file access (see
// LineStore). Something at the path that cannot be read as a settings file (see readStoreFile)
// makes opening raise its Error, so that it is never taken as empty and replaced.
class ProfileSession final {
public:
    ~ProfileSession();
    ProfileSession(ProfileSession&&) noexcept;
    ProfileSession& operator=(ProfileSession&&) noexcept;

    // The value of a key as the profile reader gives it: blanks around it removed, one pair
    // of enclosing quotes removed, cut to kMaxValueBytes bytes of its CP932 form. The default
    // (cut the same way) when the section or key is missing.
    std::string read(const std::string& section, const std::string& key,
                     const std::string& defaultValue) const;
    bool contains(const std::string& section, const std::string& key) const;
    // The keys of a section in file order, each once, spelled as in the file; empty for a
    // missing section.
    std::vector<std::string> keys(const std::string& section) const;
    // The same keys one at a time, so that a section of many keys costs no list of them.
    void forEachKey(const std::string& section,
                    const std::function<void(std::string_view)>& visit) const;

    // Creates the section and key as needed. The value is written so that it reads back
    // unchanged (quoted when blanks or quotes at its ends would be lost); a line break cannot
    // be held by a line and becomes a blank.
    void write(const std::string& section, const std::string& key, const std::string& value);
    // Removes the key's line; true when there was one.
    bool remove(const std::string& section, const std::string& key);

    bool changed() const;
    StoreEncoding encoding() const;

    // Writes the changes, if any. False when the file could not be written; the old file is
    // then left as it was.
    [[nodiscard]] bool commit();

    static constexpr std::size_t kMaxValueBytes = 2047;

private:
    friend class ProfileFile;
    explicit ProfileSession(std::unique_ptr<LineStore> store);
    std::unique_ptr<LineStore> m_store;
};

class ProfileFile final {
public:
    explicit ProfileFile(std::string path) : m_path(std::move(path)) {}
    // A file that, while there is none at the path, reads as the seed file; the first write
    // creates it from what the seed holds (settings an installation gives every user).
    ProfileFile(std::string path, std::string seedPath)
        : m_path(std::move(path)), m_seedPath(std::move(seedPath)) {}

    const std::string& path() const { return m_path; }

    // Reading needs no lock: the file is only ever replaced whole.
    ProfileSession openForRead() const;
    // Creates the file's folder when missing and holds its advisory lock until the session
    // ends, so that concurrent writers of the same file never lose each other's keys.
    ProfileSession openForUpdate() const;

    // One-operation conveniences, each a session of its own.
    std::string read(const std::string& section, const std::string& key,
                     const std::string& defaultValue) const;
    [[nodiscard]] bool write(const std::string& section, const std::string& key,
                             const std::string& value) const;
    [[nodiscard]] bool remove(const std::string& section, const std::string& key) const;

private:
    std::string m_path;
    std::string m_seedPath;
};

} // namespace zbpg::platform

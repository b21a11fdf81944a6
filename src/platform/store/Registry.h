#pragma once

#include "platform/store/LineStore.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zbpg::platform {

// Value types of the current user's registry that the program uses.
enum class RegValueType { String, ExpandString, Binary, Dword };

struct RegValue {
    RegValueType type = RegValueType::String;
    std::string text;                // String and ExpandString, UTF-8
    std::vector<std::uint8_t> bytes; // Binary
    std::uint32_t dword = 0;         // Dword

    static RegValue string(std::string value);
    static RegValue expandString(std::string value);
    static RegValue binary(std::vector<std::uint8_t> value);
    static RegValue number(std::uint32_t value);

    bool operator==(const RegValue&) const = default;
};

// A stand-in for HKEY_CURRENT_USER: one human-readable file per user in the text format of
// registry exports. Key paths are written with "\" between their parts, without the root,
// for example "Control Panel\Desktop"; a leading "\" is ignored. Key paths and value names
// match without regard to ASCII case and keep the case they were created with.
//
// The file is code page 932 unless it starts with the UTF-8 byte order mark, and becomes UTF-8
// with the mark while it holds a text CP932 cannot represent (see StoreEncoding). Every line the
// program does not change stays byte for byte: comments, values of types it does not use, lines it
// does not understand, and keys under other roots, which are keys of their own that it never reads.
// Writing a value changes only that value's line (or adds one to its key, or adds the key at
// the end); deleting removes only its lines. Of several lines of one name, the last one whose
// data is understood is the value.
//
// A session reads the file once; its changes are written when it is committed, as one atomic
// replacement of the file under the folder lock, so several operations cost one file access
// (see LineStore; the lines themselves are RegistrySyntax's).
// Something at the path that cannot be read as a registry file (see readStoreFile) makes
// opening raise its Error, so that it is never taken as empty and replaced.
class RegistrySession final {
public:
    ~RegistrySession();
    RegistrySession(RegistrySession&&) noexcept;
    RegistrySession& operator=(RegistrySession&&) noexcept;

    bool keyExists(const std::string& keyPath) const;
    // Creates the key and every missing key above it.
    void createKey(const std::string& keyPath);
    // Value names of a key in their stored order; empty for a missing key.
    std::vector<std::string> valueNames(const std::string& keyPath) const;
    // The same names one at a time, so that a key of many values costs no list of them.
    void forEachValueName(const std::string& keyPath,
                          const std::function<void(std::string_view)>& visit) const;
    std::optional<RegValue> readValue(const std::string& keyPath, const std::string& name) const;
    // Creates the key when missing.
    void writeValue(const std::string& keyPath, const std::string& name, const RegValue& value);
    // True when the value existed.
    bool deleteValue(const std::string& keyPath, const std::string& name);

    // Writes the changes, if any; false when the file could not be written (or, for a session
    // opened for read, when the file changed since it was read).
    [[nodiscard]] bool commit();

private:
    friend class Registry;
    explicit RegistrySession(std::unique_ptr<LineStore> store);
    std::unique_ptr<LineStore> m_store;
};

class Registry final {
public:
    // The registry kept in the given file.
    explicit Registry(std::string filePath);

    // The current user's registry: "HKEY_CURRENT_USER.reg" in the program's configuration
    // folder below XDG_CONFIG_HOME.
    static Registry currentUser();

    const std::string& filePath() const { return m_filePath; }

    // A session that only reads (no lock is needed: the file is always replaced whole).
    RegistrySession openForRead() const;
    // A session for changes: creates the file's folder when missing and holds its lock until
    // the session ends.
    RegistrySession openForUpdate() const;

    // One-operation conveniences, each a session of its own.
    std::optional<RegValue> readValue(const std::string& keyPath, const std::string& name) const;
    [[nodiscard]] bool writeValue(const std::string& keyPath, const std::string& name,
                                  const RegValue& value) const;

private:
    std::string m_filePath;
};

} // namespace zbpg::platform

#pragma once

#include "platform/store/ProfileFile.h"
#include "platform/store/Registry.h"
#include "settings/ComponentStream.h"
#include "text/FontDescription.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zbpg {

// The store a settings manager keeps its items in.
enum TRegType { rtReg = 0, rtIni = 1 };

// One settings item: the name code looks it up by, the INI section (or registry subkey), the
// key (also the stem of derived keys) and the text read when the store holds nothing.
class TRegItem final {
public:
    TRegItem() = default;
    TRegItem(std::string name, std::string section, std::string ident,
             std::string defaultValue = {});

    std::string Name;
    std::string Section;
    std::string Ident;
    std::string DefaultValue;

    void Assign(const TRegItem& source);
};

// The ordered items of a manager. Items live as long as the collection, so a filer may hold
// one between a look-up and its operation.
class TRegItems final {
public:
    TRegItem& Add();
    TRegItem& Add(const TRegItem& item);
    int Count() const { return static_cast<int>(FItems.size()); }
    TRegItem& Items(int index) { return *FItems.at(static_cast<std::size_t>(index)); }
    const TRegItem& Items(int index) const { return *FItems.at(static_cast<std::size_t>(index)); }
    // Copies the given item's four texts into the item at index.
    void SetItems(int index, const TRegItem& item);
    // The first item whose Name equals name without regard to case, or nullptr.
    TRegItem* FindItem(const std::string& name) const;

private:
    std::vector<std::unique_ptr<TRegItem>> FItems;
};

class TRegManager;

// The names of a section's keys as one text and where each ends: a section of millions of
// short keys costs little more than their bytes.
class KeyNames final {
public:
    void add(std::string_view name) {
        m_text.append(name);
        m_ends.push_back(static_cast<std::uint32_t>(m_text.size())); // the file is below 4 GiB
    }
    std::size_t size() const { return m_ends.size(); }
    std::string_view operator[](std::size_t index) const {
        const std::size_t begin = index == 0 ? 0 : m_ends[index - 1];
        return std::string_view(m_text).substr(begin, m_ends[index] - begin);
    }

private:
    std::string m_text;
    std::vector<std::uint32_t> m_ends;
};

// One access to the store, held for the length of one filer operation (or of a batch), so that
// the keys of a list or a stream cost one file access together.
class StoreAccessor {
public:
    virtual ~StoreAccessor() = default;
    virtual std::string readText(const std::string& section, const std::string& ident,
                                 const std::string& defaultValue) = 0;
    // The keys (value names) of a section, each once; valid until the next change.
    virtual const KeyNames& valueNames(const std::string& section) = 0;
    virtual void writeText(const std::string& section, const std::string& ident,
                           const std::string& value) = 0;
    virtual void deleteValue(const std::string& section, const std::string& ident) = 0;
    // Writes what the operation changed; raises the store's write error on failure.
    virtual void finish() = 0;
};

class IniAccessor final : public StoreAccessor {
public:
    IniAccessor(const std::string& iniFileName, const std::string& seedFileName, bool forUpdate);
    std::string readText(const std::string& section, const std::string& ident,
                         const std::string& defaultValue) override;
    const KeyNames& valueNames(const std::string& section) override;
    void writeText(const std::string& section, const std::string& ident,
                   const std::string& value) override;
    void deleteValue(const std::string& section, const std::string& ident) override;
    void finish() override;

private:
    std::string m_fileName;
    platform::ProfileSession m_session;
    // Listed once per section until the next change: a load asks for the keys of a section
    // of twenty lists twenty times.
    std::map<std::string, KeyNames> m_valueNames;
};

class RegAccessor final : public StoreAccessor {
public:
    RegAccessor(const std::string& regDir, bool forUpdate);
    std::string readText(const std::string& section, const std::string& ident,
                         const std::string& defaultValue) override;
    const KeyNames& valueNames(const std::string& section) override;
    void writeText(const std::string& section, const std::string& ident,
                   const std::string& value) override;
    void deleteValue(const std::string& section, const std::string& ident) override;
    void finish() override;

    // Binary values, as streams are kept in the registry.
    bool readBytes(const std::string& section, const std::string& ident,
                   std::vector<std::uint8_t>& bytes);
    void writeBytes(const std::string& section, const std::string& ident,
                    const std::vector<std::uint8_t>& bytes);

private:
    std::string keyOf(const std::string& section) const;
    void noteWritten(const std::string& ident);

    std::string m_regDir;
    platform::RegistrySession m_session;
    std::string m_firstWritten;                   // the value named by a failed write's message
    std::map<std::string, KeyNames> m_valueNames; // as for IniAccessor
};

// The reader and writer of a manager's items: a cursor bound by ItemFiler to one item for the
// one operation that follows.
class TRegFiler final {
public:
    explicit TRegFiler(TRegManager& manager) : FManager(manager) {}
    TRegFiler(const TRegFiler&) = delete;
    TRegFiler& operator=(const TRegFiler&) = delete;

    void Bind(TRegItem* item) { FItem = item; }

    std::string ReadString();
    void WriteString(const std::string& text);
    std::int32_t ReadInteger();
    void WriteInteger(std::int32_t value);
    bool ReadBool();
    void WriteBool(bool value);
    std::string ReadValue(const std::string& section, const std::string& ident,
                          const std::string& defaultValue);
    void WriteValue(const std::string& section, const std::string& ident, const std::string& value);
    void ReadFont(FontDescription& font);
    void WriteFont(const FontDescription& font);
    void ReadStrings(std::vector<std::string>& list);
    void WriteStrings(const std::vector<std::string>& list);
    // Appends the stored bytes; stores the whole content.
    void ReadStream(std::vector<std::uint8_t>& stream);
    void WriteStream(const std::vector<std::uint8_t>& stream);
    // Updates the control in place; a stream that cannot be decoded leaves it unchanged.
    void ReadComponent(ListControlDescription& control);
    void WriteComponent(const ListControlDescription& component);

    // The store accessors, or nullptr (after the manager's error message) when the store is
    // not usable.
    std::unique_ptr<IniAccessor> CreateIniFile(bool forUpdate = false);
    std::unique_ptr<RegAccessor> CreateRegFile(bool forUpdate = false);

private:
    class StoreUse;
    StoreUse openStore(bool forUpdate);

    TRegItem* FItem = nullptr;
    TRegManager& FManager;
};

enum class BatchMode { Read, Update };

// Makes the filer operations of a manager one access to its store while it lives: the store is
// read once when the batch opens, every operation works on what was read, and an update batch
// writes all its changes in one atomic replacement when it commits, so that a whole load or
// save is one read and (for a save) one write, and a save that ends early writes nothing.
// A read batch serves the reads; a write inside it goes to the store at once, as outside a
// batch. A batch opened while another of the same manager lives joins that one.
class SettingsBatch final {
public:
    // An unusable store is reported here, once; the operations inside the batch then do nothing.
    SettingsBatch(TRegManager& manager, BatchMode mode);
    // Changes not committed are dropped.
    ~SettingsBatch();
    SettingsBatch(const SettingsBatch&) = delete;
    SettingsBatch& operator=(const SettingsBatch&) = delete;

    // Writes the changes made so far, if any, and goes on from them; raises the store's write
    // error (for the INI file texts::kCannotWrite with its path) when the file cannot be
    // replaced, leaving it as it was. Does nothing in a batch that joined another.
    void commit();

private:
    friend class TRegFiler;

    TRegManager& m_manager;
    BatchMode m_mode;
    TRegType m_type;
    bool m_joined = false;
    std::unique_ptr<StoreAccessor> m_store;
};

// How a Boolean item's default text reads: "1", "True" and "Yes", in any case, are true.
bool isTrueText(const std::string& text);

// A message about a value of the store, with the key that held it: "<message> ([Section] Key)".
std::string withSettingsKey(const std::string& message, const std::string& section,
                            const std::string& key);

// Keeps named settings items in an INI file or a registry key.
class TRegManager final {
public:
    TRegManager() = default;
    TRegManager(const TRegManager&) = delete;
    TRegManager& operator=(const TRegManager&) = delete;

    const std::string& IniFileName() const { return FIniFileName; }
    void SetIniFileName(const std::string& value) { FIniFileName = value; }
    // The INI file read while IniFileName does not exist yet; the first write copies what it
    // holds (an installation's settings, read by every user until they save their own).
    const std::string& seedFileName() const { return FSeedFileName; }
    void setSeedFileName(const std::string& value) { FSeedFileName = value; }
    const std::string& RegDir() const { return FRegDir; }
    void SetRegDir(const std::string& value) { FRegDir = value; }
    TRegType RegType() const { return FRegType; }
    void SetRegType(TRegType value) { FRegType = value; }
    TRegItems& RegItems() { return FRegItems; }
    const TRegItems& RegItems() const { return FRegItems; }

    // Binds the manager's one filer to the named item (or, after the message
    // texts::kItemInvalid, to none) and returns it.
    TRegFiler& ItemFiler(const std::string& name);

private:
    friend class TRegFiler;
    friend class SettingsBatch;

    std::string FIniFileName;
    std::string FSeedFileName;
    std::string FRegDir;
    TRegType FRegType = rtReg;
    TRegFiler FFiler{*this};
    TRegItems FRegItems;
    SettingsBatch* FBatch = nullptr; // the batch that lives now, if any
};

} // namespace zbpg

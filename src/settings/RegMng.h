#pragma once

#include "common/FontDescription.h"
#include "platform/ProfileFile.h"
#include "platform/Registry.h"
#include "settings/ComponentStream.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zbpg {

// The store a settings manager keeps its items in.
enum TRegType { rtReg = 0, rtIni = 1 };

// One settings item: the name code looks it up by, the INI section (or registry subkey), the
// key (also the stem of derived keys) and the text read when the store holds nothing.
class TRegItem {
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
class TRegItems {
public:
    TRegItem& Add();
    TRegItem& Add(const TRegItem& item);
    int Count() const { return static_cast<int>(m_items.size()); }
    TRegItem& Items(int index) { return *m_items.at(static_cast<std::size_t>(index)); }
    const TRegItem& Items(int index) const { return *m_items.at(static_cast<std::size_t>(index)); }
    // Copies the given item's four texts into the item at index.
    void SetItems(int index, const TRegItem& item);
    // The first item whose Name equals name without regard to case, or nullptr.
    TRegItem* FindItem(const std::string& name) const;

private:
    std::vector<std::unique_ptr<TRegItem>> m_items;
};

class TRegManager;

// One access to the store, held for the length of one filer operation, so that the keys of a
// list or a stream cost one file access together.
class StoreAccessor {
public:
    virtual ~StoreAccessor() = default;
    virtual std::string readText(const std::string& section, const std::string& ident,
                                 const std::string& defaultValue) = 0;
    virtual void writeText(const std::string& section, const std::string& ident,
                           const std::string& value) = 0;
    virtual void deleteValue(const std::string& section, const std::string& ident) = 0;
    // Writes what the operation changed; raises the store's write error on failure.
    virtual void finish() = 0;
};

class IniAccessor final : public StoreAccessor {
public:
    IniAccessor(const std::string& iniFileName, bool forUpdate);
    std::string readText(const std::string& section, const std::string& ident,
                         const std::string& defaultValue) override;
    void writeText(const std::string& section, const std::string& ident,
                   const std::string& value) override;
    void deleteValue(const std::string& section, const std::string& ident) override;
    void finish() override;

private:
    std::string m_fileName;
    platform::ProfileSession m_session;
};

class RegAccessor final : public StoreAccessor {
public:
    RegAccessor(const std::string& regDir, bool forUpdate);
    std::string readText(const std::string& section, const std::string& ident,
                         const std::string& defaultValue) override;
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
    std::string m_firstWritten; // the value named by a failed write's message
};

// The reader and writer of a manager's items: a cursor bound by ItemFiler to one item for the
// one operation that follows.
class TRegFiler {
public:
    explicit TRegFiler(TRegManager& manager) : FManager(manager) {}
    virtual ~TRegFiler() = default;
    TRegFiler(const TRegFiler&) = delete;
    TRegFiler& operator=(const TRegFiler&) = delete;

    void Bind(TRegItem* item) { FItem = item; }
    TRegItem* Item() const { return FItem; }
    TRegManager& Manager() const { return FManager; }

    virtual std::string ReadString();
    virtual void WriteString(const std::string& text);
    virtual std::int32_t ReadInteger();
    virtual void WriteInteger(std::int32_t value);
    virtual bool ReadBool();
    virtual void WriteBool(bool value);
    virtual std::string ReadValue(const std::string& section, const std::string& ident,
                                  const std::string& defaultValue);
    virtual void WriteValue(const std::string& section, const std::string& ident,
                            const std::string& value);
    virtual void ReadFont(FontDescription& font);
    virtual void WriteFont(const FontDescription& font);
    virtual void ReadStrings(std::vector<std::string>& list);
    virtual void WriteStrings(const std::vector<std::string>& list);
    // Appends the stored bytes; stores the whole content.
    virtual void ReadStream(std::vector<std::uint8_t>& stream);
    virtual void WriteStream(const std::vector<std::uint8_t>& stream);
    // Updates the control in place; a stream that cannot be decoded leaves it unchanged.
    virtual void ReadComponent(ListControlDescription& control);
    virtual void WriteComponent(const ListControlDescription& component);

    void DeleteValue(const std::string& section, const std::string& ident);

    // The store accessors, or nullptr (after the manager's error message) when the store is
    // not usable.
    std::unique_ptr<IniAccessor> CreateIniFile(bool forUpdate = false);
    std::unique_ptr<RegAccessor> CreateRegFile(bool forUpdate = false);

private:
    std::unique_ptr<StoreAccessor> openStore(bool forUpdate);

    TRegItem* FItem = nullptr;
    TRegManager& FManager;
};

// Keeps named settings items in an INI file or a registry key.
class TRegManager {
public:
    TRegManager();
    virtual ~TRegManager();
    TRegManager(const TRegManager&) = delete;
    TRegManager& operator=(const TRegManager&) = delete;

    const std::string& IniFileName() const { return FIniFileName; }
    void SetIniFileName(const std::string& value) { FIniFileName = value; }
    const std::string& RegDir() const { return FRegDir; }
    void SetRegDir(const std::string& value) { FRegDir = value; }
    TRegType RegType() const { return FRegType; }
    void SetRegType(TRegType value) { FRegType = value; }
    TRegItems& RegItems() { return FRegItems; }
    const TRegItems& RegItems() const { return FRegItems; }

    // Binds the manager's one filer to the named item (or, after the message
    // "[' name '] is invalid.", to none) and returns it.
    TRegFiler& ItemFiler(const std::string& name);

protected:
    // Lets a derived manager supply a derived filer.
    virtual std::unique_ptr<TRegFiler> CreateFiler();

private:
    TRegFiler& filer();

    std::string FIniFileName;
    std::string FRegDir;
    TRegType FRegType = rtReg;
    std::unique_ptr<TRegFiler> FFiler; // declared first so that the items go first
    TRegItems FRegItems;
};

} // namespace zbpg

#include "settings/RegMng.h"

#include "base/Error.h"
#include "platform/dialogs/MessageService.h"
#include "settings/HexLines.h"
#include "text/ColorText.h"
#include "text/Encoding.h"
#include "text/IntegerText.h"
#include "text/Texts.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace zbpg {
namespace {

std::string countedKey(const std::string& prefix, std::int64_t index) {
    return prefix + integerToText(index);
}

// The number n of a key named prefix + n as the lists write it (decimal, no leading zeros); the
// prefix matches without regard to ASCII case, as keys do.
std::optional<std::int64_t> numberOfKey(std::string_view name, const std::string& prefix) {
    if (name.size() <= prefix.size() ||
        !equalsIgnoringAsciiCase(name.substr(0, prefix.size()), prefix))
        return std::nullopt;
    const std::string_view digits = name.substr(prefix.size());
    if (digits.size() > 10 || (digits.size() > 1 && digits.front() == '0'))
        return std::nullopt;
    std::int64_t number = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        number = number * 10 + (c - '0');
    }
    return number;
}

// The keys prefix + n, first <= n < end, that the section holds, by n. They are found among the
// section's keys rather than tried number by number, since a damaged count may be 2^31.
std::map<std::int64_t, std::string> numberedKeys(StoreAccessor& store, const std::string& section,
                                                 const std::string& prefix, std::int64_t first,
                                                 std::int64_t end) {
    std::map<std::int64_t, std::string> keys;
    const KeyNames& names = store.valueNames(section);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const auto number = numberOfKey(names[i], prefix);
        if (number && *number >= first && *number < end)
            keys.emplace(*number, names[i]);
    }
    return keys;
}

std::int64_t storedCount(StoreAccessor& store, const std::string& section,
                         const std::string& countKey) {
    return integerTextOr(store.readText(section, countKey, "0"), 0);
}

// A string list: as many lines as its count key says, those not stored empty, but none after its
// last stored line, so that a damaged count makes no lines the file does not hold. A line is a
// key of its own, so a number beyond the keys of the section is damage rather than a line: a
// damaged number cannot make lines without end either.
std::vector<std::string> readCountedKeys(StoreAccessor& store, const std::string& section,
                                         const std::string& countKey,
                                         const std::string& itemPrefix) {
    const std::int64_t count =
        std::min<std::int64_t>(storedCount(store, section, countKey),
                               static_cast<std::int64_t>(store.valueNames(section).size()));
    const auto keys = numberedKeys(store, section, itemPrefix, 0, count);
    if (keys.empty())
        return {};
    std::vector<std::string> values(static_cast<std::size_t>(keys.rbegin()->first + 1));
    for (const auto& [number, key] : keys)
        values[static_cast<std::size_t>(number)] = store.readText(section, key, "");
    return values;
}

// The bytes of a stream's hex lines. A line that is not stored adds no bytes, so only the
// stored lines below the count are read.
void readHexLines(StoreAccessor& store, const std::string& section, const std::string& countKey,
                  const std::string& linePrefix, std::vector<std::uint8_t>& bytes) {
    const std::int64_t count = storedCount(store, section, countKey);
    for (const auto& [number, key] : numberedKeys(store, section, linePrefix, 0, count))
        decodeHexLine(store.readText(section, key, ""), bytes);
}

// Leaves exactly the given values in the store, and no keys of a longer earlier list.
void writeCountedKeys(StoreAccessor& store, const std::string& section, const std::string& countKey,
                      const std::string& itemPrefix, const std::vector<std::string>& values) {
    const auto count = static_cast<std::int64_t>(values.size());
    const std::int64_t old = storedCount(store, section, countKey);
    if (count < old) {
        for (const auto& [number, key] : numberedKeys(store, section, itemPrefix, count, old))
            store.deleteValue(section, key);
        if (count == 0)
            store.deleteValue(section, countKey);
    }
    if (count > 0) {
        store.writeText(section, countKey, integerToText(count));
        for (std::int64_t i = 0; i < count; ++i)
            store.writeText(section, countedKey(itemPrefix, i),
                            values[static_cast<std::size_t>(i)]);
    }
}

std::string withoutLeadingBackslash(const std::string& path) {
    return !path.empty() && path.front() == '\\' ? path.substr(1) : path;
}

} // namespace

// --- TRegItem, TRegItems --------------------------------------------------------------

TRegItem::TRegItem(std::string name, std::string section, std::string ident,
                   std::string defaultValue)
    : Name(std::move(name)), Section(std::move(section)), Ident(std::move(ident)),
      DefaultValue(std::move(defaultValue)) {}

void TRegItem::Assign(const TRegItem& source) {
    Name = source.Name;
    Section = source.Section;
    Ident = source.Ident;
    DefaultValue = source.DefaultValue;
}

TRegItem& TRegItems::Add() {
    FItems.push_back(std::make_unique<TRegItem>());
    return *FItems.back();
}

TRegItem& TRegItems::Add(const TRegItem& item) {
    TRegItem& added = Add();
    added.Assign(item);
    return added;
}

void TRegItems::SetItems(int index, const TRegItem& item) {
    Items(index).Assign(item);
}

TRegItem* TRegItems::FindItem(const std::string& name) const {
    for (const auto& item : FItems) {
        if (equalsIgnoringAsciiCase(item->Name, name))
            return item.get();
    }
    return nullptr;
}

// --- store accessors ---------------------------------------------------------------------

IniAccessor::IniAccessor(const std::string& iniFileName, const std::string& seedFileName,
                         bool forUpdate)
    : m_fileName(iniFileName),
      m_session(forUpdate ? platform::ProfileFile(iniFileName, seedFileName).openForUpdate()
                          : platform::ProfileFile(iniFileName, seedFileName).openForRead()) {}

std::string IniAccessor::readText(const std::string& section, const std::string& ident,
                                  const std::string& defaultValue) {
    return m_session.read(section, ident, defaultValue);
}

const KeyNames& IniAccessor::valueNames(const std::string& section) {
    const std::string folded = asciiLower(section);
    const auto known = m_valueNames.find(folded);
    if (known != m_valueNames.end())
        return known->second;
    KeyNames& names = m_valueNames[folded];
    m_session.forEachKey(section, [&names](std::string_view name) { names.add(name); });
    return names;
}

void IniAccessor::writeText(const std::string& section, const std::string& ident,
                            const std::string& value) {
    m_valueNames.erase(asciiLower(section));
    m_session.write(section, ident, value);
}

void IniAccessor::deleteValue(const std::string& section, const std::string& ident) {
    m_valueNames.erase(asciiLower(section));
    m_session.remove(section, ident);
}

void IniAccessor::finish() {
    if (!m_session.commit())
        throw Error(formatMessage(texts::kCannotWrite, m_fileName));
}

RegAccessor::RegAccessor(const std::string& regDir, bool forUpdate)
    : m_regDir(withoutLeadingBackslash(regDir)),
      m_session(forUpdate ? platform::Registry::currentUser().openForUpdate()
                          : platform::Registry::currentUser().openForRead()) {
    m_session.createKey(m_regDir); // opening the manager's key creates it, also for a read
}

std::string RegAccessor::keyOf(const std::string& section) const {
    return m_regDir + "\\" + section;
}

std::string RegAccessor::readText(const std::string& section, const std::string& ident,
                                  const std::string& defaultValue) {
    const auto value = m_session.readValue(keyOf(section), ident);
    if (!value)
        return defaultValue;
    if (value->type != platform::RegValueType::String &&
        value->type != platform::RegValueType::ExpandString)
        throw Error(formatMessage(texts::kWrongValueType, ident));
    return value->text;
}

const KeyNames& RegAccessor::valueNames(const std::string& section) {
    const std::string folded = asciiLower(section);
    const auto known = m_valueNames.find(folded);
    if (known != m_valueNames.end())
        return known->second;
    KeyNames& names = m_valueNames[folded];
    m_session.forEachValueName(keyOf(section),
                               [&names](std::string_view name) { names.add(name); });
    return names;
}

void RegAccessor::noteWritten(const std::string& ident) {
    if (m_firstWritten.empty())
        m_firstWritten = ident;
}

void RegAccessor::writeText(const std::string& section, const std::string& ident,
                            const std::string& value) {
    m_valueNames.erase(asciiLower(section));
    noteWritten(ident);
    m_session.writeValue(keyOf(section), ident, platform::RegValue::string(value));
}

void RegAccessor::deleteValue(const std::string& section, const std::string& ident) {
    m_valueNames.erase(asciiLower(section));
    if (m_session.keyExists(keyOf(section)))
        m_session.deleteValue(keyOf(section), ident);
}

bool RegAccessor::readBytes(const std::string& section, const std::string& ident,
                            std::vector<std::uint8_t>& bytes) {
    m_session.createKey(keyOf(section));
    const auto value = m_session.readValue(keyOf(section), ident);
    if (!value)
        return false;
    if (value->type != platform::RegValueType::Binary)
        throw Error(formatMessage(texts::kWrongValueType, ident));
    bytes.insert(bytes.end(), value->bytes.begin(), value->bytes.end());
    return true;
}

void RegAccessor::writeBytes(const std::string& section, const std::string& ident,
                             const std::vector<std::uint8_t>& bytes) {
    m_valueNames.erase(asciiLower(section));
    noteWritten(ident);
    m_session.writeValue(keyOf(section), ident, platform::RegValue::binary(bytes));
}

void RegAccessor::finish() {
    if (!m_session.commit() && !m_firstWritten.empty())
        throw Error(formatMessage(texts::kCannotSetValue, m_firstWritten));
}

// --- TRegFiler ---------------------------------------------------------------------------

std::unique_ptr<IniAccessor> TRegFiler::CreateIniFile(bool forUpdate) {
    if (FManager.RegType() == rtIni && !FManager.IniFileName().empty())
        return std::make_unique<IniAccessor>(FManager.IniFileName(), FManager.seedFileName(),
                                             forUpdate);
    platform::showErrorDialog(texts::kCannotCreateIniFile);
    return nullptr;
}

std::unique_ptr<RegAccessor> TRegFiler::CreateRegFile(bool forUpdate) {
    if (FManager.RegType() == rtReg && !FManager.RegDir().empty())
        return std::make_unique<RegAccessor>(FManager.RegDir(), forUpdate);
    platform::showErrorDialog(texts::kCannotCreateRegistry);
    return nullptr;
}

// The store a filer operation works on: the batch's while one serves the operation, else an
// accessor of the operation's own, which finish() writes.
class TRegFiler::StoreUse final {
public:
    StoreUse() = default;
    explicit StoreUse(StoreAccessor* batchStore) : m_store(batchStore) {}
    explicit StoreUse(std::unique_ptr<StoreAccessor> own)
        : m_own(std::move(own)), m_store(m_own.get()) {}

    explicit operator bool() const { return m_store != nullptr; }
    StoreAccessor* operator->() const { return m_store; }
    StoreAccessor& operator*() const { return *m_store; }

    // Writes what the operation changed; a batch writes when it commits.
    void finish() {
        if (m_own)
            m_own->finish();
    }

private:
    std::unique_ptr<StoreAccessor> m_own;
    StoreAccessor* m_store = nullptr;
};

// One accessor per filer operation outside a batch: a list of many keys is one access to the
// store, and an unusable store is reported once per operation, not once per key.
TRegFiler::StoreUse TRegFiler::openStore(bool forUpdate) {
    if (const SettingsBatch* batch = FManager.FBatch;
        batch && batch->m_type == FManager.RegType() &&
        (!forUpdate || batch->m_mode == BatchMode::Update))
        return batch->m_store ? StoreUse(batch->m_store.get()) : StoreUse();
    switch (FManager.RegType()) {
    case rtIni:
        return StoreUse(CreateIniFile(forUpdate));
    case rtReg:
        return StoreUse(CreateRegFile(forUpdate));
    }
    return {};
}

std::string TRegFiler::ReadValue(const std::string& section, const std::string& ident,
                                 const std::string& defaultValue) {
    if (section.empty() || ident.empty())
        return defaultValue;
    auto store = openStore(false);
    if (!store)
        return defaultValue;
    std::string value = store->readText(section, ident, defaultValue);
    store.finish();
    return value;
}

void TRegFiler::WriteValue(const std::string& section, const std::string& ident,
                           const std::string& value) {
    if (section.empty() || ident.empty())
        return;
    if (auto store = openStore(true)) {
        store->writeText(section, ident, value);
        store.finish();
    }
}

std::string TRegFiler::ReadString() {
    if (!FItem)
        return {};
    return ReadValue(FItem->Section, FItem->Ident, FItem->DefaultValue);
}

void TRegFiler::WriteString(const std::string& text) {
    if (FItem)
        WriteValue(FItem->Section, FItem->Ident, text);
}

std::int32_t TRegFiler::ReadInteger() {
    if (!FItem)
        return 0;
    return integerTextOr(ReadValue(FItem->Section, FItem->Ident, FItem->DefaultValue), 0);
}

void TRegFiler::WriteInteger(std::int32_t value) {
    WriteString(integerToText(value));
}

bool TRegFiler::ReadBool() {
    if (!FItem)
        return false;
    const std::int32_t value = integerTextOr(
        ReadValue(FItem->Section, FItem->Ident, isTrueText(FItem->DefaultValue) ? "1" : "0"), 0);
    return (value & 0xFF) != 0;
}

void TRegFiler::WriteBool(bool value) {
    WriteString(value ? "1" : "0");
}

void TRegFiler::ReadFont(FontDescription& font) {
    if (!FItem)
        return;
    auto store = openStore(false);
    if (!store)
        return;
    const std::string& section = FItem->Section;
    const std::string& ident = FItem->Ident;
    const std::string defaultSize = integerToText(font.size());
    const std::string defaultColor = colorToText(font.color);
    const std::string defaultStyle = integerToText(font.style);

    font.face = store->readText(section, ident + "_FontName", font.face);
    font.setSize(
        integerTextOr(store->readText(section, ident + "_FontSize", defaultSize), font.size()));
    const std::string colorKey = ident + "_FontColor";
    Color color = font.color;
    try {
        color = textToColor(store->readText(section, colorKey, defaultColor));
    } catch (const Error& error) {
        throw Error(withSettingsKey(error.what(), section, colorKey));
    }
    const std::int32_t style =
        integerTextOr(store->readText(section, ident + "_FontStyle", defaultStyle), 0);
    font.color = color;
    font.style = static_cast<std::uint8_t>(style & kFontStyleMask);
    store.finish();
}

void TRegFiler::WriteFont(const FontDescription& font) {
    if (!FItem)
        return;
    auto store = openStore(true);
    if (!store)
        return;
    const std::string& section = FItem->Section;
    const std::string& ident = FItem->Ident;
    store->writeText(section, ident + "_FontName", font.face);
    store->writeText(section, ident + "_FontSize", integerToText(font.size()));
    store->writeText(section, ident + "_FontColor", colorToText(font.color));
    store->writeText(section, ident + "_FontStyle", integerToText(font.style & kFontStyleMask));
    store.finish();
}

void TRegFiler::ReadStrings(std::vector<std::string>& list) {
    if (!FItem)
        return;
    list.clear();
    if (auto store = openStore(false)) {
        list = readCountedKeys(*store, FItem->Section, FItem->Ident + "_ItemCount",
                               FItem->Ident + "_Item");
        store.finish();
    }
}

void TRegFiler::WriteStrings(const std::vector<std::string>& list) {
    if (!FItem)
        return;
    if (auto store = openStore(true)) {
        writeCountedKeys(*store, FItem->Section, FItem->Ident + "_ItemCount",
                         FItem->Ident + "_Item", list);
        store.finish();
    }
}

void TRegFiler::ReadStream(std::vector<std::uint8_t>& stream) {
    if (!FItem)
        return;
    auto store = openStore(false);
    if (!store)
        return;
    if (FManager.RegType() == rtReg) {
        static_cast<RegAccessor&>(*store).readBytes(FItem->Section, FItem->Ident, stream);
    } else {
        readHexLines(*store, FItem->Section, FItem->Ident + "_c", FItem->Ident + "_d", stream);
    }
    store.finish();
}

void TRegFiler::WriteStream(const std::vector<std::uint8_t>& stream) {
    if (!FItem)
        return;
    auto store = openStore(true);
    if (!store)
        return;
    if (FManager.RegType() == rtReg)
        static_cast<RegAccessor&>(*store).writeBytes(FItem->Section, FItem->Ident, stream);
    else
        writeCountedKeys(*store, FItem->Section, FItem->Ident + "_c", FItem->Ident + "_d",
                         encodeHexLines(stream));
    store.finish();
}

void TRegFiler::ReadComponent(ListControlDescription& control) {
    if (!FItem)
        return;
    std::vector<std::uint8_t> stream;
    ReadStream(stream);
    if (stream.empty())
        return; // nothing stored: the control keeps what it has
    if (auto decoded = decodeComponentStream(stream, control))
        control = std::move(*decoded);
}

void TRegFiler::WriteComponent(const ListControlDescription& component) {
    if (FItem)
        WriteStream(encodeComponentStream(component));
}

// --- SettingsBatch -----------------------------------------------------------------------

SettingsBatch::SettingsBatch(TRegManager& manager, BatchMode mode)
    : m_manager(manager), m_mode(mode), m_type(manager.RegType()) {
    if (manager.FBatch) {
        m_joined = true;
        return;
    }
    const bool forUpdate = mode == BatchMode::Update;
    switch (m_type) {
    case rtIni:
        m_store = manager.FFiler.CreateIniFile(forUpdate);
        break;
    case rtReg:
        m_store = manager.FFiler.CreateRegFile(forUpdate);
        break;
    }
    manager.FBatch = this;
}

SettingsBatch::~SettingsBatch() {
    if (m_joined)
        return;
    m_manager.FBatch = nullptr;
    if (m_mode == BatchMode::Read && m_store) {
        // What a read leaves to write (the registry creates the manager's key even when
        // reading), as the single reads the batch stands for would have written it.
        try {
            m_store->finish();
        } catch (const Error&) {
            // a read reports nothing about writing
        }
    }
}

void SettingsBatch::commit() {
    if (!m_joined && m_store)
        m_store->finish();
}

bool isTrueText(const std::string& text) {
    const std::string folded = asciiLower(text);
    return folded == "1" || folded == "true" || folded == "yes";
}

std::string withSettingsKey(const std::string& message, const std::string& section,
                            const std::string& key) {
    return message + formatMessage(texts::kAtSettingsKey, "[" + section + "] " + key);
}

// --- TRegManager -------------------------------------------------------------------------

TRegFiler& TRegManager::ItemFiler(const std::string& name) {
    TRegItem* item = FRegItems.FindItem(name);
    if (!item)
        platform::showErrorDialog(formatMessage(texts::kItemInvalid, name));
    FFiler.Bind(item);
    return FFiler;
}

} // namespace zbpg

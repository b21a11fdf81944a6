#include "settings/RegMng.h"

#include "platform/MessageService.h"
#include "settings/HexLines.h"
#include "text/ColorText.h"
#include "text/Encoding.h"
#include "text/Error.h"
#include "text/IntegerText.h"
#include "text/Texts.h"

namespace zbpg {
namespace {

std::string countedKey(const std::string& prefix, std::int64_t index) {
    return prefix + integerToText(index);
}

// A list kept as a count key and numbered item keys.
std::vector<std::string> readCountedKeys(StoreAccessor& store, const std::string& section,
                                         const std::string& countKey,
                                         const std::string& itemPrefix) {
    const std::int32_t count = integerTextOr(store.readText(section, countKey, "0"), 0);
    std::vector<std::string> values;
    for (std::int32_t i = 0; i < count; ++i)
        values.push_back(store.readText(section, countedKey(itemPrefix, i), ""));
    return values;
}

// Leaves exactly the given values in the store, and no keys of a longer earlier list.
void writeCountedKeys(StoreAccessor& store, const std::string& section, const std::string& countKey,
                      const std::string& itemPrefix, const std::vector<std::string>& values) {
    const auto count = static_cast<std::int64_t>(values.size());
    const std::int64_t old = integerTextOr(store.readText(section, countKey, "0"), 0);
    if (count < old) {
        for (std::int64_t k = old - 1; k >= count; --k)
            store.deleteValue(section, countedKey(itemPrefix, k));
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

IniAccessor::IniAccessor(const std::string& iniFileName, bool forUpdate)
    : m_fileName(iniFileName),
      m_session(forUpdate ? platform::ProfileFile(iniFileName).openForUpdate()
                          : platform::ProfileFile(iniFileName).openForRead()) {}

std::string IniAccessor::readText(const std::string& section, const std::string& ident,
                                  const std::string& defaultValue) {
    return m_session.read(section, ident, defaultValue);
}

void IniAccessor::writeText(const std::string& section, const std::string& ident,
                            const std::string& value) {
    m_session.write(section, ident, value);
}

void IniAccessor::deleteValue(const std::string& section, const std::string& ident) {
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

void RegAccessor::noteWritten(const std::string& ident) {
    if (m_firstWritten.empty())
        m_firstWritten = ident;
}

void RegAccessor::writeText(const std::string& section, const std::string& ident,
                            const std::string& value) {
    noteWritten(ident);
    m_session.writeValue(keyOf(section), ident, platform::RegValue::string(value));
}

void RegAccessor::deleteValue(const std::string& section, const std::string& ident) {
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
        return std::make_unique<IniAccessor>(FManager.IniFileName(), forUpdate);
    platform::showErrorDialog(texts::kCannotCreateIniFile);
    return nullptr;
}

std::unique_ptr<RegAccessor> TRegFiler::CreateRegFile(bool forUpdate) {
    if (FManager.RegType() == rtReg && !FManager.RegDir().empty())
        return std::make_unique<RegAccessor>(FManager.RegDir(), forUpdate);
    platform::showErrorDialog(texts::kCannotCreateRegistry);
    return nullptr;
}

// One accessor per filer operation: a list of many keys is one access to the store, and an
// unusable store is reported once per operation, not once per key.
std::unique_ptr<StoreAccessor> TRegFiler::openStore(bool forUpdate) {
    switch (FManager.RegType()) {
    case rtIni:
        return CreateIniFile(forUpdate);
    case rtReg:
        return CreateRegFile(forUpdate);
    }
    return nullptr;
}

std::string TRegFiler::ReadValue(const std::string& section, const std::string& ident,
                                 const std::string& defaultValue) {
    if (section.empty() || ident.empty())
        return defaultValue;
    auto store = openStore(false);
    if (!store)
        return defaultValue;
    std::string value = store->readText(section, ident, defaultValue);
    store->finish();
    return value;
}

void TRegFiler::WriteValue(const std::string& section, const std::string& ident,
                           const std::string& value) {
    if (section.empty() || ident.empty())
        return;
    if (auto store = openStore(true)) {
        store->writeText(section, ident, value);
        store->finish();
    }
}

void TRegFiler::DeleteValue(const std::string& section, const std::string& ident) {
    if (section.empty() || ident.empty())
        return;
    try {
        if (auto store = openStore(true)) {
            store->deleteValue(section, ident);
            store->finish();
        }
    } catch (const Error&) {
        // a value that cannot be deleted is left as it is
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
    const std::string folded = asciiLower(FItem->DefaultValue);
    const bool defaultTrue = folded == "1" || folded == "true" || folded == "yes";
    const std::int32_t value =
        integerTextOr(ReadValue(FItem->Section, FItem->Ident, defaultTrue ? "1" : "0"), 0);
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
    const Color color = textToColor(store->readText(section, ident + "_FontColor", defaultColor));
    const std::int32_t style =
        integerTextOr(store->readText(section, ident + "_FontStyle", defaultStyle), 0);
    font.color = color;
    font.style = static_cast<std::uint8_t>(style & kFontStyleMask);
    store->finish();
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
    store->finish();
}

void TRegFiler::ReadStrings(std::vector<std::string>& list) {
    if (!FItem)
        return;
    list.clear();
    if (auto store = openStore(false)) {
        list = readCountedKeys(*store, FItem->Section, FItem->Ident + "_ItemCount",
                               FItem->Ident + "_Item");
        store->finish();
    }
}

void TRegFiler::WriteStrings(const std::vector<std::string>& list) {
    if (!FItem)
        return;
    if (auto store = openStore(true)) {
        writeCountedKeys(*store, FItem->Section, FItem->Ident + "_ItemCount",
                         FItem->Ident + "_Item", list);
        store->finish();
    }
}

void TRegFiler::ReadStream(std::vector<std::uint8_t>& stream) {
    if (!FItem)
        return;
    if (FManager.RegType() == rtReg) {
        if (auto store = CreateRegFile(false)) {
            store->readBytes(FItem->Section, FItem->Ident, stream);
            store->finish();
        }
        return;
    }
    if (auto store = CreateIniFile(false)) {
        for (const auto& line :
             readCountedKeys(*store, FItem->Section, FItem->Ident + "_c", FItem->Ident + "_d"))
            decodeHexLine(line, stream);
        store->finish();
    }
}

void TRegFiler::WriteStream(const std::vector<std::uint8_t>& stream) {
    if (!FItem)
        return;
    if (FManager.RegType() == rtReg) {
        if (auto store = CreateRegFile(true)) {
            store->writeBytes(FItem->Section, FItem->Ident, stream);
            store->finish();
        }
        return;
    }
    if (auto store = CreateIniFile(true)) {
        writeCountedKeys(*store, FItem->Section, FItem->Ident + "_c", FItem->Ident + "_d",
                         encodeHexLines(stream));
        store->finish();
    }
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

// --- TRegManager -------------------------------------------------------------------------

TRegFiler& TRegManager::ItemFiler(const std::string& name) {
    TRegItem* item = FRegItems.FindItem(name);
    if (!item)
        platform::showErrorDialog(formatMessage(texts::kItemInvalid, name));
    FFiler.Bind(item);
    return FFiler;
}

} // namespace zbpg

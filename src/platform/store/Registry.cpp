#include "platform/store/Registry.h"

#include "platform/os/XdgPaths.h"
#include "platform/store/RegistryFormat.h"

#include <memory>
#include <utility>

namespace zbpg::platform {

using namespace regformat;

RegValue RegValue::string(std::string value) {
    RegValue result;
    result.type = RegValueType::String;
    result.text = std::move(value);
    return result;
}

RegValue RegValue::expandString(std::string value) {
    RegValue result;
    result.type = RegValueType::ExpandString;
    result.text = std::move(value);
    return result;
}

RegValue RegValue::binary(std::vector<std::uint8_t> value) {
    RegValue result;
    result.type = RegValueType::Binary;
    result.bytes = std::move(value);
    return result;
}

RegValue RegValue::number(std::uint32_t value) {
    RegValue result;
    result.type = RegValueType::Dword;
    result.dword = value;
    return result;
}

RegistrySession::RegistrySession(std::unique_ptr<LineStore> store) : m_store(std::move(store)) {}
RegistrySession::~RegistrySession() = default;
RegistrySession::RegistrySession(RegistrySession&&) noexcept = default;
RegistrySession& RegistrySession::operator=(RegistrySession&&) noexcept = default;

bool RegistrySession::keyExists(const std::string& keyPath) const {
    return m_store->hasGroup(normaliseKeyPath(keyPath));
}

void RegistrySession::createKey(const std::string& keyPath) {
    if (isStorablePath(keyPath))
        m_store->createGroup(normaliseKeyPath(keyPath));
}

std::vector<std::string> RegistrySession::valueNames(const std::string& keyPath) const {
    return m_store->valueNames(normaliseKeyPath(keyPath));
}

void RegistrySession::forEachValueName(const std::string& keyPath,
                                       const std::function<void(std::string_view)>& visit) const {
    m_store->forEachValueName(normaliseKeyPath(keyPath), visit);
}

std::optional<RegValue> RegistrySession::readValue(const std::string& keyPath,
                                                   const std::string& name) const {
    const auto line = m_store->valueLine(normaliseKeyPath(keyPath), name);
    return line ? RegistrySyntax::valueOf(*line) : std::nullopt;
}

// A path or name with a line break or NUL, or a path deeper than a key can be, cannot be
// stored and is ignored. An existing value changes its own line, keeping its place and the
// spelling of its name; a new one goes to the end of its key.
void RegistrySession::writeValue(const std::string& keyPath, const std::string& name,
                                 const RegValue& value) {
    if (!isStorablePath(keyPath) || !fitsOnOneLine(name))
        return;
    const std::string path = normaliseKeyPath(keyPath);
    const RegValue stored = essentialPart(value);
    const auto line = m_store->valueLine(path, name);
    if (!line || RegistrySyntax::valueOf(*line) != stored)
        m_store->writeValue(path, name, RegistrySyntax::dataOf(stored));
}

bool RegistrySession::deleteValue(const std::string& keyPath, const std::string& name) {
    return m_store->removeValue(normaliseKeyPath(keyPath), name);
}

// Also allowed on a session opened for read: it then takes the lock for the write and writes
// only when the file is still as it was read.
bool RegistrySession::commit() {
    return m_store->commit();
}

// ---- Registry ----

Registry::Registry(std::string filePath) : m_filePath(std::move(filePath)) {}

Registry Registry::currentUser() {
    return Registry(appConfigFolder() + "/" + std::string(kRootName) + ".reg");
}

RegistrySession Registry::openForRead() const {
    return RegistrySession(
        std::make_unique<LineStore>(RegistrySyntax::instance(), m_filePath, false));
}

RegistrySession Registry::openForUpdate() const {
    // Locks before reading, so that no change is lost.
    return RegistrySession(
        std::make_unique<LineStore>(RegistrySyntax::instance(), m_filePath, true));
}

std::optional<RegValue> Registry::readValue(const std::string& keyPath,
                                            const std::string& name) const {
    return openForRead().readValue(keyPath, name);
}

bool Registry::writeValue(const std::string& keyPath, const std::string& name,
                          const RegValue& value) const {
    if (!isStorablePath(keyPath) || !fitsOnOneLine(name))
        return false;
    RegistrySession session = openForUpdate();
    session.writeValue(keyPath, name, value);
    return session.commit();
}

} // namespace zbpg::platform

#include "platform/store/ProfileFile.h"

#include "platform/store/ProfileFormat.h"

namespace zbpg::platform {

ProfileSession::ProfileSession(std::unique_ptr<LineStore> store) : m_store(std::move(store)) {}
ProfileSession::~ProfileSession() = default;
ProfileSession::ProfileSession(ProfileSession&&) noexcept = default;
ProfileSession& ProfileSession::operator=(ProfileSession&&) noexcept = default;

std::string ProfileSession::read(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
    const auto line = m_store->valueLine(section, key);
    return ProfileSyntax::cutToReaderLimit(
        line ? ProfileSyntax::readerValue(ProfileSyntax::dataOf(*line)) : defaultValue,
        kMaxValueBytes);
}

bool ProfileSession::contains(const std::string& section, const std::string& key) const {
    return m_store->valueLine(section, key).has_value();
}

std::vector<std::string> ProfileSession::keys(const std::string& section) const {
    return m_store->valueNames(section);
}

void ProfileSession::forEachKey(const std::string& section,
                                const std::function<void(std::string_view)>& visit) const {
    m_store->forEachValueName(section, visit);
}

void ProfileSession::write(const std::string& section, const std::string& key,
                           const std::string& value) {
    const std::string data = ProfileSyntax::writerValue(value);
    const auto line = m_store->valueLine(section, key);
    if (!line || ProfileSyntax::dataOf(*line) != data)
        m_store->writeValue(section, key, data);
}

bool ProfileSession::remove(const std::string& section, const std::string& key) {
    return m_store->removeValue(section, key);
}

bool ProfileSession::changed() const {
    return m_store->changed();
}

StoreEncoding ProfileSession::encoding() const {
    return m_store->encoding();
}

bool ProfileSession::commit() {
    return m_store->commit();
}

ProfileSession ProfileFile::openForRead() const {
    return ProfileSession(
        std::make_unique<LineStore>(ProfileSyntax::instance(), m_path, false, m_seedPath));
}

ProfileSession ProfileFile::openForUpdate() const {
    return ProfileSession(
        std::make_unique<LineStore>(ProfileSyntax::instance(), m_path, true, m_seedPath));
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

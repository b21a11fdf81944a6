#include "platform/store/StoreFile.h"

#include "base/Error.h"
#include "platform/os/AtomicFile.h"
#include "platform/os/RegularFile.h"
#include "text/Texts.h"

#include <cerrno>
#include <functional>
#include <sys/stat.h>

namespace zbpg::platform {

namespace {

[[noreturn]] void throwCannotOpen(const std::string& path) {
    throw Error(formatMessage(texts::kCannotOpenFile, path));
}

} // namespace

std::optional<std::string> readStoreFile(const std::string& path) {
    const auto nothingThere = [&path] {
        struct stat info {};
        return ::stat(path.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR);
    };
    if (nothingThere())
        return std::nullopt;
    auto content = readRegularFile(path, kMaxStoreFileBytes);
    // A file removed between the look and the read is as missing as one never there.
    if (!content && !nothingThere())
        throwCannotOpen(path);
    return content;
}

StoreFile::Fingerprint StoreFile::fingerprintOf(const std::optional<std::string>& content) {
    return content ? fingerprintOf(std::string_view(*content)) : Fingerprint{};
}

StoreFile::Fingerprint StoreFile::fingerprintOf(std::string_view content) {
    return {true, content.size(), std::hash<std::string_view>{}(content)};
}

StoreFile::StoreFile(std::string path, bool forUpdate, const std::string& seedPath)
    : m_path(std::move(path)) {
    if (forUpdate) {
        // The folder first: a lock can only be taken on a folder that exists.
        (void)makeFolders(parentFolder(m_path));
        m_lock = std::make_unique<FolderLock>(m_path);
    }
    auto content = readStoreFile(m_path);
    m_fingerprint = fingerprintOf(content);
    if (!content && !seedPath.empty())
        content = readStoreFile(seedPath);
    if (content)
        m_content = std::move(*content);
}

StoreFile::~StoreFile() = default;
StoreFile::StoreFile(StoreFile&&) noexcept = default;
StoreFile& StoreFile::operator=(StoreFile&&) noexcept = default;

std::string StoreFile::takeContent() {
    return std::move(m_content);
}

bool StoreFile::replace(const std::string& content) {
    std::unique_ptr<FolderLock> commitLock;
    if (m_lock == nullptr) {
        (void)makeFolders(parentFolder(m_path));
        commitLock = std::make_unique<FolderLock>(m_path);
        if (!commitLock->held())
            return false;
        try {
            if (fingerprintOf(readStoreFile(m_path)) != m_fingerprint)
                return false; // written by someone else since: this session's view is old
        } catch (const Error&) {
            return false;
        }
    } else if (!m_lock->held()) {
        return false;
    }
    if (!writeFileAtomically(m_path, content, Durability::SurvivesPowerLoss, AtLink::WriteTarget))
        return false;
    m_fingerprint = fingerprintOf(std::string_view(content)); // not a copy in an optional
    return true;
}

} // namespace zbpg::platform

#include "platform/os/AtomicFile.h"

#include "base/Error.h"
#include "text/Texts.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <map>
#include <mutex>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zbpg::platform {

std::string parentFolder(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

namespace {

// flock() locks belong to an open file description, so a second lock of the same folder in
// this process would wait for the first forever: sessions opened inside one another share one
// lock instead.
struct HeldLock {
    int fd = -1;
    int users = 0;
};

std::mutex g_locksMutex;
std::map<std::string, HeldLock> g_heldLocks;

std::string lockKey(const std::string& folder) {
    char resolved[PATH_MAX];
    return ::realpath(folder.c_str(), resolved) ? resolved : folder;
}

int lockedFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    int rc = 0;
    while ((rc = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
    }
    if (rc != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

FolderLock::FolderLock(const std::string& filePath) : m_folder(lockKey(parentFolder(filePath))) {
    std::lock_guard guard(g_locksMutex);
    const auto existing = g_heldLocks.find(m_folder);
    if (existing != g_heldLocks.end()) {
        ++existing->second.users;
        m_held = true;
        return;
    }
    const int fd = lockedFolder(m_folder);
    if (fd < 0)
        return; // not held: whoever needs the lock must not write
    g_heldLocks.emplace(m_folder, HeldLock{fd, 1});
    m_held = true;
}

FolderLock::~FolderLock() {
    if (!m_held)
        return;
    std::lock_guard guard(g_locksMutex);
    const auto held = g_heldLocks.find(m_folder);
    if (held == g_heldLocks.end() || --held->second.users > 0)
        return;
    ::close(held->second.fd); // closing releases the lock
    g_heldLocks.erase(held);
}

bool isReadOnlyFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && (info.st_mode & S_IWUSR) == 0;
}

namespace {

constexpr std::string_view kTemporaryInfix = ".zbpg-tmp-";
constexpr std::size_t kUniqueLength = 6; // the "XXXXXX" of mkstemp

std::string resolveLinks(const std::string& path) {
    char resolved[PATH_MAX];
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode) &&
        ::realpath(path.c_str(), resolved) != nullptr)
        return resolved;
    return path;
}

bool writeAll(int fd, const std::string& content) {
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool isUniqueSuffix(std::string_view text) {
    if (text.size() != kUniqueLength)
        return false;
    for (const char c : text) {
        const bool alphanumeric =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!alphanumeric)
            return false;
    }
    return true;
}

bool syncFile(int fd) {
    int rc = 0;
    while ((rc = ::fsync(fd)) != 0 && errno == EINTR) {
    }
    return rc == 0;
}

// Makes the rename itself survive a power loss. The new content is in place whatever this
// gives, so a folder the file system cannot sync does not fail the replacement.
void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    (void)syncFile(fd);
    ::close(fd);
}

// Only called with the folder lock held: every writer of the file holds it from creating its
// temporary file to renaming it, so one that is there now belongs to a writer that died.
void removeStaleTemporaryFiles(const std::string& target) {
    const std::string folder = parentFolder(target);
    const std::string prefix = temporaryFilePrefix(target);
    const std::string namePrefix = prefix.substr(prefix.find_last_of('/') + 1);
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (!name.starts_with(namePrefix) || !isUniqueSuffix(name.substr(namePrefix.size())))
            continue;
        const std::string stale = folder + "/" + std::string(name);
        struct stat info {};
        if (::lstat(stale.c_str(), &info) == 0 && S_ISREG(info.st_mode))
            ::unlink(stale.c_str());
    }
    ::closedir(dir);
}

} // namespace

std::string temporaryFilePrefix(const std::string& path) {
    return path + std::string(kTemporaryInfix);
}

bool writeFileAtomically(const std::string& path, const std::string& content, Durability durability,
                         AtLink atLink) {
    const bool synced = durability == Durability::SurvivesPowerLoss;
    const std::string target = atLink == AtLink::WriteTarget ? resolveLinks(path) : path;
    const FolderLock lock(target);
    if (!lock.held())
        return false;
    struct stat old {};
    const bool exists = ::lstat(target.c_str(), &old) == 0;
    const bool regular = exists && S_ISREG(old.st_mode);
    // A protected file is kept, and a folder cannot be replaced. Anything else (a FIFO left
    // where a picture belongs) is replaced by the rename without ever being opened; the stores
    // refuse to write over what they could not read before they get here.
    if ((regular && (old.st_mode & S_IWUSR) == 0) || (exists && S_ISDIR(old.st_mode)))
        return false;
    removeStaleTemporaryFiles(target);
    std::string temp = temporaryFilePrefix(target) + std::string(kUniqueLength, 'X');
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return false;
    const mode_t mode = regular ? (old.st_mode & 07777) : 0644;
    const bool written =
        ::fchmod(fd, mode) == 0 && writeAll(fd, content) && (!synced || syncFile(fd));
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    if (synced)
        syncFolder(parentFolder(target));
    return true;
}

bool makeFolders(const std::string& path) {
    if (path.empty())
        return false;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode);
    const std::string parent = parentFolder(path);
    if (parent != path && !makeFolders(parent))
        return false;
    return ::mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
}

} // namespace zbpg::platform

#include "platform/os/RunFile.h"

#include "platform/os/AtomicFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zbpg::platform {
namespace {

// The runs of this process so far: a trial run may start while another is still showing.
std::atomic<unsigned> g_runs{0};

// namedAfter's file name cut before its extension: "ZorbelPaneglyphTmp" and ".bmp".
struct NameParts {
    std::string folder;
    std::string stem;
    std::string extension;

    explicit NameParts(const std::string& namedAfter) : folder(parentFolder(namedAfter)) {
        const auto slash = namedAfter.find_last_of('/');
        const std::string name =
            slash == std::string::npos ? namedAfter : namedAfter.substr(slash + 1);
        const auto dot = name.find_last_of('.');
        stem = name.substr(0, dot);
        extension = dot == std::string::npos ? std::string() : name.substr(dot);
    }

    // A run's own name, or the name the runs of earlier versions shared.
    bool names(std::string_view name) const {
        if (name == stem + extension)
            return true;
        const std::string start = stem + "-";
        if (name.size() <= start.size() + extension.size() || !name.starts_with(start) ||
            !name.ends_with(extension))
            return false;
        const auto run = name.substr(start.size(), name.size() - start.size() - extension.size());
        return std::all_of(run.begin(), run.end(),
                           [](char c) { return (c >= '0' && c <= '9') || c == '-'; });
    }
};

// A run's file that no run holds any more, or anything else (a link, a FIFO) that took a run's
// name: a folder is left alone.
bool isLeftOver(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode))
        return false;
    if (!S_ISREG(info.st_mode))
        return true;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false; // another user's: not ours to judge
    const bool unheld = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return unheld;
}

} // namespace

RunFile::RunFile(const std::string& namedAfter) {
    const NameParts parts(namedAfter);
    m_path = parts.folder + "/" + parts.stem + "-" + std::to_string(::getpid()) + "-" +
             std::to_string(++g_runs) + parts.extension;
    // Made and locked under the folder's lock, so that no run removing leftovers ever sees it
    // unlocked.
    const FolderLock lock(m_path);
    if (!lock.held())
        return;
    m_fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (m_fd >= 0 && ::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        ::unlink(m_path.c_str());
        ::close(m_fd);
        m_fd = -1;
    }
}

RunFile::~RunFile() {
    if (m_fd < 0)
        return;
    ::unlink(m_path.c_str()); // before the lock goes with the file
    ::close(m_fd);
}

bool RunFile::append(const std::string& bytes) {
    if (m_fd < 0)
        return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(m_fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

void RunFile::removeLeftovers(const std::string& namedAfter) {
    const NameParts parts(namedAfter);
    const FolderLock lock(namedAfter);
    DIR* dir = lock.held() ? ::opendir(parts.folder.c_str()) : nullptr;
    if (dir == nullptr)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string path = parts.folder + "/" + entry->d_name;
        if (parts.names(entry->d_name) && isLeftOver(path))
            ::unlink(path.c_str());
    }
    ::closedir(dir);
}

} // namespace zbpg::platform

#include "platform/os/InstanceLock.h"

#include "base/Error.h"
#include "text/Texts.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zbpg::platform {
namespace {

// The file of the lock held, for a process that ends through exit() without unwinding (a
// library that loses its display ends it so): plain bytes, which no destructor takes away
// before the exit handler runs.
char g_heldPath[PATH_MAX] = {};

void removeHeldFile() {
    if (g_heldPath[0] != '\0')
        (void)::unlink(g_heldPath);
    g_heldPath[0] = '\0';
}

bool isSameFile(int file, const std::string& path) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(file, &opened) == 0 && ::stat(path.c_str(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

} // namespace

std::unique_ptr<InstanceLock> InstanceLock::take(const std::string& path) {
    for (;;) {
        const int file = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (file < 0)
            throw Error(formatMessage(texts::kCannotCreateFile, path));
        if (::flock(file, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(file);
            if (error == EINTR)
                continue;
            if (error == EWOULDBLOCK)
                return nullptr;
            throw Error(formatMessage(texts::kCannotCreateFile, path));
        }
        // The holder before may have removed the file between our opening and locking it: a
        // lock on a file nobody can open any more would let the next process in as well.
        if (isSameFile(file, path))
            return std::unique_ptr<InstanceLock>(new InstanceLock(path, file));
        ::close(file);
    }
}

InstanceLock::InstanceLock(std::string path, int file) : m_path(std::move(path)), m_file(file) {
    static const bool registered = std::atexit(removeHeldFile) == 0;
    (void)registered;
    if (m_path.size() < sizeof g_heldPath)
        std::memcpy(g_heldPath, m_path.c_str(), m_path.size() + 1);
}

InstanceLock::~InstanceLock() {
    // Removed while still locked, so that whoever opens the name next makes a new file.
    (void)::unlink(m_path.c_str());
    g_heldPath[0] = '\0';
    ::close(m_file);
}

} // namespace zbpg::platform

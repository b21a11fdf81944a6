#include "platform/os/RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zbpg::platform {
namespace {

bool isRegularWithin(const struct stat& info, std::size_t maxBytes) {
    return S_ISREG(info.st_mode) && info.st_size >= 0 &&
           static_cast<unsigned long long>(info.st_size) <= maxBytes;
}

class FileDescriptor final {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

std::optional<std::string> readRegularFile(const std::string& path, std::size_t maxBytes) {
    // Looked at before opening, so that a device is never opened at all; looked at again on the
    // open file, which may have been replaced in between. Without O_NONBLOCK, opening a FIFO
    // would wait for a writer that may never come.
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0 || !isRegularWithin(info, maxBytes))
        return std::nullopt;
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !isRegularWithin(info, maxBytes))
        return std::nullopt;
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            return bytes;
        // A file that grows while it is read is bounded all the same.
        if (static_cast<std::size_t>(got) > maxBytes - bytes.size())
            return std::nullopt;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

} // namespace zbpg::platform

#include "platform/desktop/WaylandCompositor.h"

#include "platform/os/RegularFile.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace zbpg::platform {
namespace {

// A connection to the compositor's socket, closed at the end of its scope.
class CompositorConnection final {
public:
    CompositorConnection() {
        const std::string path = waylandSocketPath();
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (path.empty() || path.size() >= sizeof address.sun_path)
            return;
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        m_socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (m_socket >= 0 &&
            ::connect(m_socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
            close();
    }
    ~CompositorConnection() { close(); }
    CompositorConnection(const CompositorConnection&) = delete;
    CompositorConnection& operator=(const CompositorConnection&) = delete;

    bool connected() const { return m_socket >= 0; }
    int socket() const { return m_socket; }

private:
    void close() {
        if (m_socket >= 0)
            ::close(m_socket);
        m_socket = -1;
    }

    int m_socket = -1;
};

// The display's "sync" request, the round trip every client makes first: object 1 (the
// display), request 0, twelve bytes long, the new callback as object 2. Words in the machine's
// own byte order, as the protocol has them.
bool sendSync(int socket) {
    const std::uint32_t request[3] = {1, (12u << 16) | 0u, 2};
    return ::send(socket, request, sizeof request, MSG_NOSIGNAL) ==
           static_cast<ssize_t>(sizeof request);
}

// Whether anything arrives before the time is up; what it is does not matter.
bool answersWithin(int socket, std::chrono::milliseconds limit) {
    pollfd wanted{socket, POLLIN, 0};
    int ready = 0;
    while ((ready = ::poll(&wanted, 1, static_cast<int>(limit.count()))) < 0 && errno == EINTR) {
    }
    char byte = 0;
    return ready == 1 && ::recv(socket, &byte, 1, MSG_DONTWAIT) == 1;
}

// The process's start in clock ticks after boot: the 22nd field of /proc/<pid>/stat, the 20th
// after the name, which ends at the last ")".
std::string startTimeOf(pid_t process) {
    const auto stat = readRegularFile("/proc/" + std::to_string(process) + "/stat", 4096);
    if (!stat)
        return {};
    std::size_t field = stat->rfind(')');
    for (int skip = 0; skip < 20 && field != std::string::npos; ++skip)
        field = stat->find(' ', field + 1);
    if (field == std::string::npos)
        return {};
    return stat->substr(field + 1, stat->find(' ', field + 1) - field - 1);
}

} // namespace

std::string waylandSocketPath() {
    const char* display = std::getenv("WAYLAND_DISPLAY");
    if (display == nullptr || *display == '\0')
        return {};
    if (*display == '/')
        return display;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime == nullptr || *runtime == '\0')
        return {};
    return std::string(runtime) + "/" + display;
}

bool waylandCompositorAnswers() {
    const CompositorConnection connection;
    return connection.connected() && sendSync(connection.socket()) &&
           answersWithin(connection.socket(), kCompositorTimeout);
}

std::optional<std::string> waylandCompositorIdentity() {
    const CompositorConnection connection;
    ucred peer{};
    socklen_t size = sizeof peer;
    if (!connection.connected() ||
        ::getsockopt(connection.socket(), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 ||
        peer.pid <= 0)
        return std::nullopt;
    return std::to_string(peer.pid) + ":" + startTimeOf(peer.pid);
}

} // namespace zbpg::platform

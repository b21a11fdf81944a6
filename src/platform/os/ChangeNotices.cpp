#include "platform/os/ChangeNotices.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <malloc.h>
#include <sstream>
#include <string>
#include <sys/mman.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zbpg::platform {
namespace {

constexpr std::array kTerminationSignals{SIGTERM, SIGINT, SIGHUP};

// The pipe a signal handler writes into: the only thing a handler may safely do. Its read end
// is the descriptor of TerminationRequests.
int g_signalPipe[2] = {-1, -1};

void noteSignal(int) {
    const int saved = errno;
    const char byte = 1;
    (void)!::write(g_signalPipe[1], &byte, 1); // a full pipe has told already
    errno = saved;
}

void closeDescriptor(int& descriptor) {
    if (descriptor >= 0)
        ::close(descriptor);
    descriptor = -1;
}

} // namespace

AddressChanges::AddressChanges() {
    m_socket = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_ROUTE);
    if (m_socket < 0)
        return;
    sockaddr_nl address{};
    address.nl_family = AF_NETLINK;
    // A link going down or up changes which address is shown as much as the address itself;
    // the default route decides between interfaces.
    address.nl_groups = RTMGRP_LINK | RTMGRP_IPV4_IFADDR | RTMGRP_IPV4_ROUTE;
    if (::bind(m_socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        closeDescriptor(m_socket);
}

AddressChanges::~AddressChanges() {
    closeDescriptor(m_socket);
}

bool AddressChanges::takeNotices() {
    bool noticed = false;
    std::array<char, 8192> buffer{};
    for (;;) {
        const ssize_t length = ::recv(m_socket, buffer.data(), buffer.size(), 0);
        if (length > 0) {
            noticed = true;
            continue;
        }
        if (length < 0 && errno == EINTR)
            continue;
        // ENOBUFS: the kernel dropped notices for want of room, so something did change.
        return noticed || (length < 0 && errno == ENOBUFS);
    }
}

HostNameChanges::HostNameChanges() {
    m_file = ::open("/proc/sys/kernel/hostname", O_RDONLY | O_CLOEXEC);
}

HostNameChanges::~HostNameChanges() {
    closeDescriptor(m_file);
}

TerminationRequests::TerminationRequests() {
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    struct sigaction action {};
    action.sa_handler = noteSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (const int signal : kTerminationSignals)
        ::sigaction(signal, &action, nullptr);
}

TerminationRequests::~TerminationRequests() {
    for (const int signal : kTerminationSignals)
        std::signal(signal, SIG_DFL);
    closeDescriptor(g_signalPipe[0]);
    closeDescriptor(g_signalPipe[1]);
}

int TerminationRequests::descriptor() const {
    return g_signalPipe[0];
}

bool TerminationRequests::takeRequest() {
    bool requested = false;
    char bytes[16];
    ssize_t length = 0;
    while ((length = ::read(g_signalPipe[0], bytes, sizeof bytes)) > 0 ||
           (length < 0 && errno == EINTR))
        requested = requested || length > 0;
    return requested;
}

void releaseIdleMemory() {
    ::malloc_trim(0);
    // /proc/self/smaps: a header "start-end perms offset device inode path" for each mapping,
    // then its figures, "Anonymous:" among them.
    std::ifstream maps("/proc/self/smaps");
    struct Mapping {
        unsigned long start = 0, end = 0;
        bool fileOnly = false; // read-only, of a file, no page of its own
    } mapping;
    const auto release = [&mapping] {
        if (mapping.fileOnly)
            (void)::madvise(reinterpret_cast<void*>(mapping.start), mapping.end - mapping.start,
                            MADV_DONTNEED);
        mapping = {};
    };
    for (std::string line; std::getline(maps, line);) {
        std::istringstream fields(line);
        std::string first;
        fields >> first;
        if (const auto dash = first.find('-'); dash != std::string::npos && first.back() != ':') {
            release();
            std::string permissions, offset, device;
            unsigned long inode = 0;
            fields >> permissions >> offset >> device >> inode;
            mapping.start = std::stoul(first.substr(0, dash), nullptr, 16);
            mapping.end = std::stoul(first.substr(dash + 1), nullptr, 16);
            // Pages of a writable mapping may be written at any moment.
            mapping.fileOnly = inode != 0 && permissions.size() > 1 && permissions[1] != 'w';
        } else if (first == "Anonymous:") {
            // Pages written before the mapping became read-only (the relocations of a library)
            // exist nowhere else: dropping them would bring the file's bytes back instead.
            unsigned long kilobytes = 0;
            fields >> kilobytes;
            mapping.fileOnly = mapping.fileOnly && kilobytes == 0;
        }
    }
    release();
}

} // namespace zbpg::platform

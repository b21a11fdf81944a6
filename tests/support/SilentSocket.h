#pragma once

#include <chrono>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace zbpg::test {

// A local socket that takes every connection and never says a word, as a daemon that hangs
// does: a session bus, a compositor. It listens in a process of its own, as a daemon would, so
// that a new one is a new peer; that process ends with this object, with the test process, or
// after two minutes at the latest.
class SilentSocket final {
public:
    explicit SilentSocket(std::string path) : m_path(std::move(path)) {
        ::unlink(m_path.c_str());
        const sockaddr_un address = addressOf(m_path.c_str());
        m_listener = ::fork();
        if (m_listener == 0)
            listenInSilence(address);
        EXPECT_TRUE(m_listener > 0 && waitUntilListening()) << "nobody listens on " << m_path;
    }
    ~SilentSocket() {
        if (m_listener > 0) {
            ::kill(m_listener, SIGKILL);
            ::waitpid(m_listener, nullptr, 0);
        }
        ::unlink(m_path.c_str());
    }
    SilentSocket(const SilentSocket&) = delete;
    SilentSocket& operator=(const SilentSocket&) = delete;

    const std::string& path() const { return m_path; }

private:
    static sockaddr_un addressOf(const char* path) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path, sizeof address.sun_path - 1);
        return address;
    }

    // The child: only calls that are safe after fork() in a process with threads.
    [[noreturn]] static void listenInSilence(const sockaddr_un& address) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        ::alarm(120);
        const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(listener, 64) != 0)
            ::_exit(1);
        for (;;)
            (void)::accept(listener, nullptr, nullptr); // held open, never written to
    }

    bool waitUntilListening() const {
        const sockaddr_un address = addressOf(m_path.c_str());
        for (int attempt = 0; attempt < 500; ++attempt) {
            const int probe = ::socket(AF_UNIX, SOCK_STREAM, 0);
            const bool listening =
                ::connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
            ::close(probe);
            if (listening)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    std::string m_path;
    pid_t m_listener = -1;
};

} // namespace zbpg::test

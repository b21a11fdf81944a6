#pragma once

#include <csignal>
#include <string>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zbpg::test {

// A local socket that takes every connection and never says a word, as a hung daemon does, in a
// process of its own (a new one is a new peer) that ends with this object or the test.
class SilentSocket final {
public:
    explicit SilentSocket(std::string path) : m_path(std::move(path)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        m_path.copy(address.sun_path, sizeof address.sun_path - 1);
        ::unlink(m_path.c_str());
        int ready[2];
        if (::pipe(ready) != 0 || (m_listener = ::fork()) < 0)
            return;
        if (m_listener == 0) { // only calls that are safe after fork() from here
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            ::alarm(120);
            const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
            if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
                ::listen(listener, 64) != 0 || ::write(ready[1], "", 1) != 1)
                ::_exit(1);
            for (;;)
                (void)::accept(listener, nullptr, nullptr); // held open, never written to
        }
        ::close(ready[1]);
        char byte = 0;
        (void)::read(ready[0], &byte, 1); // listening, or gone
        ::close(ready[0]);
    }
    ~SilentSocket() {
        if (m_listener > 0 && ::kill(m_listener, SIGKILL) == 0)
            ::waitpid(m_listener, nullptr, 0);
        ::unlink(m_path.c_str());
    }
    SilentSocket(const SilentSocket&) = delete;
    SilentSocket& operator=(const SilentSocket&) = delete;

    const std::string& path() const { return m_path; }

private:
    std::string m_path;
    pid_t m_listener = -1;
};

} // namespace zbpg::test

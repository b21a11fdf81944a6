#pragma once

#include <chrono>
#include <fcntl.h>
#include <future>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace zbpg::test {

// A FIFO at the path, which blocks a reader that opens it plainly until a writer comes.
inline bool makeFifo(const std::string& path) {
    return ::mkfifo(path.c_str(), 0600) == 0;
}

// Whether the call returns within three seconds. When it does not, a reader stuck on the FIFO
// is let go (a writer opens it and closes it again, which ends the reader's wait with an empty
// file), so that the test fails rather than hangs. The call catches its own errors.
template <typename Call> bool returnsPromptly(Call call, const std::string& fifo = {}) {
    using namespace std::chrono_literals;
    auto done = std::async(std::launch::async, call);
    if (done.wait_for(3s) == std::future_status::ready)
        return true;
    while (!fifo.empty() && done.wait_for(100ms) != std::future_status::ready) {
        const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (writer >= 0)
            ::close(writer);
    }
    done.wait();
    return false;
}

} // namespace zbpg::test

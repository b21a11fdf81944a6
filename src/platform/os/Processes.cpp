#include "platform/os/Processes.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace zbpg::platform {

// ---- Word splitting ---------------------------------------------------------------------------

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

// Inside double quotes a backslash only escapes the characters that are special there.
bool escapableInDoubleQuotes(char c) {
    return c == '"' || c == '\\' || c == '$' || c == '`';
}

} // namespace

std::optional<std::vector<std::string>> splitShellWords(const std::string& text) {
    enum class Quote { None, Single, Double };
    std::vector<std::string> words;
    std::string word;
    bool inWord = false; // separate from word.empty(): "" is a word of its own
    Quote quote = Quote::None;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool hasNext = i + 1 < text.size();
        if (quote == Quote::Single) {
            if (c == '\'')
                quote = Quote::None;
            else
                word += c;
        } else if (quote == Quote::Double) {
            if (c == '"') {
                quote = Quote::None;
            } else if (c == '\\' && hasNext && text[i + 1] == '\n') {
                ++i; // a line continuation disappears
            } else if (c == '\\' && hasNext && escapableInDoubleQuotes(text[i + 1])) {
                word += text[++i];
            } else {
                word += c;
            }
        } else if (isBlank(c)) {
            if (inWord)
                words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else {
            inWord = true;
            if (c == '\'') {
                quote = Quote::Single;
            } else if (c == '"') {
                quote = Quote::Double;
            } else if (c == '\\' && hasNext) {
                if (text[++i] != '\n')
                    word += text[i];
                else if (word.empty())
                    inWord = false; // a continuation alone does not start a word
            } else {
                word += c; // also a backslash at the very end: nothing left to escape
            }
        }
    }
    if (quote != Quote::None)
        return std::nullopt;
    if (inWord)
        words.push_back(std::move(word));
    return words;
}

// ---- Finding programs -------------------------------------------------------------------------

bool isExecutableFile(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

std::string findExecutable(const std::string& command) {
    if (command.empty())
        return {};
    if (command.find('/') != std::string::npos)
        return isExecutableFile(command) ? command : std::string();
    const char* pathVariable = std::getenv("PATH");
    const std::string path = pathVariable ? pathVariable : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= path.size()) {
        const auto colon = std::min(path.find(':', start), path.size());
        const std::string folder = path.substr(start, colon - start);
        start = colon + 1;
        // An empty entry would mean "whatever folder we happen to be in": never search that.
        if (folder.empty())
            continue;
        const std::string candidate = folder + (folder.back() == '/' ? "" : "/") + command;
        if (isExecutableFile(candidate))
            return candidate;
    }
    return {};
}

// ---- Starting programs ------------------------------------------------------------------------

namespace {

// Everything the child needs, prepared before fork(): between fork() and exec() only
// async-signal-safe calls are allowed, so nothing there may allocate. It stays where it was
// built because argv points into its own strings.
struct Launch {
    std::string program;
    std::vector<std::string> arguments;
    std::vector<char*> argv;
    std::string folder;

    Launch(const std::vector<std::string>& words, const std::string& workFolder)
        : program(words.empty() ? std::string() : findExecutable(words.front())), arguments(words),
          folder(workFolder) {
        for (auto& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
    }
    Launch(const Launch&) = delete;
    Launch& operator=(const Launch&) = delete;

    bool possible() const { return !program.empty(); }
};

[[noreturn]] void reportAndExit(int errorPipe, int error) {
    while (::write(errorPipe, &error, sizeof error) < 0 && errno == EINTR) {
    }
    ::_exit(127);
}

// Runs in the forked child: sets up the process and replaces it with the program. Returns
// only by exiting; a failure travels to the parent through the error pipe.
[[noreturn]] void execInChild(const Launch& launch, int errorPipe) {
    // Signal settings survive exec(): the program should start with the usual ones.
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    ::sigaction(SIGPIPE, &standard, nullptr);

    if (!launch.folder.empty() && ::chdir(launch.folder.c_str()) != 0)
        reportAndExit(errorPipe, errno);
    const int nullInput = ::open("/dev/null", O_RDONLY);
    if (nullInput < 0)
        reportAndExit(errorPipe, errno);
    if (nullInput != STDIN_FILENO) {
        if (::dup2(nullInput, STDIN_FILENO) < 0)
            reportAndExit(errorPipe, errno);
        ::close(nullInput);
    }
#ifdef CLOSE_RANGE_CLOEXEC
    // Our own files (sockets, locks, documents) are none of the program's business.
    ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
#endif
    ::execve(launch.program.c_str(), launch.argv.data(), environ);
    reportAndExit(errorPipe, errno);
}

// Reads the error pipe until every writer is gone: exec() closes it silently, a failure sends
// an errno first. True when nothing came, i.e. the program really started.
bool startedCleanly(int readEnd) {
    int error = 0;
    ssize_t got;
    while ((got = ::read(readEnd, &error, sizeof error)) < 0 && errno == EINTR) {
    }
    ::close(readEnd);
    return got == 0;
}

void waitForChild(pid_t child) {
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
}

// Forks; the child calls childBody with the write end of the error pipe. Returns the child's
// id (or -1) and leaves the read end in readEnd.
template <typename Body> pid_t forkWithErrorPipe(int& readEnd, Body childBody) {
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        childBody(pipeEnds[1]);
        ::_exit(127);
    }
    ::close(pipeEnds[1]);
    if (child < 0)
        ::close(pipeEnds[0]);
    readEnd = pipeEnds[0];
    return child;
}

} // namespace

bool startDetached(const std::vector<std::string>& arguments, const std::string& folder) {
    const Launch launch(arguments, folder);
    if (!launch.possible())
        return false;
    int readEnd = -1;
    // The middle child starts a new session, forks the program and ends at once: the program
    // then belongs to init (or the nearest subreaper), which reaps it when it ends.
    const pid_t middle = forkWithErrorPipe(readEnd, [&launch](int errorPipe) {
        ::setsid();
        const pid_t program = ::fork();
        if (program == 0)
            execInChild(launch, errorPipe);
        if (program < 0)
            reportAndExit(errorPipe, errno);
        ::_exit(0);
    });
    if (middle < 0)
        return false;
    waitForChild(middle);
    return startedCleanly(readEnd);
}

bool runAndWait(const std::vector<std::string>& arguments, const std::string& folder) {
    const Launch launch(arguments, folder);
    if (!launch.possible())
        return false;
    int readEnd = -1;
    const pid_t child =
        forkWithErrorPipe(readEnd, [&launch](int errorPipe) { execInChild(launch, errorPipe); });
    if (child < 0)
        return false;
    const bool started = startedCleanly(readEnd);
    waitForChild(child);
    return started;
}

namespace {

using Clock = std::chrono::steady_clock;

enum class Waited { Ended, TimedOut };

// Waits for the child to end, looking ever less often (up to every 20 ms), until the deadline.
Waited waitUntil(pid_t child, Clock::time_point deadline, int& status) {
    auto pause = std::chrono::milliseconds(1);
    for (;;) {
        const pid_t ended = ::waitpid(child, &status, WNOHANG);
        if (ended == child)
            return Waited::Ended;
        if (ended < 0 && errno != EINTR) {
            status = SIGKILL; // it cannot be waited for: taken as ended by a signal, no success
            return Waited::Ended;
        }
        const auto now = Clock::now();
        if (now >= deadline)
            return Waited::TimedOut;
        std::this_thread::sleep_for(std::min<Clock::duration>(pause, deadline - now));
        pause = std::min(pause * 2, std::chrono::milliseconds(20));
    }
}

// A program that has overstayed its time is asked to end, with everything it started (its
// process group), and made to a second later.
void endProcessGroup(pid_t group) {
    constexpr auto kGrace = std::chrono::seconds(1);
    ::kill(-group, SIGTERM);
    int status = 0;
    if (waitUntil(group, Clock::now() + kGrace, status) == Waited::Ended)
        return;
    ::kill(-group, SIGKILL);
    waitForChild(group);
}

} // namespace

std::optional<int> runWithDeadline(const std::vector<std::string>& arguments,
                                   std::chrono::milliseconds limit) {
    const Launch launch(arguments, std::string());
    if (!launch.possible())
        return std::nullopt;
    const auto deadline = Clock::now() + limit;
    int readEnd = -1;
    const pid_t child = forkWithErrorPipe(readEnd, [&launch](int errorPipe) {
        ::setpgid(0, 0); // a group of its own, which can be ended as a whole
        execInChild(launch, errorPipe);
    });
    if (child < 0)
        return std::nullopt;
    // Also here, so that the group exists before it might have to be ended (after exec() this
    // is refused, and no longer needed).
    (void)::setpgid(child, child);
    const bool started = startedCleanly(readEnd);
    int status = 0;
    if (waitUntil(child, deadline, status) == Waited::TimedOut) {
        endProcessGroup(child);
        return std::nullopt;
    }
    if (!started || !WIFEXITED(status))
        return std::nullopt;
    return WEXITSTATUS(status);
}

bool openWithDesktop(const std::string& path, const std::string& folder) {
    return startDetached({"xdg-open", path}, folder);
}

// ---- Pauses -----------------------------------------------------------------------------------

namespace {

std::mutex g_sleeperMutex;
std::function<void(int)> g_sleeper;

} // namespace

void sleepMilliseconds(int milliseconds) {
    if (milliseconds <= 0)
        return;
    std::function<void(int)> sleeper;
    {
        std::lock_guard lock(g_sleeperMutex);
        sleeper = g_sleeper;
    }
    if (sleeper)
        sleeper(milliseconds);
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void setSleeper(std::function<void(int milliseconds)> sleeper) {
    std::lock_guard lock(g_sleeperMutex);
    g_sleeper = std::move(sleeper);
}

} // namespace zbpg::platform

#include "platform/os/ChangeNotices.h"

#include "platform/os/InstanceLock.h"
#include "support/TempFolder.h"

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <poll.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zbpg::platform {
namespace {

// Whether the descriptor shows the events within the time.
bool signals(int descriptor, short events, int milliseconds) {
    pollfd entry{descriptor, events, 0};
    return ::poll(&entry, 1, milliseconds) == 1 && (entry.revents & events) != 0;
}

// A source in a namespace of its own, so that the change made there reaches nobody else: the
// child that unshares the namespace reports through its exit status.
struct NamespaceCase {
    const char* name;
    int namespaceFlag;
    std::function<int()> watchChangeAndTell; // 0: quiet before, told after
};

void PrintTo(const NamespaceCase& source, std::ostream* out) {
    *out << source.name;
}

int hostNameCase() {
    const HostNameChanges changes;
    if (changes.descriptor() < 0)
        return 10;
    if (signals(changes.descriptor(), POLLPRI, 200))
        return 11;
    if (::sethostname("zbpg-notice-test", 16) != 0)
        return 12;
    if (!signals(changes.descriptor(), POLLPRI, 5000))
        return 13;
    return signals(changes.descriptor(), POLLPRI, 200) ? 14 : 0; // told once
}

int addressCase() {
    AddressChanges changes;
    if (changes.descriptor() < 0)
        return 10;
    if (signals(changes.descriptor(), POLLIN, 200) || changes.takeNotices())
        return 11;
    if (std::system("timeout 10 ip addr add 192.0.2.77/24 dev lo") != 0)
        return 12;
    if (!signals(changes.descriptor(), POLLIN, 5000) || !changes.takeNotices())
        return 13;
    return changes.takeNotices() ? 14 : 0; // all taken
}

class KernelNotice : public ::testing::TestWithParam<NamespaceCase> {};

TEST_P(KernelNotice, TellsOfAChangeOnceAndIsQuietOtherwise) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::unshare(GetParam().namespaceFlag) != 0)
            ::_exit(77);
        ::_exit(GetParam().watchChangeAndTell());
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "a namespace of its own needs root (or CAP_SYS_ADMIN)";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "10 no source, 11 told too early, 12 no change made, "
                                         "13 not told, 14 told twice";
}

INSTANTIATE_TEST_SUITE_P(Sources, KernelNotice,
                         ::testing::Values(NamespaceCase{"HostName", CLONE_NEWUTS, hostNameCase},
                                           NamespaceCase{"Address", CLONE_NEWNET, addressCase}),
                         [](const auto& source) { return std::string(source.param.name); });

TEST(TerminationRequests, ASignalBecomesReadableAndItsDefaultComesBackAfterwards) {
    {
        TerminationRequests requests;
        EXPECT_FALSE(requests.takeRequest());
        for (const int signal : {SIGTERM, SIGHUP}) {
            ASSERT_EQ(::raise(signal), 0);
            EXPECT_TRUE(signals(requests.descriptor(), POLLIN, 1000));
            EXPECT_TRUE(requests.takeRequest());
            EXPECT_FALSE(requests.takeRequest());
        }
    }
    struct sigaction now {};
    ::sigaction(SIGTERM, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
}

// Resident pages of the process.
long residentPages() {
    long size = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> size >> resident;
    return resident;
}

TEST(ReleaseIdleMemory, DropsTheMappedPagesOfFilesAndKeepsThoseWrittenBeforeTheyBecameReadOnly) {
    test::TempFolder folder;
    const std::size_t pages = 1024, pageSize = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    test::writeFile(folder.file("data"), std::string(pages * pageSize, 'f'));
    const int file = ::open(folder.file("data").c_str(), O_RDONLY);
    ASSERT_GE(file, 0);
    auto* readOnly =
        static_cast<char*>(::mmap(nullptr, pages * pageSize, PROT_READ, MAP_PRIVATE, file, 0));
    // As a library's relocations are: written while writable, then made read-only.
    auto* relocated =
        static_cast<char*>(::mmap(nullptr, pageSize, PROT_READ | PROT_WRITE, MAP_PRIVATE, file, 0));
    ::close(file);
    ASSERT_NE(readOnly, MAP_FAILED);
    ASSERT_NE(relocated, MAP_FAILED);
    relocated[0] = 'r';
    ASSERT_EQ(::mprotect(relocated, pageSize, PROT_READ), 0);
    long sum = 0;
    for (std::size_t page = 0; page < pages; ++page)
        sum += readOnly[page * pageSize];
    const long touched = residentPages();

    releaseIdleMemory();
    EXPECT_LT(residentPages(), touched - static_cast<long>(pages) * 3 / 4);
    EXPECT_EQ(relocated[0], 'r');
    EXPECT_EQ(readOnly[pageSize * 7], 'f') << sum;
    ::munmap(readOnly, pages * pageSize);
    ::munmap(relocated, pageSize);
}

TEST(InstanceLock, OneHolderAtATimeAndTheFileGoesWithIt) {
    test::TempFolder folder;
    const std::string path = folder.file("watch.lock");
    auto first = InstanceLock::take(path);
    ASSERT_TRUE(first);
    EXPECT_FALSE(InstanceLock::take(path)) << "held by the first";
    first.reset();
    EXPECT_NE(::access(path.c_str(), F_OK), 0) << "removed on release";
    EXPECT_TRUE(InstanceLock::take(path));
    EXPECT_THROW(InstanceLock::take(folder.file("missing/watch.lock")), std::exception);
}

} // namespace
} // namespace zbpg::platform

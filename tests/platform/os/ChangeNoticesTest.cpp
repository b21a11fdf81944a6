#include "platform/os/ChangeNotices.h"

#include "support/TempFolder.h"

#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

namespace zbpg::platform {
namespace {

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
    auto* readOnly =
        static_cast<char*>(::mmap(nullptr, pages * pageSize, PROT_READ, MAP_PRIVATE, file, 0));
    // As a library's relocations are: written while writable, then made read-only.
    auto* relocated =
        static_cast<char*>(::mmap(nullptr, pageSize, PROT_READ | PROT_WRITE, MAP_PRIVATE, file, 0));
    ::close(file);
    ASSERT_TRUE(readOnly != MAP_FAILED && relocated != MAP_FAILED);
    relocated[0] = 'r';
    ASSERT_EQ(::mprotect(relocated, pageSize, PROT_READ), 0);
    for (std::size_t page = 0; page < pages; ++page)
        ASSERT_EQ(readOnly[page * pageSize], 'f');
    const long touched = residentPages();

    releaseIdleMemory();
    EXPECT_LT(residentPages(), touched - static_cast<long>(pages) * 3 / 4);
    EXPECT_EQ(relocated[0], 'r');
    EXPECT_EQ(readOnly[pageSize * 7], 'f');
}

} // namespace
} // namespace zbpg::platform

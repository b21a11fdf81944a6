#include "platform/os/AtomicFile.h"

#include "support/TempFolder.h"

#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace zbpg::platform {
namespace {

namespace fs = std::filesystem;

// Every rule of a replacement holds whether or not it is synced to the disk.
class AtomicFileTest : public ::testing::TestWithParam<Durability> {};

TEST_P(AtomicFileTest, ReplacesContentAndLeavesNoTemporaryFile) {
    test::TempFolder folder;
    const auto path = folder.file("a.ini");
    ASSERT_TRUE(writeFileAtomically(path, "one", GetParam()));
    ASSERT_TRUE(writeFileAtomically(path, "two", GetParam()));
    EXPECT_EQ(test::readFile(path), "two");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1);
}

TEST_P(AtomicFileTest, KeepsPermissionsAndFollowsLinks) {
    test::TempFolder folder;
    const auto target = folder.file("target.ini");
    const auto link = folder.file("link.ini");
    ASSERT_TRUE(writeFileAtomically(target, "old", GetParam()));
    ::chmod(target.c_str(), 0600);
    fs::create_symlink(target, link);
    ASSERT_TRUE(writeFileAtomically(link, "new", GetParam(), AtLink::WriteTarget));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(test::readFile(target), "new");
    struct stat info {};
    ::stat(target.c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_P(AtomicFileTest, RefusesReadOnlyFilesAndMissingFolders) {
    test::TempFolder folder;
    const auto path = folder.file("ro.ini");
    ASSERT_TRUE(writeFileAtomically(path, "kept", GetParam()));
    ::chmod(path.c_str(), 0444);
    EXPECT_TRUE(isReadOnlyFile(path));
    EXPECT_FALSE(writeFileAtomically(path, "lost", GetParam()));
    EXPECT_EQ(test::readFile(path), "kept");
    EXPECT_FALSE(writeFileAtomically(folder.file("missing/x.ini"), "x", GetParam()));
}

TEST_P(AtomicFileTest, RemovesTheTemporaryFileAKilledWriterLeft) {
    test::TempFolder folder;
    const auto path = folder.file("a.ini");
    const auto stale = temporaryFilePrefix(path) + "Ab12Cd";
    const std::vector<std::string> kept = {temporaryFilePrefix(folder.file("b.ini")) + "Ab12Cd",
                                           path + ".backup",
                                           temporaryFilePrefix(path) + "long-one"};
    for (const auto& file : kept)
        test::writeFile(file, "not ours to remove");
    test::writeFile(stale, "half written");
    ASSERT_TRUE(writeFileAtomically(path, "whole", GetParam()));
    EXPECT_FALSE(fs::exists(stale));
    for (const auto& file : kept)
        EXPECT_TRUE(fs::exists(file)) << file;
}

// A writer that holds the folder lock sees no temporary file of another writer appear.
TEST_P(AtomicFileTest, CreatesItsTemporaryFileOnlyUnderTheFolderLock) {
    test::TempFolder folder;
    const auto path = folder.file("a.ini");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        const int fd = ::open(folder.path().c_str(), O_RDONLY | O_DIRECTORY);
        const bool locked = fd >= 0 && ::flock(fd, LOCK_EX) == 0;
        (void)!::write(ready[1], "x", 1);
        ::usleep(300'000);
        const bool empty = fs::is_empty(folder.path());
        ::_exit(locked && empty ? 0 : 1); // exiting releases the lock
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    EXPECT_TRUE(writeFileAtomically(path, "after the holder", GetParam()));
    int status = 0;
    ::waitpid(holder, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(test::readFile(path), "after the holder");
    ::close(ready[0]);
    ::close(ready[1]);
}

INSTANTIATE_TEST_SUITE_P(Durabilities, AtomicFileTest,
                         ::testing::Values(Durability::SurvivesPowerLoss,
                                           Durability::RemadeAtNextRun));

TEST(AtomicFile, MakesNestedFolders) {
    test::TempFolder folder;
    EXPECT_TRUE(makeFolders(folder.file("a/b/c")));
    EXPECT_TRUE(fs::is_directory(folder.file("a/b/c")));
    EXPECT_EQ(parentFolder("/x/y.ini"), "/x");
    EXPECT_EQ(parentFolder("/y.ini"), "/");
    EXPECT_EQ(parentFolder("y.ini"), ".");
}

} // namespace
} // namespace zbpg::platform

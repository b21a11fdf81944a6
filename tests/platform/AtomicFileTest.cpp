#include "platform/AtomicFile.h"

#include "support/TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace zbpg::platform {
namespace {

namespace fs = std::filesystem;

TEST(AtomicFile, ReplacesContentAndLeavesNoTemporaryFile) {
    test::TempFolder folder;
    const auto path = folder.file("a.ini");
    ASSERT_TRUE(writeFileAtomically(path, "one"));
    ASSERT_TRUE(writeFileAtomically(path, "two"));
    EXPECT_EQ(readWholeFile(path), "two");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1);
}

TEST(AtomicFile, KeepsPermissionsAndFollowsLinks) {
    test::TempFolder folder;
    const auto target = folder.file("target.ini");
    const auto link = folder.file("link.ini");
    ASSERT_TRUE(writeFileAtomically(target, "old"));
    ::chmod(target.c_str(), 0600);
    fs::create_symlink(target, link);
    ASSERT_TRUE(writeFileAtomically(link, "new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readWholeFile(target), "new");
    struct stat info {};
    ::stat(target.c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(AtomicFile, RefusesReadOnlyFilesAndMissingFolders) {
    test::TempFolder folder;
    const auto path = folder.file("ro.ini");
    ASSERT_TRUE(writeFileAtomically(path, "kept"));
    ::chmod(path.c_str(), 0444);
    EXPECT_TRUE(isReadOnlyFile(path));
    EXPECT_FALSE(writeFileAtomically(path, "lost"));
    EXPECT_EQ(readWholeFile(path), "kept");
    EXPECT_FALSE(writeFileAtomically(folder.file("missing/x.ini"), "x"));
}

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

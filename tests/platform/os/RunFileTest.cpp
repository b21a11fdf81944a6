#include "platform/os/RunFile.h"

#include "support/TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace zbpg::platform {
namespace {

namespace fs = std::filesystem;

TEST(RunFile, EachRunHasAFileOfItsOwnThatGoesWithIt) {
    test::TempFolder folder;
    const std::string namedAfter = folder.file("Picture.bmp");
    std::optional<RunFile> first(namedAfter);
    const RunFile second(namedAfter);
    ASSERT_TRUE(first->isOpen() && second.isOpen());
    EXPECT_NE(first->path(), second.path());
    ASSERT_TRUE(first->append("first"));
    EXPECT_EQ(test::readFile(first->path()), "first");
    const std::string gone = first->path();
    first.reset();
    EXPECT_FALSE(fs::exists(gone));
    EXPECT_TRUE(fs::exists(second.path()));
    EXPECT_FALSE(RunFile(folder.file("missing/Picture.bmp")).isOpen());
}

// What killed runs left goes, a live run's file and what merely looks alike stay.
TEST(RunFile, OnlyWhatKilledRunsLeftIsRemoved) {
    test::TempFolder folder;
    const std::string namedAfter = folder.file("Picture.bmp");
    const RunFile live(namedAfter);
    const std::vector<std::string> left = {namedAfter, folder.file("Picture-999999-1.bmp"),
                                           folder.file("Picture-7.bmp")};
    const std::vector<std::string> kept = {
        folder.file("Picture-a.bmp"), folder.file("Picture.bmp.bak"), folder.file("Other-1.bmp")};
    for (const auto& file : left)
        test::writeFile(file, "left");
    for (const auto& file : kept)
        test::writeFile(file, "kept");
    fs::create_symlink(folder.file("Other-1.bmp"), folder.file("Picture-8.bmp"));
    fs::create_directory(folder.file("Picture-9.bmp"));

    RunFile::removeLeftovers(namedAfter);
    for (const auto& file : left)
        EXPECT_FALSE(fs::exists(file)) << file;
    EXPECT_FALSE(fs::is_symlink(folder.file("Picture-8.bmp")));
    for (const auto& file : kept)
        EXPECT_EQ(test::readFile(file), "kept") << file;
    EXPECT_TRUE(fs::is_directory(folder.file("Picture-9.bmp")));
    EXPECT_TRUE(fs::exists(live.path()));
}

} // namespace
} // namespace zbpg::platform

// The program as `cmake --install` lays it out under /usr, in a folder of the test's own
// (DESTDIR): every file a desktop program needs in its place, each accepted by the checkers
// the desktops' own rules come with, and one version number throughout.

#include "common/ProgramFiles.h"
#include "support/Commands.h"
#include "support/ParamNames.h"
#include "support/TestEnvironment.h"
#include "text/Texts.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace zbpg {
namespace {

namespace fs = std::filesystem;

const std::string kId = texts::kApplicationId;
// The documentation's folder below the prefix, as the build was configured (a package names it
// after itself).
const std::string kDocFolder = ZBPG_DOCDIR;

// The installation is made once for the whole program: it copies the built files, nothing more.
class Installation final : public ::testing::Environment {
public:
    void SetUp() override {
        const auto install = test::runCommand("DESTDIR='" + folder().path() +
                                                  "' '" CMAKE_COMMAND "' --install '" ZBPG_BUILD
                                                  "' --prefix /usr 2>&1",
                                              120);
        ASSERT_EQ(install.status, 0) << install.output;
    }

    // Where a file of the installation is, "bin/ZorbelPaneglyph" being <DESTDIR>/usr/bin/….
    static std::string usr(const std::string& path) { return folder().file("usr/" + path); }

private:
    static const test::TempFolder& folder() {
        static const test::TempFolder destdir;
        return destdir;
    }
};

std::string usr(const std::string& path) {
    return Installation::usr(path);
}

// The size a PNG file says it has (its header's width and height), 0 for anything else.
std::pair<int, int> pngSize(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    unsigned char header[24] = {};
    if (!file.read(reinterpret_cast<char*>(header), sizeof header) ||
        std::string(reinterpret_cast<char*>(header + 1), 3) != "PNG")
        return {0, 0};
    const auto number = [&](int at) {
        return (header[at] << 24) | (header[at + 1] << 16) | (header[at + 2] << 8) | header[at + 3];
    };
    return {number(16), number(20)};
}

class InstalledFile : public ::testing::TestWithParam<std::string> {};

TEST_P(InstalledFile, IsInItsPlace) {
    EXPECT_TRUE(fs::is_regular_file(usr(GetParam()))) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Layout, InstalledFile,
                         ::testing::Values("bin/ZorbelPaneglyph",
                                           "share/ZorbelPaneglyph/help/index.html",
                                           "share/applications/" + kId + ".desktop",
                                           "share/icons/hicolor/scalable/apps/" + kId + ".svg",
                                           "share/metainfo/" + kId + ".metainfo.xml",
                                           "share/man/man1/ZorbelPaneglyph.1",
                                           kDocFolder + "/examples/ZorbelPaneglyph.desktop"),
                         [](const auto& path) { return test::nameOf(path.param); });

class InstalledIcon : public ::testing::TestWithParam<int> {};

TEST_P(InstalledIcon, IsAPngOfItsSizeInTheHicolorTheme) {
    const int size = GetParam();
    const std::string folder = std::to_string(size) + "x" + std::to_string(size);
    EXPECT_EQ(pngSize(usr("share/icons/hicolor/" + folder + "/apps/" + kId + ".png")),
              std::make_pair(size, size));
}

INSTANTIATE_TEST_SUITE_P(Sizes, InstalledIcon, ::testing::Values(16, 24, 32, 48, 64, 128, 256));

TEST(InstalledProgram, FindsItsHelpPagesInTheSharedDataFolder) {
    EXPECT_TRUE(fs::is_regular_file(helpFilePathFor(usr("bin/ZorbelPaneglyph"))));
}

// Each checker must answer without a single remark, its output given when it does not. "{}"
// stands for the installed file.
class CheckedFile : public ::testing::TestWithParam<std::array<std::string, 2>> {};

TEST_P(CheckedFile, PassesWithoutARemark) {
    const auto& [checker, path] = GetParam();
    std::string command = checker;
    command.replace(command.find("{}"), 2, "'" + usr(path) + "'");
    const auto check = test::runCommand(command, 60);
    EXPECT_EQ(check.status, 0) << check.output;
    EXPECT_EQ(check.output, "") << command;
}

INSTANTIATE_TEST_SUITE_P(
    Checkers, CheckedFile,
    ::testing::Values(
        std::array<std::string, 2>{"desktop-file-validate {} 2>&1",
                                   "share/applications/" + kId + ".desktop"},
        std::array<std::string, 2>{"desktop-file-validate {} 2>&1",
                                   kDocFolder + "/examples/ZorbelPaneglyph.desktop"},
        // The warnings go to standard error, the formatted page is not wanted.
        std::array<std::string, 2>{
            "LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l {} 2>&1 >/dev/null",
            "share/man/man1/ZorbelPaneglyph.1"}),
    [](const auto& check) { return test::nameOf(check.param[1]); });

// The metadata together with what it names (the desktop entry it launches), pedantic remarks
// included.
TEST(InstalledMetadata, PassesAppstreamValidationOfTheTree) {
    const auto check = test::runCommand(
        "appstreamcli validate-tree --no-net --pedantic --no-color '" + usr("..") + "' 2>&1", 60);
    EXPECT_EQ(check.status, 0) << check.output;
    EXPECT_EQ(check.output.find(": "), std::string::npos) << check.output;
}

TEST(InstalledMetadata, TheMenuEntryShowsTheIconOfItsOwnName) {
    EXPECT_NE(
        test::readFile(usr("share/applications/" + kId + ".desktop")).find("\nIcon=" + kId + "\n"),
        std::string::npos);
}

// --version, the metadata, the manual page and the package all carry the project's version.
TEST(InstalledProgram, CarriesTheOneVersionNumberEverywhere) {
    EXPECT_EQ(test::runCommand("'" + usr("bin/ZorbelPaneglyph") + "' --version", 30).output,
              "ZorbelPaneglyph " ZBPG_VERSION "\n");
    EXPECT_NE(test::readFile(usr("share/metainfo/" + kId + ".metainfo.xml"))
                  .find("<release version=\"" ZBPG_VERSION "\""),
              std::string::npos);
    const std::string page = test::readFile(usr("share/man/man1/ZorbelPaneglyph.1"));
    EXPECT_NE(page.find("\"ZorbelPaneglyph " ZBPG_VERSION "\""), std::string::npos);
    EXPECT_EQ(page.find('@'), std::string::npos) << "every placeholder is filled in";
    const std::string changelog = test::readFile(ZBPG_SOURCE "/debian/changelog");
    EXPECT_EQ(changelog.substr(0, changelog.find(')') + 1), "zorbelpaneglyph (" ZBPG_VERSION ")");
}

} // namespace
} // namespace zbpg

int main(int argc, char** argv) {
    zbpg::test::TestEnvironment environment;
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new zbpg::Installation); // gtest owns it
    return RUN_ALL_TESTS();
}

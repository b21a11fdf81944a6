// The program as `cmake --install` lays it out under /usr, in a folder of the test's own
// (DESTDIR): every file a desktop program needs in its place, each accepted by the checkers of
// the desktops' rules, one name and one version number throughout.

#include "common/ProgramFiles.h"
#include "support/Commands.h"
#include "support/TestEnvironment.h"
#include "text/Texts.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <vector>

namespace zbpg {
namespace {

namespace fs = std::filesystem;

const std::string kId = texts::kApplicationId;
const std::string kEntry = "share/applications/" + kId + ".desktop";
const std::string kMetadata = "share/metainfo/" + kId + ".metainfo.xml";
const std::string kPage = "share/man/man1/ZorbelPaneglyph.1";
// In the documentation folder the build was configured with (a package names it after itself).
const std::string kAutostartExample = ZBPG_DOCDIR "/examples/ZorbelPaneglyph.desktop";

const test::TempFolder& destdir() {
    static const test::TempFolder folder;
    return folder;
}

// A file of the installation: usr("bin/ZorbelPaneglyph") is <DESTDIR>/usr/bin/ZorbelPaneglyph.
std::string usr(const std::string& path) {
    return destdir().file("usr/" + path);
}

// Made once for the whole program: the installation copies the built files, nothing more.
class Installation final : public ::testing::Environment {
    void SetUp() override {
        const auto install = test::runCommand("DESTDIR='" + destdir().path() +
                                                  "' '" CMAKE_COMMAND "' --install '" ZBPG_BUILD
                                                  "' --prefix /usr 2>&1",
                                              120);
        ASSERT_EQ(install.status, 0) << install.output;
    }
};

// A PNG file's header chunk for a square picture of that size.
std::string pngHeaderOfSize(int size) {
    std::string header = "IHDR";
    for (int dimension = 0; dimension < 2; ++dimension)
        for (const int shift : {24, 16, 8, 0})
            header += static_cast<char>((size >> shift) & 0xFF);
    return header;
}

TEST(InstalledProgram, HasEveryFileInItsPlace) {
    for (const std::string& path : std::vector<std::string>{
             "bin/ZorbelPaneglyph", "share/ZorbelPaneglyph/help/index.html", kEntry, kMetadata,
             kPage, kAutostartExample, "share/icons/hicolor/scalable/apps/" + kId + ".svg"})
        EXPECT_TRUE(fs::is_regular_file(usr(path))) << path;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        const std::string png =
            test::readFile(usr("share/icons/hicolor/" + folder + "/apps/" + kId + ".png"));
        EXPECT_EQ(png.substr(std::min<std::size_t>(png.size(), 12), 12), pngHeaderOfSize(size))
            << folder;
    }
    // The "?" button of the installed program finds them.
    EXPECT_TRUE(fs::is_regular_file(helpFilePathFor(usr("bin/ZorbelPaneglyph"))));
}

TEST(InstalledProgram, PassesTheDesktopsCheckersWithoutARemark) {
    const std::string checks[] = {
        "desktop-file-validate '" + usr(kEntry) + "' 2>&1",
        "desktop-file-validate '" + usr(kAutostartExample) + "' 2>&1",
        // The metadata with the menu entry it names, pedantic remarks included.
        "appstreamcli validate-tree --no-net --pedantic --no-color '" + destdir().path() + "' 2>&1",
        // man's warnings go to standard error; the page itself is not wanted.
        "LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l '" + usr(kPage) +
            "' 2>&1 >/dev/null"};
    for (const std::string& check : checks) {
        const auto run = test::runCommand(check, 60);
        EXPECT_EQ(run.status, 0) << check << "\n" << run.output;
        // Every remark reads "<where>: <what>".
        EXPECT_EQ(run.output.find(": "), std::string::npos) << check << "\n" << run.output;
    }
}

TEST(InstalledProgram, CarriesOneNameAndOneVersionNumber) {
    EXPECT_NE(test::readFile(usr(kEntry)).find("\nIcon=" + kId + "\n"), std::string::npos);
    EXPECT_EQ(test::runCommand("'" + usr("bin/ZorbelPaneglyph") + "' --version", 30).output,
              "ZorbelPaneglyph " ZBPG_VERSION "\n");
    EXPECT_NE(test::readFile(usr(kMetadata)).find("<release version=\"" ZBPG_VERSION "\""),
              std::string::npos);
    const std::string page = test::readFile(usr(kPage));
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

#include "platform/store/ProfileFile.h"

#include "support/TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zbpg::platform {
namespace {

using test::readFile;
using test::writeFile;

class ProfileFileTest : public ::testing::Test {
protected:
    test::TempFolder folder;
    std::string path = folder.file("ZorbelPaneglyph.ini");
    ProfileFile ini{path};

    void write(const std::string& section, const std::string& key, const std::string& value) {
        ASSERT_TRUE(ini.write(section, key, value));
    }
};

TEST_F(ProfileFileTest, MissingFileSectionOrKeyGivesTheDefaultAndCreatesNothing) {
    EXPECT_EQ(ini.read("System", "Left", "0"), "0");
    EXPECT_FALSE(std::filesystem::exists(path));
    write("System", "Left", "5");
    EXPECT_EQ(ini.read("Other", "Left", "d"), "d");
    EXPECT_EQ(ini.read("System", "Top", "d"), "d");
}

TEST_F(ProfileFileTest, WritesSectionsAndKeysInWindowsLayout) {
    write("System", "Left", "0");
    write("System", "Top", "0");
    write("Application", "DrawTypeOverwrite", "1");
    write("System", "Left", "12");
    EXPECT_EQ(readFile(path), "[System]\r\nLeft=12\r\nTop=0\r\n"
                              "[Application]\r\nDrawTypeOverwrite=1\r\n");
}

TEST_F(ProfileFileTest, MatchesSectionsAndKeysWithoutRegardToCase) {
    write("System", "Left", "3");
    write("SYSTEM", "LEFT", "4");
    EXPECT_EQ(ini.read("system", "left", ""), "4");
    EXPECT_EQ(readFile(path), "[System]\r\nLeft=4\r\n");
}

TEST_F(ProfileFileTest, LeavesForeignLinesByteForByte) {
    const std::string original = "; written by hand\n[Keep]\nodd line without equals\n"
                                 "x = \"quoted\" \n\n[System]\nLeft=1\n\n[Tail]\nz=9";
    writeFile(path, original);
    EXPECT_EQ(ini.read("Keep", "x", ""), "quoted");
    write("System", "Top", "2"); // added after the section's last line, before the blank
    write("Tail", "Left", "7");  // the old last line gains its line end
    EXPECT_EQ(readFile(path),
              "; written by hand\n[Keep]\nodd line without equals\n"
              "x = \"quoted\" \n\n[System]\nLeft=1\nTop=2\n\n[Tail]\nz=9\nLeft=7\n");
}

TEST_F(ProfileFileTest, DeleteRemovesTheKeyLine) {
    write("S", "a", "1");
    write("S", "b", "2");
    ASSERT_TRUE(ini.remove("S", "A"));
    EXPECT_EQ(readFile(path), "[S]\r\nb=2\r\n");
    EXPECT_EQ(ini.read("S", "a", "gone"), "gone");
}

TEST_F(ProfileFileTest, EveryWrittenTextReadsBackUnchanged) {
    const std::string values[] = {"",
                                  "  two leading",
                                  "trailing  ",
                                  "\"quoted\"",
                                  "'single'",
                                  "a=b=c",
                                  "x ; not a comment",
                                  "\"",
                                  "\t tab",
                                  "ログインユーザ名：",
                                  "\\\\server\\share"};
    int i = 0;
    for (const auto& value : values)
        write("Values", "k" + std::to_string(i++), value);
    i = 0;
    for (const auto& value : values)
        EXPECT_EQ(ini.read("Values", "k" + std::to_string(i++), "?"), value);
}

TEST_F(ProfileFileTest, ALineBreakCannotInjectKeys) {
    write("S", "Label", "a\n[System]\nLeft=99");
    EXPECT_EQ(ini.read("S", "Label", ""), "a [System] Left=99");
    EXPECT_EQ(ini.read("System", "Left", "none"), "none");
}

TEST_F(ProfileFileTest, ReadsAreCutTo2047BytesOfTheCp932Form) {
    const std::string ascii(3000, 'a');
    write("S", "ascii", ascii);
    EXPECT_EQ(ini.read("S", "ascii", ""), std::string(2047, 'a'));
    std::string kanji;
    for (int i = 0; i < 1100; ++i)
        kanji += "画"; // two CP932 bytes each: the cut keeps 1023 whole characters
    write("S", "kanji", kanji);
    EXPECT_EQ(ini.read("S", "kanji", "").size(), 1023u * 3);
    EXPECT_EQ(ini.read("S", "missing", ascii).size(), 2047u);
}

TEST_F(ProfileFileTest, StoresCp932AndSwitchesToUtf8OnlyWhileNeeded) {
    write("S", "Label", "画面");
    EXPECT_EQ(readFile(path), "[S]\r\nLabel=\x89\xE6\x96\xCA\r\n");
    write("S", "Folder", "/home/zoë/Bilder");
    EXPECT_EQ(readFile(path), "\xEF\xBB\xBF[S]\r\nLabel=画面\r\nFolder=/home/zoë/Bilder\r\n");
    EXPECT_EQ(ini.read("S", "Folder", ""), "/home/zoë/Bilder");
    EXPECT_EQ(ini.read("S", "Label", ""), "画面");
    write("S", "Folder", "/home/zoe");
    EXPECT_EQ(readFile(path), "[S]\r\nLabel=\x89\xE6\x96\xCA\r\nFolder=/home/zoe\r\n");
}

TEST_F(ProfileFileTest, AFileWithoutMarkIsCp932EvenWhereItsBytesAreValidUtf8) {
    writeFile(path, "[S]\nName=\xC3\xBD\n"); // "ﾃｽ" in CP932, "ý" if it were UTF-8
    EXPECT_EQ(ini.read("S", "Name", ""), "ﾃｽ");
    write("S", "Other", "画面");
    EXPECT_EQ(readFile(path), "[S]\nName=\xC3\xBD\nOther=\x89\xE6\x96\xCA\n");
}

TEST_F(ProfileFileTest, ASessionWritesManyKeysAtOnceAndOnlyWhenChanged) {
    auto session = ini.openForUpdate();
    session.write("S", "a", "1");
    EXPECT_EQ(session.read("S", "a", ""), "1");
    EXPECT_FALSE(std::filesystem::exists(path)); // nothing before the commit
    session.write("S", "b", "2");
    ASSERT_TRUE(session.commit());
    EXPECT_EQ(readFile(path), "[S]\r\na=1\r\nb=2\r\n");
    session.remove("S", "a");
    ASSERT_TRUE(session.commit());
    EXPECT_EQ(readFile(path), "[S]\r\nb=2\r\n");

    std::filesystem::remove(path);
    auto unchanged = ini.openForUpdate();
    unchanged.remove("S", "b");
    ASSERT_TRUE(unchanged.commit());
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(ProfileFileTest, AFailedWriteLeavesTheOldFileAndTheSessionItsChanges) {
    write("S", "a", "1");
    ::chmod(path.c_str(), 0444);
    EXPECT_FALSE(ini.write("S", "a", "2"));
    EXPECT_EQ(readFile(path), "[S]\r\na=1\r\n");
    auto session = ini.openForUpdate();
    session.write("S", "b", "2");
    EXPECT_FALSE(session.commit());
    EXPECT_EQ(session.read("S", "b", ""), "2");
    ::chmod(path.c_str(), 0644);
    session.write("S", "a", "3");
    ASSERT_TRUE(session.commit());
    EXPECT_EQ(readFile(path), "[S]\r\na=3\r\nb=2\r\n");
    writeFile(folder.file("plain"), "a file, not a folder");
    EXPECT_FALSE(ProfileFile(folder.file("plain/x.ini")).write("S", "a", "1"));
}

TEST_F(ProfileFileTest, ConcurrentWritersKeepEachOthersKeys) {
    constexpr int kKeys = 150;
    std::vector<pid_t> children;
    for (int writer = 0; writer < 2; ++writer) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            bool ok = true;
            for (int k = 0; k < kKeys; ++k)
                ok = ini.write("S", "w" + std::to_string(writer) + "_" + std::to_string(k), "v") &&
                     ok;
            ::_exit(ok ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    auto session = ini.openForRead();
    for (int writer = 0; writer < 2; ++writer)
        for (int k = 0; k < kKeys; ++k)
            EXPECT_TRUE(
                session.contains("S", "w" + std::to_string(writer) + "_" + std::to_string(k)));
}

} // namespace
} // namespace zbpg::platform

#include "platform/store/Registry.h"

#include "support/TempFolder.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace zbpg::platform;
using zbpg::test::readFile;
using zbpg::test::TempFolder;
using zbpg::test::writeFile;

namespace {

constexpr const char* kKey = "Software\\Test";

TEST(RegistryTest, EveryValueTypeRoundTripsThroughTheFile) {
    TempFolder folder;
    const Registry registry(folder.file("user.reg"));
    const std::vector<std::pair<std::string, RegValue>> values = {
        {"Empty", RegValue::string("")},
        {"Quotes", RegValue::string(R"(say "hi" \ C:\dir\ \\server\)")},
        {"Lines", RegValue::string(std::string("one\r\ntwo\nthree\0four", 20))},
        {"Japanese", RegValue::string("日本語のテキスト 😀")},
        {"Expand", RegValue::expandString("%HOME%\\改行\n")},
        {"EmptyExpand", RegValue::expandString("")},
        {"Bytes", RegValue::binary({0x00, 0x01, 0x7f, 0xff})},
        {"NoBytes", RegValue::binary({})},
        {"Zero", RegValue::number(0)},
        {"Max", RegValue::number(0xFFFFFFFF)},
        {"", RegValue::string("default")},
    };
    RegistrySession session = registry.openForUpdate();
    for (const auto& [name, value] : values)
        session.writeValue(kKey, name, value);
    ASSERT_TRUE(session.commit());

    const RegistrySession reread = registry.openForRead();
    std::vector<std::string> expectedNames;
    for (const auto& [name, value] : values) {
        EXPECT_EQ(reread.readValue(kKey, name), value) << "value " << name;
        expectedNames.push_back(name);
    }
    EXPECT_EQ(reread.valueNames(kKey), expectedNames);
}

TEST(RegistryTest, WritesTheExportTextFormat) {
    TempFolder folder;
    const Registry registry(folder.file("user.reg"));
    RegistrySession session = registry.openForUpdate();
    session.writeValue("Control Panel\\Desktop", "", RegValue::string("a\"b\\c"));
    session.writeValue("Control Panel\\Desktop", "Count", RegValue::number(42));
    session.writeValue("Control Panel\\Desktop", "Data", RegValue::binary({1, 2, 0xff}));
    session.writeValue("Control Panel\\Desktop", "None", RegValue::binary({}));
    session.writeValue("Control Panel\\Desktop", "Path", RegValue::expandString("%A%"));
    session.writeValue("Control Panel\\Desktop", "Lines", RegValue::string("a\n"));
    ASSERT_TRUE(session.commit());
    EXPECT_EQ(readFile(registry.filePath()), "Windows Registry Editor Version 5.00\n"
                                             "\n"
                                             "[HKEY_CURRENT_USER\\Control Panel]\n"
                                             "\n"
                                             "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"
                                             "@=\"a\\\"b\\\\c\"\n"
                                             "\"Count\"=dword:0000002a\n"
                                             "\"Data\"=hex:01,02,ff\n"
                                             "\"None\"=hex:\n"
                                             "\"Path\"=hex(2):25,00,41,00,25,00,00,00\n"
                                             "\"Lines\"=hex(1):61,00,0a,00,00,00\n"
                                             "\n");
}

TEST(RegistryTest, KeysAndNamesIgnoreCaseAndKeepTheirFirstSpelling) {
    TempFolder folder;
    const Registry registry(folder.file("user.reg"));
    ASSERT_TRUE(registry.writeValue("Software\\MyApp", "Width", RegValue::number(1)));
    ASSERT_TRUE(registry.writeValue("Software\\MyApp", "Height", RegValue::number(2)));
    ASSERT_TRUE(registry.writeValue("SOFTWARE\\myapp", "WIDTH", RegValue::number(3)));

    const RegistrySession session = registry.openForRead();
    EXPECT_TRUE(session.keyExists("software\\MYAPP"));
    EXPECT_EQ(session.readValue("software\\myapp", "width"), RegValue::number(3));
    EXPECT_EQ(session.valueNames("Software\\MyApp"),
              (std::vector<std::string>{"Width", "Height"})); // rewriting kept the place
    const std::string text = readFile(registry.filePath());
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\MyApp]\n\"Width\"=dword:00000003\n"),
              std::string::npos);
    EXPECT_EQ(text.find("SOFTWARE"), std::string::npos);
}

TEST(RegistryTest, CreateKeyAddsMissingAncestorsAndNormalisesThePath) {
    TempFolder folder;
    const Registry registry(folder.file("user.reg"));
    RegistrySession session = registry.openForUpdate();
    session.createKey("\\A\\\\B\\C\\");
    EXPECT_TRUE(session.keyExists("A"));
    EXPECT_TRUE(session.keyExists("a\\b"));
    EXPECT_TRUE(session.keyExists("\\A\\B\\C"));
    EXPECT_TRUE(session.keyExists(""));
    EXPECT_FALSE(session.keyExists("A\\X"));
    EXPECT_TRUE(session.valueNames("A\\X").empty());
    EXPECT_EQ(session.readValue("A\\X", "Name"), std::nullopt);
    ASSERT_TRUE(session.commit());
    EXPECT_EQ(readFile(registry.filePath()),
              "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\A]\n\n"
              "[HKEY_CURRENT_USER\\A\\B]\n\n[HKEY_CURRENT_USER\\A\\B\\C]\n\n");
}

TEST(RegistryTest, DeleteValueReportsWhetherItExistedAndCanBeCommittedAgain) {
    TempFolder folder;
    const Registry registry(folder.file("user.reg"));
    RegistrySession session = registry.openForUpdate();
    session.writeValue(kKey, "Gone", RegValue::string("x"));
    session.writeValue(kKey, "Kept", RegValue::string("y"));
    ASSERT_TRUE(session.commit());
    EXPECT_TRUE(session.deleteValue(kKey, "GONE"));
    EXPECT_FALSE(session.deleteValue(kKey, "Gone"));
    EXPECT_FALSE(session.deleteValue("Missing\\Key", "Gone"));
    ASSERT_TRUE(session.commit());

    const RegistrySession reread = registry.openForRead();
    EXPECT_EQ(reread.valueNames(kKey), std::vector<std::string>{"Kept"});
}

TEST(RegistryTest, CommitWritesNothingWithoutChanges) {
    TempFolder folder;
    const Registry missing(folder.file("sub/user.reg"));
    RegistrySession empty = missing.openForUpdate();
    EXPECT_FALSE(empty.deleteValue(kKey, "Name"));
    empty.createKey("");
    EXPECT_TRUE(empty.commit());
    EXPECT_EQ(readFile(missing.filePath()), "");

    const std::string handWritten =
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\Test]\r\n\"N\"=dword:00000007\r\n";
    const Registry existing(folder.file("user.reg"));
    writeFile(existing.filePath(), handWritten);
    RegistrySession session = existing.openForUpdate();
    session.createKey("software");
    session.writeValue(kKey, "n", RegValue::number(7));
    EXPECT_TRUE(session.commit());
    EXPECT_EQ(readFile(existing.filePath()), handWritten);
}

TEST(RegistryTest, ReadsHandWrittenFilesWithBomCrlfAndContinuations) {
    TempFolder folder;
    const Registry registry(folder.file("user.reg"));
    writeFile(registry.filePath(),
              "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Test]\r\n\"Other\"=\"no\"\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software\\Test]\r\n"
              "\"Bin\"=hex:01,02,\\\r\n  03,FF\r\n"
              "\"Text\"=hex(1):68,00,69,\\\r\n  00,00,00\r\n"
              "this line means nothing\r\n"
              "\"Num\"=dword:DEADBEEF\r\n"
              "\"Plain\"=\"C:\\\\x\"\r\n");
    const RegistrySession session = registry.openForRead();
    EXPECT_TRUE(session.keyExists("Software"));
    EXPECT_EQ(session.readValue(kKey, "Bin"), RegValue::binary({1, 2, 3, 0xff}));
    EXPECT_EQ(session.readValue(kKey, "Text"), RegValue::string("hi"));
    EXPECT_EQ(session.readValue(kKey, "Num"), RegValue::number(0xDEADBEEF));
    EXPECT_EQ(session.readValue(kKey, "Plain"), RegValue::string("C:\\x"));
    EXPECT_EQ(session.readValue(kKey, "Other"), std::nullopt);
    EXPECT_EQ(session.valueNames(kKey), (std::vector<std::string>{"Bin", "Text", "Num", "Plain"}));
}

TEST(RegistryTest, KeepsEveryLineItDoesNotChangeAndNeverReadsOtherRoots) {
    TempFolder folder;
    const Registry registry(folder.file("user.reg"));
    const std::string head = "Windows Registry Editor Version 5.00\r\n\r\n"
                             "; written by hand\r\n"
                             "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n";
    const std::string wallpaper = "\"Wallpaper\"=\"/clean.bmp\"\r\n";
    const std::string multi = "\"Multi\"=hex(7):61,00,00,00,\\\r\n  00,00\r\n";
    const std::string rest = "\"Qword\"=hex(b):01,00,00,00,00,00,00,00\r\n"
                             "this line means nothing\r\n"
                             "\r\n"
                             "[HKEY_LOCAL_MACHINE\\Control Panel\\Desktop]\r\n"
                             "\"Wallpaper\"=\"/machine.bmp\"\r\n"
                             "\"TileWallpaper\"=\"1\"\r\n"
                             "\r\n"
                             "[-HKEY_CURRENT_USER\\Removed]\r\n"
                             "\"X\"=\"y\"";
    writeFile(registry.filePath(), head + wallpaper + multi + rest);

    RegistrySession session = registry.openForUpdate();
    EXPECT_EQ(session.readValue("Control Panel\\Desktop", "Wallpaper"),
              RegValue::string("/clean.bmp"));
    EXPECT_EQ(session.readValue("Control Panel\\Desktop", "TileWallpaper"), std::nullopt);
    EXPECT_EQ(session.readValue("Control Panel\\Desktop", "Multi"), std::nullopt);
    EXPECT_FALSE(session.keyExists("Removed"));
    session.writeValue("Control Panel\\Desktop", "wallpaper", RegValue::string("/new.bmp"));
    session.writeValue("Control Panel\\Desktop", "TileWallpaper", RegValue::string("0"));
    session.writeValue("Removed", "X", RegValue::string("z"));
    ASSERT_TRUE(session.commit());
    const std::string changed = head + "\"Wallpaper\"=\"/new.bmp\"\r\n" + multi +
                                "\"Qword\"=hex(b):01,00,00,00,00,00,00,00\r\n"
                                "this line means nothing\r\n"
                                "\"TileWallpaper\"=\"0\"\r\n" +
                                rest.substr(rest.find("\r\n[HKEY_LOCAL")) +
                                "\r\n\r\n[HKEY_CURRENT_USER\\Removed]\r\n\"X\"=\"z\"\r\n\r\n";
    EXPECT_EQ(readFile(registry.filePath()), changed);

    ASSERT_TRUE(session.deleteValue("Control Panel\\Desktop", "MULTI"));
    ASSERT_TRUE(session.commit());
    EXPECT_EQ(readFile(registry.filePath()),
              head + "\"Wallpaper\"=\"/new.bmp\"\r\n" + changed.substr(changed.find("\"Qword")));
}

TEST(RegistryTest, AFileWithoutMarkIsCp932EvenWhereItsBytesAreValidUtf8) {
    TempFolder folder;
    const Registry registry(folder.file("user.reg"));
    const std::string handWritten = "Windows Registry Editor Version 5.00\r\n\r\n"
                                    "[HKEY_CURRENT_USER\\Software\\Test]\r\n"
                                    "\"Name\"=\"\xC3\xBD\"\r\n"; // "ﾃｽ" in CP932, "ý" in UTF-8
    writeFile(registry.filePath(), handWritten);
    EXPECT_EQ(registry.readValue(kKey, "Name"), RegValue::string("ﾃｽ"));
    ASSERT_TRUE(registry.writeValue(kKey, "Other", RegValue::string("画面")));
    EXPECT_EQ(readFile(registry.filePath()), handWritten + "\"Other\"=\"\x89\xE6\x96\xCA\"\r\n");
    ASSERT_TRUE(registry.writeValue(kKey, "Other", RegValue::string("zoë")));
    EXPECT_EQ(readFile(registry.filePath()), "\xEF\xBB\xBF" +
                                                 handWritten.substr(0, handWritten.find("\xC3")) +
                                                 "ﾃｽ\"\r\n\"Other\"=\"zoë\"\r\n");
}

TEST(RegistryTest, AReadSessionWritesOnlyOverTheFileItRead) {
    TempFolder folder;
    const Registry registry(folder.file("user.reg"));
    RegistrySession untouched = registry.openForRead();
    untouched.createKey("Mine");
    ASSERT_TRUE(untouched.commit());
    EXPECT_TRUE(registry.openForRead().keyExists("Mine"));

    RegistrySession overtaken = registry.openForRead();
    overtaken.createKey("Late");
    ASSERT_TRUE(registry.writeValue(kKey, "Other", RegValue::number(1)));
    EXPECT_FALSE(overtaken.commit());
    EXPECT_EQ(registry.readValue(kKey, "Other"), RegValue::number(1));
}

TEST(RegistryTest, AKeyDeeperThanAKeyCanNestIsNotRead) {
    TempFolder folder;
    const Registry registry(folder.file("user.reg"));
    std::string deepest = "A";
    for (int depth = 1; depth < 512; ++depth)
        deepest += "\\A";
    std::string tooDeep = deepest;
    for (int depth = 512; depth < 200000; ++depth)
        tooDeep += "\\A";
    const std::string handWritten = "[HKEY_CURRENT_USER\\" + deepest + "]\n\"N\"=dword:00000001\n" +
                                    "[HKEY_CURRENT_USER\\" + tooDeep + "]\n\"N\"=dword:00000002\n";
    writeFile(registry.filePath(), handWritten);
    RegistrySession session = registry.openForUpdate();
    EXPECT_EQ(session.readValue(deepest, "N"), RegValue::number(1));
    EXPECT_FALSE(session.keyExists(deepest + "\\A"));
    EXPECT_EQ(session.readValue(tooDeep, "N"), std::nullopt);
    session.writeValue(deepest + "\\A", "N", RegValue::number(3));
    session.writeValue(deepest, "N", RegValue::number(4));
    ASSERT_TRUE(session.commit());
    EXPECT_EQ(readFile(registry.filePath()), "[HKEY_CURRENT_USER\\" + deepest +
                                                 "]\n\"N\"=dword:00000004\n" +
                                                 handWritten.substr(handWritten.find("[", 1)));
}

TEST(RegistryTest, RefusesWhatCannotBeStored) {
    TempFolder folder;
    writeFile(folder.file("plain"), "a file, not a folder");
    EXPECT_FALSE(
        Registry(folder.file("plain/user.reg")).writeValue(kKey, "N", RegValue::number(1)));

    const Registry registry(folder.file("user.reg"));
    EXPECT_FALSE(registry.writeValue(kKey, "two\nlines", RegValue::number(1)));
    EXPECT_EQ(readFile(registry.filePath()), "");
}

TEST(RegistryTest, CurrentUserLivesInTheConfigFolder) {
    const Registry registry = Registry::currentUser();
    const std::string configHome = std::getenv("XDG_CONFIG_HOME");
    EXPECT_EQ(registry.filePath().rfind(configHome + "/", 0), 0u);
    EXPECT_TRUE(registry.filePath().ends_with("/HKEY_CURRENT_USER.reg"));
    ASSERT_TRUE(registry.writeValue("Control Panel\\Desktop", "Wallpaper", RegValue::string("")));
    EXPECT_EQ(Registry::currentUser().readValue("control panel\\desktop", "wallpaper"),
              RegValue::string(""));
}

} // namespace

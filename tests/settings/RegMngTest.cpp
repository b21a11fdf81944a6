#include "base/Error.h"
#include "settings/SettingsFixture.h"

#include <filesystem>
#include <sys/stat.h>

namespace zbpg {
namespace {

using test::writeFile;

class RegMngTest : public test::SettingsFixture {
protected:
    RegMngTest() {
        addItem("SIUserLeft", "SystemInfo", "810");
        addItem("SIUserDraw", "SystemInfo", "True");
        addItem("SIUserLabel", "SystemInfo", "ログインユーザ名：");
        addItem("FMInput", "FreeMessage");
        addItem("MFFont", "MonitorFrame");
        addItem("WPPaintIdx", "Wallpaper", "-1");
    }

    static FontDescription shippedFont() {
        return FontDescription{"ＭＳ ゴシック", -11, kColorWhite, kFontBold, kShiftJisCharset};
    }
};

TEST_F(RegMngTest, WithoutAFileEveryReadGivesItsDefault) {
    EXPECT_EQ(manager.ItemFiler("SIUserLabel").ReadString(), "ログインユーザ名：");
    EXPECT_EQ(manager.ItemFiler("SIUserLeft").ReadInteger(), 810);
    EXPECT_TRUE(manager.ItemFiler("SIUserDraw").ReadBool());
    std::vector<std::string> lines{"old"};
    manager.ItemFiler("FMInput").ReadStrings(lines);
    EXPECT_TRUE(lines.empty());
    FontDescription font = shippedFont();
    manager.ItemFiler("MFFont").ReadFont(font);
    EXPECT_EQ(font, shippedFont());
    EXPECT_FALSE(std::filesystem::exists(iniPath));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(RegMngTest, TypedValuesAreStoredInTheirTextForms) {
    manager.ItemFiler("SIUserLeft").WriteInteger(-5);
    manager.ItemFiler("SIUserDraw").WriteBool(false);
    manager.ItemFiler("SIUserLabel").WriteString("  ユーザ ");
    EXPECT_EQ(iniText(), "[SystemInfo]\r\nSIUserLeft=-5\r\nSIUserDraw=0\r\n"
                         "SIUserLabel=\"  \x83\x86\x81\x5B\x83\x55 \"\r\n");
    EXPECT_EQ(manager.ItemFiler("SIUserLeft").ReadInteger(), -5);
    EXPECT_FALSE(manager.ItemFiler("SIUserDraw").ReadBool());
    EXPECT_EQ(manager.ItemFiler("SIUserLabel").ReadString(), "  ユーザ ");
}

TEST_F(RegMngTest, StoredTextsThatAreNotNumbersReadAsZeroNotAsTheDefault) {
    writeFile(iniPath, "[SystemInfo]\nSIUserLeft=abc\nSIUserDraw=TRUE\n");
    EXPECT_EQ(manager.ItemFiler("SIUserLeft").ReadInteger(), 0);
    EXPECT_FALSE(manager.ItemFiler("SIUserDraw").ReadBool());
    writeFile(iniPath, "[SystemInfo]\nSIUserDraw=256\nSIUserLeft=\n");
    EXPECT_FALSE(manager.ItemFiler("SIUserDraw").ReadBool()); // only the low 8 bits count
    EXPECT_EQ(manager.ItemFiler("SIUserLeft").ReadInteger(), 0);
    writeFile(iniPath, "[SystemInfo]\nSIUserDraw=$101\nSIUserLeft= 42\n");
    EXPECT_TRUE(manager.ItemFiler("SIUserDraw").ReadBool());
    EXPECT_EQ(manager.ItemFiler("SIUserLeft").ReadInteger(), 42);
}

TEST_F(RegMngTest, BooleanDefaultsAcceptOneTrueAndYesInAnyCase) {
    TRegItem& item = addItem("Flag", "S");
    for (const char* text : {"1", "TRUE", "yes", "True"}) {
        item.DefaultValue = text;
        EXPECT_TRUE(manager.ItemFiler("Flag").ReadBool()) << text;
    }
    for (const char* text : {"0", "", "on", "2"}) {
        item.DefaultValue = text;
        EXPECT_FALSE(manager.ItemFiler("Flag").ReadBool()) << text;
    }
}

TEST_F(RegMngTest, AnEmptyStoredValueIsNotTheDefault) {
    writeFile(iniPath, "[SystemInfo]\r\nSIUserLabel=\r\n");
    EXPECT_EQ(manager.ItemFiler("SIUserLabel").ReadString(), "");
}

TEST_F(RegMngTest, LookUpIgnoresCaseAndAnUnknownNameIsReportedOnce) {
    manager.ItemFiler("wppaintidx").WriteInteger(3);
    EXPECT_EQ(manager.ItemFiler("WPPaintIdx").ReadInteger(), 3);
    EXPECT_TRUE(messages.shown.empty());

    manager.ItemFiler("NoSuchItem").WriteString("x");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, "エラー");
    EXPECT_EQ(messages.shown[0].text, "[' NoSuchItem '] is invalid.");
    EXPECT_EQ(messages.shown[0].icon, platform::MessageIcon::Error);
    EXPECT_EQ(iniText(), "[Wallpaper]\r\nWPPaintIdx=3\r\n");
    EXPECT_EQ(manager.ItemFiler("NoSuchItem").ReadInteger(), 0);
}

TEST_F(RegMngTest, AnUnusableStoreIsReportedOncePerOperation) {
    manager.SetIniFileName("");
    manager.ItemFiler("FMInput").WriteStrings({"a", "b", "c"});
    EXPECT_EQ(manager.ItemFiler("SIUserLeft").ReadInteger(), 810);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].text, "can not create Inifile object.");
    manager.SetRegType(rtReg);
    manager.ItemFiler("SIUserLeft").WriteInteger(1);
    EXPECT_EQ(messages.shown.back().text, "can not create Registry object.");
}

TEST_F(RegMngTest, AFailedWriteRaisesTheMessageWithThePath) {
    manager.ItemFiler("SIUserLeft").WriteInteger(1);
    ::chmod(iniPath.c_str(), 0444);
    try {
        manager.ItemFiler("SIUserLeft").WriteInteger(2);
        FAIL() << "no error raised";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), iniPath + " に書き込めません");
    }
    EXPECT_EQ(manager.ItemFiler("SIUserLeft").ReadInteger(), 1);
}

TEST_F(RegMngTest, StringListsLeaveNoKeysOfALongerEarlierList) {
    auto& filer = manager.ItemFiler("FMInput");
    filer.WriteStrings({"1", "2", "3", "4", "5"});
    manager.ItemFiler("FMInput").WriteStrings({"a", "", " c "});
    EXPECT_EQ(iniText(), "[FreeMessage]\r\nFMInput_ItemCount=3\r\nFMInput_Item0=a\r\n"
                         "FMInput_Item1=\r\nFMInput_Item2=\" c \"\r\n");
    std::vector<std::string> lines;
    manager.ItemFiler("FMInput").ReadStrings(lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "", " c "}));

    manager.ItemFiler("FMInput").WriteStrings({});
    EXPECT_EQ(iniText(), "[FreeMessage]\r\n");
}

// A write over a damaged count deletes the numbered keys that are there, and only those.
TEST_F(RegMngTest, AWriteOverAHugeCountDeletesTheNumberedKeysThatAreThere) {
    writeFile(iniPath, "[FreeMessage]\nFMInput_ItemCount=2147483647\nFMInput_Item0=a\n"
                       "fminput_item9=j\nFMInput_Item09=kept\n[Other]\nFMInput_Item1=kept\n");
    manager.ItemFiler("FMInput").WriteStrings({"x"});
    EXPECT_EQ(iniText(), "[FreeMessage]\nFMInput_ItemCount=1\nFMInput_Item0=x\n"
                         "FMInput_Item09=kept\n[Other]\nFMInput_Item1=kept\n");
}

struct StoredList {
    const char* name;
    std::string section;
    std::vector<std::string> lines;
};

void PrintTo(const StoredList& list, std::ostream* out) {
    *out << list.name;
}

class StoredListTest : public RegMngTest, public ::testing::WithParamInterface<StoredList> {};

// A list ends with its last stored line, whatever its count says, and a line numbered beyond
// the keys of its section is no line of it: a damaged count or number costs nothing.
TEST_P(StoredListTest, ReadsNoLineAfterItsLastStoredOne) {
    writeFile(iniPath, "[FreeMessage]\n" + GetParam().section);
    std::vector<std::string> lines{"old"};
    manager.ItemFiler("FMInput").ReadStrings(lines);
    EXPECT_EQ(lines, GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, StoredListTest,
    ::testing::Values(
        StoredList{"AsCounted",
                   "FMInput_ItemCount=3\nFMInput_Item0=a\nFMInput_Item2=c\nx=1\n",
                   {"a", "", "c"}},
        StoredList{
            "CountBelowTheKeys", "FMInput_ItemCount=1\nFMInput_Item0=a\nFMInput_Item1=b\n", {"a"}},
        StoredList{"CountBeyondTheKeys",
                   "FMInput_ItemCount=5\nFMInput_Item0=a\nFMInput_Item1=b\nFMInput_Item2=c\n"
                   "FMFile=x\n",
                   {"a", "b", "c"}},
        StoredList{"HugeCountInALargeSection",
                   "FMInput_ItemCount=2147483647\nFMInput_Item0=a\nFMInput_Item5=f\nFMFile=\n"
                   "FMCheckFile=0\nFMCheckInput=1\nFMLineInterval=0\nFMLeft=0\nFMTop=0\n"
                   "FMFont_FontName=x\nFMFont_FontSize=9\nFMFont_FontColor=clWhite\n"
                   "FMFont_FontStyle=1\nFreeMessageDraw=0\n",
                   {"a", "", "", "", "", "f"}},
        StoredList{"HugeNumbers",
                   "FMInput_ItemCount=2147483647\nFMInput_Item0=a\nfminput_item9=j\n"
                   "FMInput_Item09=kept\nFMInput_Item9999999999=z\n",
                   {"a"}},
        StoredList{"NoStoredLine", "FMInput_ItemCount=2147483647\nFMInput_Item01=a\n", {}}),
    [](const ::testing::TestParamInfo<StoredList>& list) { return list.param.name; });

TEST_F(RegMngTest, WritingAnEmptyListWhereNothingWasStoredWritesNothing) {
    manager.ItemFiler("FMInput").WriteStrings({});
    EXPECT_FALSE(std::filesystem::exists(iniPath));
}

TEST_F(RegMngTest, FontsAreFourKeys) {
    manager.ItemFiler("MFFont").WriteFont(shippedFont());
    EXPECT_EQ(iniText(), "[MonitorFrame]\r\nMFFont_FontName=\x82\x6C\x82\x72 \x83\x53\x83\x56"
                         "\x83\x62\x83\x4E\r\nMFFont_FontSize=8\r\nMFFont_FontColor=clWhite\r\n"
                         "MFFont_FontStyle=1\r\n");
    FontDescription font{"other", -20, kColorBlack, 0, kShiftJisCharset};
    manager.ItemFiler("MFFont").ReadFont(font);
    EXPECT_EQ(font, shippedFont());
}

TEST_F(RegMngTest, FontColoursReadInEveryIntegerOrNameForm) {
    for (const char* text : {"clWhite", "CLWHITE", "16777215", "$00FFFFFF"}) {
        writeFile(iniPath, std::string("[MonitorFrame]\nMFFont_FontColor=") + text + "\n");
        FontDescription font = shippedFont();
        font.color = kColorBlack;
        manager.ItemFiler("MFFont").ReadFont(font);
        EXPECT_EQ(font.color, kColorWhite) << text;
    }
}

TEST_F(RegMngTest, ABadFontColourRaisesAfterNameAndSizeWereTaken) {
    writeFile(iniPath, "[MonitorFrame]\nMFFont_FontName=Other\nMFFont_FontSize=12\n"
                       "MFFont_FontColor=white\nMFFont_FontStyle=2\n");
    FontDescription font = shippedFont();
    try {
        manager.ItemFiler("MFFont").ReadFont(font);
        FAIL() << "no error raised";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(),
                     "'white' は整数ではありません ([MonitorFrame] MFFont_FontColor)");
    }
    EXPECT_EQ(font.face, "Other");
    EXPECT_EQ(font.height, -16);
    EXPECT_EQ(font.color, kColorWhite);
    EXPECT_EQ(font.style, kFontBold);
}

TEST_F(RegMngTest, FontStyleKeepsOnlyTheFourStyleBits) {
    writeFile(iniPath, "[MonitorFrame]\nMFFont_FontStyle=31\nMFFont_FontSize=x\n");
    FontDescription font = shippedFont();
    manager.ItemFiler("MFFont").ReadFont(font);
    EXPECT_EQ(font.style, 15);
    EXPECT_EQ(font.height, -11); // a size that is no number keeps the current one
}

// Inside a batch every operation works on one read of the file, and an update batch writes
// everything in one replacement when it commits, or nothing.
TEST_F(RegMngTest, ABatchWorksOnOneReadAndWritesOnlyWhenItCommits) {
    manager.ItemFiler("SIUserLeft").WriteInteger(1);
    {
        const SettingsBatch batch(manager, BatchMode::Read);
        writeFile(iniPath, "[SystemInfo]\r\nSIUserLeft=5\r\n");
        EXPECT_EQ(manager.ItemFiler("SIUserLeft").ReadInteger(), 1) << "the batch's one read";
        manager.ItemFiler("WPPaintIdx").WriteInteger(4); // a write goes straight to the file
        EXPECT_EQ(iniText(), "[SystemInfo]\r\nSIUserLeft=5\r\n[Wallpaper]\r\nWPPaintIdx=4\r\n");
    }
    EXPECT_EQ(manager.ItemFiler("SIUserLeft").ReadInteger(), 5);
    const std::string before = iniText();
    {
        SettingsBatch batch(manager, BatchMode::Update);
        manager.ItemFiler("SIUserLeft").WriteInteger(2);
        manager.ItemFiler("FMInput").WriteStrings({"a"});
        EXPECT_EQ(manager.ItemFiler("SIUserLeft").ReadInteger(), 2);
        {
            SettingsBatch inner(manager, BatchMode::Update);
            manager.ItemFiler("SIUserDraw").WriteBool(false);
            inner.commit(); // joined the outer batch: writes nothing yet
        }
        EXPECT_EQ(iniText(), before);
        batch.commit();
        EXPECT_EQ(iniText(), "[SystemInfo]\r\nSIUserLeft=2\r\nSIUserDraw=0\r\n[Wallpaper]\r\n"
                             "WPPaintIdx=4\r\n[FreeMessage]\r\nFMInput_ItemCount=1\r\n"
                             "FMInput_Item0=a\r\n");
        manager.ItemFiler("SIUserLeft").WriteInteger(3);
    } // not committed: dropped
    EXPECT_EQ(manager.ItemFiler("SIUserLeft").ReadInteger(), 2);
}

TEST_F(RegMngTest, ABatchThatCannotWriteRaisesTheErrorAndLeavesTheFile) {
    manager.ItemFiler("SIUserLeft").WriteInteger(1);
    ::chmod(iniPath.c_str(), 0444);
    SettingsBatch batch(manager, BatchMode::Update);
    manager.ItemFiler("SIUserLeft").WriteInteger(2);
    manager.ItemFiler("FMInput").WriteStrings({"a"});
    try {
        batch.commit();
        FAIL() << "no error raised";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), iniPath + " に書き込めません");
    }
    EXPECT_EQ(iniText(), "[SystemInfo]\r\nSIUserLeft=1\r\n");
}

TEST_F(RegMngTest, ABatchOnAnUnusableStoreReportsItOnce) {
    manager.SetIniFileName("");
    {
        SettingsBatch batch(manager, BatchMode::Update);
        EXPECT_EQ(manager.ItemFiler("SIUserLeft").ReadInteger(), 810);
        manager.ItemFiler("FMInput").WriteStrings({"a"});
        batch.commit();
    }
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "can not create Inifile object.");
}

TEST_F(RegMngTest, ItemsAssignTheirFourTexts) {
    TRegItem copy;
    copy.Assign(manager.RegItems().Items(0));
    EXPECT_EQ(copy.Name, "SIUserLeft");
    EXPECT_EQ(copy.DefaultValue, "810");
    manager.RegItems().SetItems(1, copy);
    EXPECT_EQ(manager.RegItems().Items(1).Section, "SystemInfo");
    EXPECT_EQ(manager.RegItems().FindItem("siuserleft"), &manager.RegItems().Items(0));
}

TEST_F(RegMngTest, TheRegistryStoreKeepsItemsBelowTheManagersKey) {
    manager.SetRegType(rtReg);
    manager.SetRegDir("\\Software\\ZorbelPaneglyph");
    manager.ItemFiler("SIUserLabel").WriteString("名前");
    manager.ItemFiler("FMInput").WriteStrings({"x", "y"});
    EXPECT_EQ(manager.ItemFiler("SIUserLabel").ReadString(), "名前");
    std::vector<std::string> lines;
    manager.ItemFiler("FMInput").ReadStrings(lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"x", "y"}));
    const auto registry = platform::Registry::currentUser();
    EXPECT_EQ(registry.readValue("Software\\ZorbelPaneglyph\\SystemInfo", "SIUserLabel"),
              platform::RegValue::string("名前"));

    ASSERT_TRUE(registry.writeValue("Software\\ZorbelPaneglyph\\SystemInfo", "SIUserLeft",
                                    platform::RegValue::number(5)));
    try {
        manager.ItemFiler("SIUserLeft").ReadInteger();
        FAIL() << "no error raised";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "'SIUserLeft' のデータ型が不正です");
    }
}

} // namespace
} // namespace zbpg

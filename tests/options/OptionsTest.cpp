#include "options/OptionsStore.h"
#include "settings/Schema.h"
#include "support/RecordingMessageService.h"
#include "support/RichOptions.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace zbpg {
namespace {

using test::writeFile;

constexpr ScreenBounds kScreen{1024, 768};

class OptionsStoreTest : public ::testing::Test {
protected:
    OptionsStoreTest() { openSettings(settings, folder.file("ZorbelPaneglyph.ini")); }

    Options loaded(Options start = factoryOptions()) {
        loadOptions(settings, start, kScreen);
        return start;
    }
    void store(const std::string& text) { writeFile(folder.file("ZorbelPaneglyph.ini"), text); }

    test::TempFolder folder;
    test::RecordingMessageService messages;
    TRegManager settings;
};

TEST(OptionItems, AreTheSchemaWithoutTheItemsWrittenAtOnce) {
    TRegItems schema;
    fillSettingsSchema(schema);
    std::vector<std::string> expected;
    for (int i = 0; i < schema.Count(); ++i) {
        const std::string& name = schema.Items(i).Name;
        const char* direct[] = {"WPFileDir", "WPFilterIdx", "WPPaintIdx",
                                "FMFileDir", "AEECmdDir",   "AEETmpDir"};
        if (std::find(std::begin(direct), std::end(direct), name) == std::end(direct))
            expected.push_back(name);
    }
    EXPECT_EQ(optionItemNames(), expected);
}

TEST_F(OptionsStoreTest, WithoutAFileEveryOptionIsTheFactoryOne) {
    EXPECT_EQ(loaded(), factoryOptions());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(OptionsStoreTest, EveryOptionSurvivesSaveAndLoad) {
    saveOptions(settings, test::richOptions());
    EXPECT_EQ(loaded(), test::richOptions());
    EXPECT_TRUE(messages.shown.empty());
}

struct GroupCase {
    const char* file;
    std::array<bool, 2> method;
    std::array<bool, 5> anchor;
};

class ButtonGroupLoad : public OptionsStoreTest, public ::testing::WithParamInterface<GroupCase> {};

// Each button is its own item, set in the order of the file: the later of two checked radio
// buttons wins, an unchecked one checks no other, and one anchor button always stays down.
TEST_P(ButtonGroupLoad, SetsEachButtonInOrder) {
    store(GetParam().file);
    Options start = factoryOptions();
    start.monitorFrame.anchor.down = {false, false, true, false, false};
    const Options o = loaded(start);
    EXPECT_EQ(o.drawing.method.down, GetParam().method);
    EXPECT_EQ(o.monitorFrame.anchor.down, GetParam().anchor);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ButtonGroupLoad,
    ::testing::Values(
        GroupCase{"[Application]\nDrawTypeOverwrite=1\nDrawTypeRewrite=1\n[MonitorFrame]\n"
                  "MFPositionLT=1\nMFPositionLB=0\nMFPositionRT=0\nMFPositionRB=1\n"
                  "MFPositionCenter=0\n",
                  {false, true},
                  {false, false, false, true, false}},
        GroupCase{"[Application]\nDrawTypeOverwrite=0\nDrawTypeRewrite=0\n[MonitorFrame]\n"
                  "MFPositionLT=0\nMFPositionLB=0\nMFPositionRT=0\nMFPositionRB=0\n"
                  "MFPositionCenter=0\n",
                  {false, false},
                  {false, false, true, false, false}}));

TEST_F(OptionsStoreTest, PlacesAreBoundedByTheScreenAndTheWaitBy999) {
    store("[Application]\nStartUpWaitSec=5000\n[SystemInfo]\nSIUserDraw=0\nSIUserLeft=810\n"
          "SIUserTop=-5\nSICompLeft=70000\n[FreeMessage]\nFMLineInterval=900\n");
    const Options o = loaded();
    EXPECT_EQ(o.drawing.startUpWaitSec, 999);
    EXPECT_EQ(o.line(SystemInfoLine::User).left, 810) << "kept whatever its check box says";
    EXPECT_EQ(o.line(SystemInfoLine::User).top, 0);
    EXPECT_EQ(o.line(SystemInfoLine::Computer).left, 1023);
    EXPECT_EQ(o.freeMessage.lineInterval, 767);
}

TEST_F(OptionsStoreTest, StatusLinesCheckTheRowsOfTheCheckList) {
    Options o = factoryOptions();
    o.wallpaper.stat.lines = {"1", "0", "$10"};
    o.wallpaper.file.lines = {"a.bmp", "b.jpg", "c.jpg"};
    saveOptions(settings, o);
    EXPECT_EQ(loaded().wallpaper.rows,
              (std::vector<CheckListRow>{{"a.bmp", true}, {"b.jpg", false}, {"c.jpg", true}}));
}

struct BadFileCase {
    std::vector<std::string> stat;
    std::vector<std::string> files;
    const char* message;
    std::size_t rowsBefore;
};

class BadLoad : public OptionsStoreTest, public ::testing::WithParamInterface<BadFileCase> {};

// The load stops at the bad item with its error; the items after it keep their values.
TEST_P(BadLoad, StopsWithTheErrorAndLeavesTheLaterItems) {
    Options o = factoryOptions();
    o.wallpaper.stat.lines = GetParam().stat;
    o.wallpaper.file.lines = GetParam().files;
    o.monitorFrame.comment = "after the error";
    saveOptions(settings, o);
    Options start = factoryOptions();
    try {
        loadOptions(settings, start, kScreen);
        FAIL() << "the load went on";
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), GetParam().message);
    }
    EXPECT_EQ(start.wallpaper.rows.size(), GetParam().rowsBefore);
    EXPECT_EQ(start.monitorFrame.comment, "");
}

INSTANTIATE_TEST_SUITE_P(
    Lists, BadLoad,
    ::testing::Values(
        BadFileCase{{"1", "yes"}, {"a.bmp", "b.bmp"}, "'yes' は整数ではありません", 1},
        BadFileCase{{"1", "1"}, {"a.bmp"}, "リストのインデックスが範囲を超えています (1)", 1}));

TEST_F(OptionsStoreTest, AFontColourThatIsNoColourStopsAfterNameAndSize) {
    store("[MonitorFrame]\nMFFont_FontName=IPAPGothic\nMFFont_FontSize=18\n"
          "MFFont_FontColor=white\n");
    Options o = factoryOptions();
    EXPECT_THROW(loadOptions(settings, o, kScreen), std::exception);
    EXPECT_EQ(o.monitorFrame.font.face, "IPAPGothic");
    EXPECT_EQ(o.monitorFrame.font.height, -24);
    EXPECT_EQ(o.monitorFrame.font.color, kColorWhite) << "the colour stays";
}

TEST(DrawSequence, KnowsOnlyItsThreeItems) {
    DrawingOptions drawing;
    drawing.drawSeq.lines = {"任意表示", "未知", "画面サイズ", "システム情報"};
    EXPECT_EQ(
        drawing.sequence(),
        (std::vector<DrawItem>{DrawItem::FreeMessage, DrawItem::ScreenSize, DrawItem::SystemInfo}));
    EXPECT_EQ(
        factoryOptions().drawing.sequence(),
        (std::vector<DrawItem>{DrawItem::ScreenSize, DrawItem::SystemInfo, DrawItem::FreeMessage}));
}

} // namespace
} // namespace zbpg

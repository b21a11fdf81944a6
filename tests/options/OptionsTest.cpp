#include "base/Error.h"
#include "options/OptionsStore.h"
#include "settings/Schema.h"
#include "support/RecordingMessageService.h"
#include "support/RichOptions.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <unistd.h>

namespace zbpg {
namespace {

using test::writeFile;

constexpr ScreenBounds kScreen{1024, 768};

class OptionsStoreTest : public ::testing::Test {
protected:
    OptionsStoreTest() { openSettings(settings, iniPath); }

    // The options after a load that reads every item.
    Options loaded(Options start = factoryOptions()) {
        EXPECT_EQ(loadOptions(settings, start, kScreen), std::vector<std::string>{});
        return start;
    }
    void store(const std::string& text) { writeFile(iniPath, text); }

    test::TempFolder folder;
    std::string iniPath = folder.file("ZorbelPaneglyph.ini");
    test::RecordingMessageService messages;
    TRegManager settings;
};

// Counts, from the folder's inotify events, how often a file is opened and how often another
// file is renamed onto it (the store replaces a file that way).
class FileAccesses {
public:
    explicit FileAccesses(const std::string& path)
        : m_name(std::filesystem::path(path).filename()),
          m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        const auto folder = std::filesystem::path(path).parent_path();
        EXPECT_GE(::inotify_add_watch(m_fd, folder.c_str(), IN_OPEN | IN_CLOSE | IN_MOVED_TO), 0);
    }
    ~FileAccesses() { ::close(m_fd); }
    FileAccesses(const FileAccesses&) = delete;
    FileAccesses& operator=(const FileAccesses&) = delete;

    // The openings and replacements since the last call.
    std::pair<int, int> take() {
        std::pair<int, int> counts;
        alignas(inotify_event) char buffer[1 << 16];
        for (ssize_t n; (n = ::read(m_fd, buffer, sizeof buffer)) > 0;) {
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                EXPECT_EQ(event->mask & IN_Q_OVERFLOW, 0u);
                if (event->len > 0 && m_name == event->name) {
                    counts.first += (event->mask & IN_OPEN) != 0;
                    counts.second += (event->mask & IN_MOVED_TO) != 0;
                }
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        return counts;
    }

private:
    std::string m_name;
    int m_fd;
};

// Lets no file of this process grow beyond a size, as a full disk would, for its lifetime.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldSignal = std::signal(SIGXFSZ, SIG_IGN); // a failed write instead of a signal
        const rlimit limit{bytes, m_old.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldSignal);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldSignal)(int);
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

TEST_F(OptionsStoreTest, ALoadIsOneReadAndASaveOneReadAndOneReplacement) {
    saveOptions(settings, test::richOptions());
    FileAccesses accesses(iniPath);
    EXPECT_EQ(loaded(), test::richOptions());
    EXPECT_EQ(accesses.take(), std::make_pair(1, 0));
    saveOptions(settings, factoryOptions());
    EXPECT_EQ(accesses.take(), std::make_pair(1, 1));
}

// A disk that fills up while the save is written: the file is replaced whole or not at all.
TEST_F(OptionsStoreTest, ASaveThatCannotBeWrittenWhollyLeavesTheOldFile) {
    store("[System]\r\nLeft=7\r\n");
    std::string failure;
    {
        const FileSizeLimit limit(512); // more than the old file, less than a whole save
        try {
            saveOptions(settings, test::richOptions());
        } catch (const Error& error) {
            failure = error.what();
        }
    }
    EXPECT_EQ(failure, iniPath + " に書き込めません");
    EXPECT_EQ(test::readFile(iniPath), "[System]\r\nLeft=7\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1)
        << "no temporary file is left";
}

// Counts far beyond what the file holds read only the keys there are, and a save over them
// deletes only keys that exist. (Before, such counts ran for minutes or ran out of memory.)
TEST_F(OptionsStoreTest, HugeStoredCountsReadWhatTheFileHoldsAndASaveReplacesThem) {
    store("[Application]\nDrawSeq_c=100000000\nDrawSeq_d0=5450463008\n[FreeMessage]\n"
          "FMInput_ItemCount=2147483647\nFMInput_Item0=a\nFMInput_Item7=h\n[AppExec]\n"
          "AEBStat_c=2147483647\nAEBCmd_c=-5\n");
    const Options o = loaded();
    EXPECT_EQ(o.freeMessage.input, std::vector<std::string>{"a"});
    EXPECT_EQ(o.drawing.drawSeq, factoryOptions().drawing.drawSeq) << "an undecodable stream";
    EXPECT_TRUE(o.appList(AppList::Before).rows.empty());

    Options saved = factoryOptions();
    saved.freeMessage.input = {"x"};
    saveOptions(settings, saved);
    const std::string text = test::readFile(iniPath);
    EXPECT_NE(text.find("FMInput_ItemCount=1\nFMInput_Item0=x\n"), std::string::npos);
    EXPECT_EQ(text.find("FMInput_Item7"), std::string::npos);
    EXPECT_EQ(text.find("AEBStat_c=2147483647"), std::string::npos);
    EXPECT_NE(text.find("DrawSeq_c=5\n"), std::string::npos);
    EXPECT_EQ(loaded(), saved);
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
                  {false, false, true, false, false}}),
    [](const auto& file) { return file.param.method[1] ? "LaterOfTwoWins" : "NoneChecked"; });

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

// The three check lists with their status and text lists.
enum class CheckList { Wallpaper, Before, After };

struct CheckListParts {
    ListControlDescription& status;
    ListControlDescription& texts;
    std::vector<CheckListRow>& rows;
};

CheckListParts partsOf(Options& o, CheckList list) {
    if (list == CheckList::Wallpaper)
        return {o.wallpaper.stat, o.wallpaper.file, o.wallpaper.rows};
    auto& apps = o.appList(list == CheckList::Before ? AppList::Before : AppList::After);
    return {apps.field(AppEntryField::Stat), apps.field(AppEntryField::Cmd), apps.rows};
}

struct BadFileCase {
    CheckList list;
    std::vector<std::string> stat;
    std::vector<std::string> texts;
    const char* message;
    std::vector<CheckListRow> rows;
    std::vector<std::string> statAfter;

    friend void PrintTo(const BadFileCase& c, std::ostream* os) { *os << c.message; }
};

class BadLoad : public OptionsStoreTest, public ::testing::WithParamInterface<BadFileCase> {};

// Every row with a text is there, a bad status leaving it unchecked; the fault is reported by
// the list's status item, and the items after it load.
TEST_P(BadLoad, KeepsTheRowsReportsTheListAndLoadsTheRest) {
    Options o = factoryOptions();
    partsOf(o, GetParam().list).status.lines = GetParam().stat;
    partsOf(o, GetParam().list).texts.lines = GetParam().texts;
    o.monitorFrame.comment = "after the error";
    o.appList(AppList::After).field(AppEntryField::TmpDir).lines = {"/after"};
    saveOptions(settings, o);
    Options start = factoryOptions();
    EXPECT_EQ(loadOptions(settings, start, kScreen), std::vector<std::string>{GetParam().message});
    EXPECT_EQ(partsOf(start, GetParam().list).rows, GetParam().rows);
    EXPECT_EQ(partsOf(start, GetParam().list).status.lines, GetParam().statAfter);
    EXPECT_EQ(start.monitorFrame.comment, "after the error");
    EXPECT_EQ(start.appList(AppList::After).field(AppEntryField::TmpDir).lines,
              std::vector<std::string>{"/after"});
}

std::string badLoadName(const ::testing::TestParamInfo<BadFileCase>& bad) {
    const char* lists[] = {"Wallpaper", "Before", "After"};
    return lists[static_cast<int>(bad.param.list)] +
           std::string(bad.param.stat.size() > bad.param.texts.size() ? "StatusBeyondTheRows"
                                                                      : "StatusNotANumber");
}

INSTANTIATE_TEST_SUITE_P(
    Lists, BadLoad,
    ::testing::Values(
        BadFileCase{CheckList::Wallpaper,
                    {"yes", "1", ""},
                    {"a.bmp", "b.bmp", "c.bmp"},
                    "'yes' は整数ではありません ([Wallpaper] WPStat)",
                    {{"a.bmp", false}, {"b.bmp", true}, {"c.bmp", false}},
                    {"0", "1", "0"}},
        BadFileCase{CheckList::Wallpaper,
                    {"1", "1"},
                    {"a.bmp"},
                    "リストのインデックスが範囲を超えています (1) ([Wallpaper] WPStat)",
                    {{"a.bmp", true}},
                    {"1"}},
        BadFileCase{CheckList::Before,
                    {"1", "x"},
                    {"/bin/a", "/bin/b"},
                    "'x' は整数ではありません ([AppExec] AEBStat)",
                    {{"/bin/a", true}, {"/bin/b", false}},
                    {"1", "0"}},
        BadFileCase{CheckList::After,
                    {"0", "1", "1"},
                    {"/bin/a"},
                    "リストのインデックスが範囲を超えています (1) ([AppExec] AEAStat)",
                    {{"/bin/a", false}},
                    {"0"}}),
    badLoadName);

// Only the bad item keeps its value; a font keeps the name and size read before the colour.
TEST_F(OptionsStoreTest, AFontColourThatIsNoColourLeavesOnlyThatFontsColourAndStyle) {
    store("[MonitorFrame]\nMFFont_FontName=IPAPGothic\nMFFont_FontSize=18\n"
          "MFFont_FontColor=white\nMFFont_FontStyle=2\n[SystemInfo]\nSIUserLabel=later\n"
          "SIUserFont_FontColor=\n");
    Options o = factoryOptions();
    EXPECT_EQ(
        loadOptions(settings, o, kScreen),
        (std::vector<std::string>{"'white' は整数ではありません ([MonitorFrame] MFFont_FontColor)",
                                  "'' は整数ではありません ([SystemInfo] SIUserFont_FontColor)"}));
    EXPECT_EQ(o.monitorFrame.font.face, "IPAPGothic");
    EXPECT_EQ(o.monitorFrame.font.height, -24);
    EXPECT_EQ(o.monitorFrame.font.color, factoryOptions().monitorFrame.font.color);
    EXPECT_EQ(o.monitorFrame.font.style, factoryOptions().monitorFrame.font.style);
    EXPECT_EQ(o.line(SystemInfoLine::User).label, "later");
    EXPECT_EQ(o.line(SystemInfoLine::User).font, factoryOptions().line(SystemInfoLine::User).font);
    EXPECT_TRUE(messages.shown.empty()) << "the caller shows the messages";
}

TEST(SeededSettings, AreReadUntilTheUsersOwnFileExistsWhichKeepsThemWhenFirstWritten) {
    test::TempFolder folder;
    const std::string seed = folder.file("installed.ini");
    const std::string own = folder.file("user/ZorbelPaneglyph.ini");
    writeFile(seed, "[MonitorFrame]\nMFSZFCmnt=from the installation\nMFColor=255\n"
                    "[Site]\nkept=yes\n");
    TRegManager settings;
    openSettings(settings, own, seed);
    Options options = factoryOptions();
    EXPECT_TRUE(loadOptions(settings, options, kScreen).empty());
    EXPECT_EQ(options.monitorFrame.comment, "from the installation");

    // A value written at once creates the user's file from the installation's settings.
    settings.ItemFiler("FMFileDir").WriteString("/texts/");
    const std::string written = test::readFile(own);
    EXPECT_NE(written.find("MFColor=255"), std::string::npos);
    EXPECT_NE(written.find("[Site]\nkept=yes\n"), std::string::npos) << "kept byte for byte";
    EXPECT_NE(written.find("FMFileDir=/texts/"), std::string::npos);

    // From now on the user's own file counts; the installation's stays as it was.
    writeFile(seed, "[MonitorFrame]\nMFSZFCmnt=changed by the administrator\n");
    options = factoryOptions();
    EXPECT_TRUE(loadOptions(settings, options, kScreen).empty());
    EXPECT_EQ(options.monitorFrame.comment, "from the installation");
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

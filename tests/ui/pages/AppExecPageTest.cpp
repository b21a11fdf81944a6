#include "ui/pages/AppExecPage.h"

#include "controls/DROPDST.h"
#include "options/OptionsStore.h"
#include "support/Controls.h"
#include "support/RecordingDialogService.h"
#include "support/RecordingMessageService.h"
#include "support/TempFolder.h"
#include "ui/AppExec.h"

#include <QAction>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <deque>
#include <gtest/gtest.h>

namespace zbpg {
namespace {

using test::control;
using Entry = std::vector<std::string>; // the ten field texts of an entry

Entry entryOf(const std::string& stat, const std::string& command) {
    return {stat, command, "", "", "1", "0", "0", "1", "0", "0"};
}

// One list: its stem, the side in its control names, its menu items (add, delete, edit, up, down).
struct ListNames {
    AppList list;
    std::string stem;
    std::string side;
    std::array<const char*, 5> menuItems;
};
const ListNames kBefore{
    AppList::Before, "AEB", "Bef", {"PMAEAdd", "PMAEDel", "PMAEUpd", "PMAEBUp", "PMAEBDown"}};
const ListNames kAfter{
    AppList::After, "AEA", "Aft", {"PMAEAAdd", "PMAEADel", "PMAEAUpd", "PMAEAUp", "PMAEADown"}};

// The page with one list under test. The entry editor records the entry it opens with and
// answers the replies queued: nothing for Cancel, else OK with the entry; none left, OK as is.
class AppListTest : public ::testing::TestWithParam<ListNames> {
protected:
    AppListTest() {
        openSettings(settings, folder.file("ZorbelPaneglyph.ini"));
        page.showOptions(factoryOptions());
        QObject::connect(&page, &SettingsPage::changed, [this] { ++changes; });
        page.FormAppExecEnt().OnShowModal = [this](TFormAppExecEnt& dialog) {
            shown.push_back(dialog.entry());
            shownAt = dialog.pos();
            const auto reply = replies.empty() ? dialog.entry() : replies.front();
            if (!replies.empty())
                replies.pop_front();
            if (reply)
                dialog.setEntry(*reply);
            control<QPushButton>(dialog, reply ? "ButtonOK" : "ButtonCancel").click();
        };
    }
    const ListNames& names() const { return GetParam(); }
    QListWidget& list() {
        return control<QListWidget>(page, ("CheckListBoxAE" + names().side).c_str());
    }
    void press(const char* action) {
        control<QToolButton>(page, ("SpeedButton" + names().stem + action).c_str()).click();
    }
    void choose(std::size_t item) { control<QAction>(page, names().menuItems[item]).trigger(); }
    void show(const std::vector<Entry>& entries) {
        Options options = factoryOptions();
        auto& stored = options.appList(names().list);
        for (const Entry& entry : entries) {
            for (std::size_t field = 0; field < entry.size(); ++field)
                stored.fields[field].lines.push_back(entry[field]);
            stored.rows.push_back({entry[1], entry[0] == "1"});
        }
        page.showOptions(options);
    }
    // The entries as the page gives them back: every field list as long as the rows, each row
    // showing its command and Stat.
    static std::vector<Entry> entriesOf(const AppExecPage& from, AppList which) {
        Options options = factoryOptions();
        from.takeOptions(options);
        const auto& stored = options.appList(which);
        std::vector<Entry> result;
        for (std::size_t row = 0; row < stored.rows.size(); ++row) {
            result.emplace_back();
            for (std::size_t field = 0; field < stored.fields.size(); ++field)
                result.back().push_back(stored.fields[field].lines.at(row));
            EXPECT_EQ(stored.rows[row], (CheckListRow{result.back()[1], result.back()[0] == "1"}));
        }
        return result;
    }
    std::vector<Entry> entries() const { return entriesOf(page, names().list); }

    test::TempFolder folder;
    test::RecordingMessageService messages;
    test::RecordingDialogService dialogs;
    TRegManager settings;
    AppExecPage page{settings};
    std::deque<std::optional<AppEntry>> replies;
    std::vector<AppEntry> shown;
    QPoint shownAt;
    int changes = 0;
};

// The editor takes an address as a command: the launcher opens it with the desktop's handler.
TEST_P(AppListTest, AddsEndTheirOwnListCheckedAndSurviveSaveAndLoad) {
    show({entryOf("0", "/bin/first")});
    page.show();
    page.move(30, 40);
    const AppEntry reply{
        "https://example.org/", "-a \"b\"", "/srv", false, true, false, false, true, 7};
    replies = {reply, std::nullopt};
    auto& drop = control<TDropDst>(page, ("DropDstAE" + names().side).c_str());
    drop.OnFileDrop(&drop, {"/x/one", "/x/two", "/x/three"}, 5, 5);
    EXPECT_TRUE(shown.empty()) << "the editor opens after the drop has returned";
    EXPECT_TRUE(QTest::qWaitFor([&] { return !shown.empty(); }));
    choose(0);
    const std::vector<Entry> made{
        entryOf("0", "/bin/first"),
        {"1", "https://example.org/", "-a \"b\"", "/srv", "0", "1", "0", "0", "1", "7"}};
    EXPECT_EQ(entries(), made);
    ASSERT_EQ(shown.size(), 2u) << "one add for three dropped paths";
    EXPECT_EQ(shown[0].command, "/x/one");
    EXPECT_EQ(shown[1], AppEntry{}) << "the dropped path is forgotten after its add";
    EXPECT_EQ(shownAt, QPoint(30, 40 + titleButtonHeight() + 1));
    EXPECT_EQ(changes, 1);
    const AppList other = names().list == AppList::Before ? AppList::After : AppList::Before;
    EXPECT_TRUE(entriesOf(page, other).empty());

    Options saved = factoryOptions();
    page.takeOptions(saved);
    saveOptions(settings, saved);
    Options loaded = factoryOptions();
    EXPECT_TRUE(loadOptions(settings, loaded, {}).empty());
    AppExecPage reloaded{settings};
    reloaded.showOptions(loaded);
    EXPECT_EQ(entriesOf(reloaded, names().list), made);
}

// A field that is no number (only a hand-edited file holds one) is reported and edits nothing.
TEST_P(AppListTest, EditKeepsTheCheckMarksAlsoAfterCancelAndReportsAFieldThatIsNoNumber) {
    const Entry b{"0", "/bin/b", "-x", "/srv", "0", "0", "1", "0", "1", "12"};
    show({entryOf("1", "/bin/a"), b, {"1", "/bin/c", "", "", "1", "0", "0", "1", "0", "soon"}});
    list().setCurrentRow(1);
    replies = {std::nullopt, AppEntry{"/bin/c", "", "", true, false, false, true, false, 0}};
    press("Upd");
    EXPECT_EQ(entries()[1], b);
    EXPECT_EQ(changes, 1) << "a cancelled edit marks too";
    choose(2);
    EXPECT_EQ(shown[0], (AppEntry{"/bin/b", "-x", "/srv", false, false, true, false, true, 12}));
    EXPECT_EQ(entries()[1], entryOf("0", "/bin/c"));
    emit list().itemDoubleClicked(list().item(1));
    list().setCurrentRow(2);
    press("Upd");
    EXPECT_EQ(shown.size(), 3u);
    EXPECT_EQ(changes, 3);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "'soon' は整数ではありません ([AppExec] " + names().stem + "WTNoWaitSec).");
    EXPECT_EQ(entries()[2][9], "soon");
}

TEST_P(AppListTest, ChecksMovesAndDeletesChangeEveryListAndTheSelectionFollows) {
    const Entry c{"1", "/c", "p", "", "0", "1", "0", "1", "0", "3"};
    show({entryOf("1", "/a"), entryOf("1", "/b"), c});
    list().item(1)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(entries()[1], entryOf("0", "/b"));
    list().setCurrentRow(0);
    press("Up"); // the first row cannot go up
    choose(4);   // also from the before list's menu
    press("Down");
    EXPECT_EQ(list().currentRow(), 2);
    press("Down"); // the last row cannot go down
    EXPECT_EQ(changes, 3);
    choose(3);
    EXPECT_EQ(entries(), (std::vector<Entry>{entryOf("0", "/b"), entryOf("1", "/a"), c}));
    list().setCurrentRow(1);
    press("Del");
    list().setCurrentRow(0);
    choose(1);
    EXPECT_EQ(entries(), (std::vector<Entry>{c}));
    EXPECT_EQ(changes, 6);
}

INSTANTIATE_TEST_SUITE_P(BothLists, AppListTest, ::testing::Values(kBefore, kAfter),
                         [](const auto& list) { return list.param.stem; });

} // namespace
} // namespace zbpg

#pragma once

#include "ui/pages/SettingsPage.h"

#include <array>
#include <memory>
#include <string>
#include <variant>
#include <vector>

class QListWidget;
class QListWidgetItem;
class QMenu;
class QToolButton;

namespace zbpg {

class TDropDst;
class TFormAppExecEnt;
class TRegManager;
struct AppEntry;

// The page "外部アプリ起動": the programs started before and after drawing. A list is eleven
// controls of equal length: the visible check list (row text the command, check the entry's
// Stat) and ten hidden lists, one per field of an entry, row i of each belonging to entry i.
// Every handler changes the eleven together in one step. The handlers serve both lists and take
// the list from the sending control's "Tag" (0 before, 1 after).
class AppExecPage final : public SettingsPage {
    Q_OBJECT
public:
    // The entry editor keeps the folders its choosers last chose in the settings.
    explicit AppExecPage(TRegManager& settings);
    ~AppExecPage() override;

    void showOptions(const Options& options) override;
    void takeOptions(Options& options) const override;

    // The entry editor, made with the page and used for every add and edit.
    TFormAppExecEnt& FormAppExecEnt() const { return *FFormAppExecEnt; }

private:
    using ListMember = QListWidget* AppExecPage::*;
    using ButtonMember = QToolButton* AppExecPage::*;
    using AppExecControl = std::variant<ListMember, ButtonMember>;

    void createControls(std::size_t column);
    QWidget* createListBox(std::size_t column, const char* caption);
    void connectHandlers(std::size_t column);
    QMenu* createPopupMenu(std::size_t column);

    void SpeedButtonAEBAddClick(QObject* Sender);
    void SpeedButtonAEBDelClick(QObject* Sender);
    void SpeedButtonAEBUpdClick(QObject* Sender);
    void SpeedButtonAEBUpClick(QObject* Sender);
    void SpeedButtonAEBDownClick(QObject* Sender);
    void CheckListBoxAEBefClickCheck(QObject* Sender, QListWidgetItem* item);
    // The first dropped path becomes the command of a new entry of the list, added after the
    // drop has ended.
    void dropFiles(std::size_t column, const std::vector<std::string>& files);

    QListWidget* checkList(std::size_t column) const;
    QListWidget* fieldList(std::size_t column, AppEntryField field) const;
    QToolButton* listButton(std::size_t row, std::size_t column) const;

    // Runs the entry editor on the entry, placed under the settings window; true after OK.
    bool editEntry(AppEntry& entry);
    // The entry of a row; a field the buttons or the pause cannot be read from (only a
    // hand-edited file holds one) raises the conversion error, naming its settings key.
    AppEntry entryAt(std::size_t column, int row) const;
    void insertEntry(std::size_t column, int row, const AppEntry& entry);
    void replaceEntry(std::size_t column, int row, const AppEntry& entry);
    void deleteEntry(std::size_t column, int row);
    void exchangeEntries(std::size_t column, int row, int other);
    // A hand-edited file may leave a hidden list shorter than its visible list: such a list is
    // filled up with empty lines before its rows are changed.
    void padFieldLists(std::size_t column);

    // The controls of the lists by row and column (0 before, 1 after): 0 the visible check
    // list; 1 to 10 the hidden lists of Stat, Cmd, CmdParam, TmpDir, STNormal, STMin, STMax,
    // WTWait, WTNoWait and WTNoWaitSec; 11 to 15 the add, delete, edit, up and down buttons.
    // Each cell names the page's member, which is read at the time of use.
    const std::array<std::array<AppExecControl, 2>, 16> FAppExecControls;

    QListWidget* CheckListBoxAEBef = nullptr;
    QListWidget* ListBoxAEBStat = nullptr;
    QListWidget* ListBoxAEBCmd = nullptr;
    QListWidget* ListBoxAEBCmdParam = nullptr;
    QListWidget* ListBoxAEBTmpDir = nullptr;
    QListWidget* ListBoxAEBSTNormal = nullptr;
    QListWidget* ListBoxAEBSTMin = nullptr;
    QListWidget* ListBoxAEBSTMax = nullptr;
    QListWidget* ListBoxAEBWTWait = nullptr;
    QListWidget* ListBoxAEBWTNoWait = nullptr;
    QListWidget* ListBoxAEBWTNoWaitSec = nullptr;
    QToolButton* SpeedButtonAEBAdd = nullptr;
    QToolButton* SpeedButtonAEBDel = nullptr;
    QToolButton* SpeedButtonAEBUpd = nullptr;
    QToolButton* SpeedButtonAEBUp = nullptr;
    QToolButton* SpeedButtonAEBDown = nullptr;
    QListWidget* CheckListBoxAEAft = nullptr;
    QListWidget* ListBoxAEAStat = nullptr;
    QListWidget* ListBoxAEACmd = nullptr;
    QListWidget* ListBoxAEACmdParam = nullptr;
    QListWidget* ListBoxAEATmpDir = nullptr;
    QListWidget* ListBoxAEASTNormal = nullptr;
    QListWidget* ListBoxAEASTMin = nullptr;
    QListWidget* ListBoxAEASTMax = nullptr;
    QListWidget* ListBoxAEAWTWait = nullptr;
    QListWidget* ListBoxAEAWTNoWait = nullptr;
    QListWidget* ListBoxAEAWTNoWaitSec = nullptr;
    QToolButton* SpeedButtonAEAAdd = nullptr;
    QToolButton* SpeedButtonAEADel = nullptr;
    QToolButton* SpeedButtonAEAUpd = nullptr;
    QToolButton* SpeedButtonAEAUp = nullptr;
    QToolButton* SpeedButtonAEADown = nullptr;
    TDropDst* DropDstAEBef = nullptr;
    TDropDst* DropDstAEAft = nullptr;

    // The layout the settings file records for each hidden list (their lines are the lists').
    std::array<std::array<ListControlDescription, kAppEntryFieldNames.size()>, 2> FFieldLayouts;
    std::unique_ptr<TFormAppExecEnt> FFormAppExecEnt;
    // The path dropped on a list, from the drop until the add it starts has ended.
    std::string FDroppedPath;
};

} // namespace zbpg

#include "ui/pages/AppExecPage.h"

#include "base/Error.h"
#include "base/ScopeExit.h"
#include "controls/DROPDST.h"
#include "settings/RegMng.h"
#include "text/IntegerText.h"
#include "text/Texts.h"
#include "ui/AppExec.h"
#include "ui/Guarded.h"
#include "ui/pages/PageWidgets.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

namespace zbpg {
namespace {

constexpr std::array<AppList, 2> kLists{AppList::Before, AppList::After};
constexpr std::size_t kFieldCount = kAppEntryFieldNames.size();

// The rows of the control table.
constexpr std::size_t kCheckListRow = 0;
constexpr std::size_t kFirstFieldRow = 1;
constexpr std::size_t kFirstButtonRow = kFirstFieldRow + kFieldCount;

// What a list offers, in the order of its buttons (rows 11 to 15 of the control table) and of
// its context menu, whose items act as the list's buttons do.
struct ListAction {
    const char* suffix;  // of the button's name: SpeedButtonAEBAdd …
    const char* caption; // of the button; the hint of an arrow
    const char* menuItem;
    const char* beforeItemName; // the before and the after list's menu item
    const char* afterItemName;
};
constexpr std::array<ListAction, 5> kListActions{{
    {"Add", "追加", "　追加(&A)...", "PMAEAdd", "PMAEAAdd"},
    {"Del", "削除", "　削除(&D)", "PMAEDel", "PMAEADel"},
    {"Upd", "編集", "　編集(&E)...", "PMAEUpd", "PMAEAUpd"},
    {"Up", texts::kMoveUp, "上に移動(&F)", "PMAEBUp", "PMAEAUp"},
    {"Down", texts::kMoveDown, "下に移動(&B)", "PMAEBDown", "PMAEADown"},
}};
constexpr std::size_t kUpAction = 3;

template <typename Control> Control* namedAs(Control* control, const std::string& name) {
    control->setObjectName(QString::fromStdString(name));
    return control;
}

std::string stemOf(std::size_t column) {
    return appListStem(kLists[column]);
}

// How the controls of a list end their names: CheckListBoxAEBef, PopupMenuAEAft …
std::string sideOf(std::size_t column) {
    return column == 0 ? "Bef" : "Aft";
}

std::size_t columnOf(const QObject* sender) {
    return sender->property("Tag").toInt() == 1 ? 1 : 0;
}

QToolButton* createListButton(std::size_t action) {
    const QString caption = QString::fromUtf8(kListActions[action].caption);
    if (action < kUpAction)
        return speedButton(caption);
    return glyphButton(action == kUpAction ? QStyle::SP_ArrowUp : QStyle::SP_ArrowDown, caption);
}

// The first selected row among rows first to last, or -1.
int firstSelectedRow(const QListWidget* list, int first, int last) {
    for (int row = std::max(first, 0); row <= last && row < list->count(); ++row) {
        if (list->item(row)->isSelected())
            return row;
    }
    return -1;
}

int firstSelectedRow(const QListWidget* list) {
    return firstSelectedRow(list, 0, list->count() - 1);
}

const char* booleanText(bool value) {
    return value ? "1" : "0";
}

// The texts of an entry's fields as the hidden lists hold them; a new entry is on.
std::array<std::string, kFieldCount> fieldTexts(const AppEntry& entry) {
    return {"1",
            entry.command,
            entry.parameters,
            entry.folder,
            booleanText(entry.normal),
            booleanText(entry.minimized),
            booleanText(entry.maximized),
            booleanText(entry.wait),
            booleanText(entry.noWait),
            integerToText(entry.waitSeconds)};
}

std::vector<std::string> linesOf(const QListWidget* list) {
    std::vector<std::string> lines;
    for (int row = 0; row < list->count(); ++row)
        lines.push_back(list->item(row)->text().toStdString());
    return lines;
}

void showLines(QListWidget* list, const std::vector<std::string>& lines) {
    list->clear();
    for (const auto& line : lines)
        list->addItem(QString::fromStdString(line));
}

QListWidgetItem* checkedRow(const std::string& text, bool checked) {
    auto* item = new QListWidgetItem(QString::fromStdString(text));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    return item;
}

} // namespace

AppExecPage::AppExecPage(TRegManager& settings)
    : FAppExecControls{{
          {&AppExecPage::CheckListBoxAEBef, &AppExecPage::CheckListBoxAEAft},
          {&AppExecPage::ListBoxAEBStat, &AppExecPage::ListBoxAEAStat},
          {&AppExecPage::ListBoxAEBCmd, &AppExecPage::ListBoxAEACmd},
          {&AppExecPage::ListBoxAEBCmdParam, &AppExecPage::ListBoxAEACmdParam},
          {&AppExecPage::ListBoxAEBTmpDir, &AppExecPage::ListBoxAEATmpDir},
          {&AppExecPage::ListBoxAEBSTNormal, &AppExecPage::ListBoxAEASTNormal},
          {&AppExecPage::ListBoxAEBSTMin, &AppExecPage::ListBoxAEASTMin},
          {&AppExecPage::ListBoxAEBSTMax, &AppExecPage::ListBoxAEASTMax},
          {&AppExecPage::ListBoxAEBWTWait, &AppExecPage::ListBoxAEAWTWait},
          {&AppExecPage::ListBoxAEBWTNoWait, &AppExecPage::ListBoxAEAWTNoWait},
          {&AppExecPage::ListBoxAEBWTNoWaitSec, &AppExecPage::ListBoxAEAWTNoWaitSec},
          {&AppExecPage::SpeedButtonAEBAdd, &AppExecPage::SpeedButtonAEAAdd},
          {&AppExecPage::SpeedButtonAEBDel, &AppExecPage::SpeedButtonAEADel},
          {&AppExecPage::SpeedButtonAEBUpd, &AppExecPage::SpeedButtonAEAUpd},
          {&AppExecPage::SpeedButtonAEBUp, &AppExecPage::SpeedButtonAEAUp},
          {&AppExecPage::SpeedButtonAEBDown, &AppExecPage::SpeedButtonAEADown},
      }},
      FFormAppExecEnt(std::make_unique<TFormAppExecEnt>(settings)) {
    setObjectName("TabSheetAppExec");
    const Options factory = factoryOptions();
    for (std::size_t column = 0; column < kLists.size(); ++column) {
        FFieldLayouts[column] = factory.appList(kLists[column]).fields;
        createControls(column);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label("チェックをONにしたアプリケーションを上から順に起動します"));
    layout->addWidget(createListBox(0, "描画前に起動するアプリケーション"), 1);
    layout->addWidget(createListBox(1, "描画後に起動するアプリケーション"), 1);
    for (std::size_t column = 0; column < kLists.size(); ++column)
        connectHandlers(column);
}

AppExecPage::~AppExecPage() = default;

// ---- the controls --------------------------------------------------------------------------

QListWidget* AppExecPage::checkList(std::size_t column) const {
    return this->*std::get<ListMember>(FAppExecControls[kCheckListRow][column]);
}

QListWidget* AppExecPage::fieldList(std::size_t column, AppEntryField field) const {
    const std::size_t row = kFirstFieldRow + static_cast<std::size_t>(field);
    return this->*std::get<ListMember>(FAppExecControls[row][column]);
}

QToolButton* AppExecPage::listButton(std::size_t row, std::size_t column) const {
    return this->*std::get<ButtonMember>(FAppExecControls[row][column]);
}

void AppExecPage::createControls(std::size_t column) {
    const std::string stem = stemOf(column);
    const int tag = static_cast<int>(column);
    auto* visible = namedAs(zbpg::checkList(), "CheckListBoxAE" + sideOf(column));
    visible->setProperty("Tag", tag);
    this->*std::get<ListMember>(FAppExecControls[kCheckListRow][column]) = visible;
    for (std::size_t field = 0; field < kFieldCount; ++field) {
        // Hidden: the lists only hold the fields, row by row with the visible list.
        auto* list = namedAs(new QListWidget(this), "ListBox" + stem + kAppEntryFieldNames[field]);
        list->hide();
        this->*std::get<ListMember>(FAppExecControls[kFirstFieldRow + field][column]) = list;
    }
    for (std::size_t action = 0; action < kListActions.size(); ++action) {
        auto* button =
            namedAs(createListButton(action), "SpeedButton" + stem + kListActions[action].suffix);
        if (action < kUpAction)
            button->setMinimumWidth(48);
        button->setProperty("Tag", tag);
        this->*std::get<ButtonMember>(FAppExecControls[kFirstButtonRow + action][column]) = button;
    }
    (column == 0 ? DropDstAEBef : DropDstAEAft) =
        namedAs(new TDropDst(this), "DropDstAE" + sideOf(column));
}

QWidget* AppExecPage::createListBox(std::size_t column, const char* caption) {
    auto* box = new QGroupBox(QString::fromUtf8(caption));
    auto* boxLayout = new QHBoxLayout(box);
    auto* buttons = new QVBoxLayout;
    for (std::size_t action = 0; action < kUpAction; ++action)
        buttons->addWidget(listButton(kFirstButtonRow + action, column));
    auto* arrows = new QHBoxLayout;
    arrows->addWidget(listButton(kFirstButtonRow + kUpAction, column));
    arrows->addWidget(listButton(kFirstButtonRow + kUpAction + 1, column));
    buttons->addLayout(arrows);
    buttons->addStretch();
    boxLayout->addWidget(checkList(column), 1);
    boxLayout->addLayout(buttons);
    return box;
}

QMenu* AppExecPage::createPopupMenu(std::size_t column) {
    auto* menu = namedAs(new QMenu(this), "PopupMenuAE" + sideOf(column));
    for (std::size_t action = 0; action < kListActions.size(); ++action) {
        const ListAction& item = kListActions[action];
        if (action == kUpAction)
            menu->addSeparator();
        QAction* menuItem = menu->addAction(QString::fromUtf8(item.menuItem));
        menuItem->setObjectName(column == 0 ? item.beforeItemName : item.afterItemName);
        // An item acts as the list's own button, so the handler finds its list by the Tag.
        QToolButton* button = listButton(kFirstButtonRow + action, column);
        connect(menuItem, &QAction::triggered, button, &QToolButton::click);
    }
    return menu;
}

void AppExecPage::connectHandlers(std::size_t column) {
    using Handler = void (AppExecPage::*)(QObject*);
    constexpr std::array<Handler, kListActions.size()> handlers{
        &AppExecPage::SpeedButtonAEBAddClick, &AppExecPage::SpeedButtonAEBDelClick,
        &AppExecPage::SpeedButtonAEBUpdClick, &AppExecPage::SpeedButtonAEBUpClick,
        &AppExecPage::SpeedButtonAEBDownClick};
    for (std::size_t action = 0; action < handlers.size(); ++action) {
        QToolButton* button = listButton(kFirstButtonRow + action, column);
        onClick(button, this,
                [this, button, handler = handlers[action]] { (this->*handler)(button); });
    }
    QListWidget* list = checkList(column);
    connect(list, &QListWidget::itemChanged, this, [this, list](QListWidgetItem* item) {
        runGuarded([&] { CheckListBoxAEBefClickCheck(list, item); });
    });
    connect(list, &QListWidget::itemDoubleClicked, this,
            [this, list] { runGuarded([&] { SpeedButtonAEBUpdClick(list); }); });
    QMenu* menu = createPopupMenu(column);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this,
            [list, menu](const QPoint& at) { menu->popup(list->viewport()->mapToGlobal(at)); });
    TDropDst* drop = column == 0 ? DropDstAEBef : DropDstAEAft;
    drop->SetControl(list);
    drop->OnFileDrop = [this, column](QObject*, const std::vector<std::string>& files, int, int) {
        dropFiles(column, files);
    };
}

// ---- the options ---------------------------------------------------------------------------

void AppExecPage::showOptions(const Options& options) {
    for (std::size_t column = 0; column < kLists.size(); ++column) {
        const auto& stored = options.appList(kLists[column]);
        FFieldLayouts[column] = stored.fields;
        for (std::size_t field = 0; field < kFieldCount; ++field)
            showLines(fieldList(column, static_cast<AppEntryField>(field)),
                      stored.fields[field].lines);
        // The rows come as the load built them; showing them toggles nothing.
        const QSignalBlocker quiet(checkList(column));
        showRows(checkList(column), stored.rows);
    }
}

void AppExecPage::takeOptions(Options& options) const {
    for (std::size_t column = 0; column < kLists.size(); ++column) {
        auto& stored = options.appList(kLists[column]);
        stored.fields = FFieldLayouts[column];
        for (std::size_t field = 0; field < kFieldCount; ++field)
            stored.fields[field].lines =
                linesOf(fieldList(column, static_cast<AppEntryField>(field)));
        stored.rows = rowsOf(checkList(column));
    }
}

// ---- the handlers --------------------------------------------------------------------------

void AppExecPage::SpeedButtonAEBAddClick(QObject* Sender) {
    const ScopeExit forgetDrop([this] { FDroppedPath.clear(); });
    const std::size_t column = columnOf(Sender);
    AppEntry entry;
    entry.command = FDroppedPath;
    if (!editEntry(entry))
        return;
    insertEntry(column, checkList(column)->count(), entry);
    emit changed();
}

void AppExecPage::SpeedButtonAEBDelClick(QObject* Sender) {
    const std::size_t column = columnOf(Sender);
    const int row = firstSelectedRow(checkList(column));
    if (row < 0)
        return;
    deleteEntry(column, row);
    emit changed();
}

void AppExecPage::SpeedButtonAEBUpdClick(QObject* Sender) {
    const std::size_t column = columnOf(Sender);
    const int row = firstSelectedRow(checkList(column));
    if (row < 0)
        return;
    AppEntry entry = entryAt(column, row);
    if (editEntry(entry))
        replaceEntry(column, row, entry);
    emit changed(); // also after Cancel
}

void AppExecPage::SpeedButtonAEBUpClick(QObject* Sender) {
    const std::size_t column = columnOf(Sender);
    const QListWidget* list = checkList(column);
    const int row = firstSelectedRow(list, 1, list->count() - 1);
    if (row < 0)
        return;
    exchangeEntries(column, row, row - 1);
    emit changed();
}

void AppExecPage::SpeedButtonAEBDownClick(QObject* Sender) {
    const std::size_t column = columnOf(Sender);
    const QListWidget* list = checkList(column);
    const int row = firstSelectedRow(list, 0, list->count() - 2);
    if (row < 0)
        return;
    exchangeEntries(column, row, row + 1);
    emit changed();
}

void AppExecPage::CheckListBoxAEBefClickCheck(QObject* Sender, QListWidgetItem* item) {
    const std::size_t column = columnOf(Sender);
    const int row = checkList(column)->row(item);
    if (row < 0)
        return;
    padFieldLists(column);
    fieldList(column, AppEntryField::Stat)
        ->item(row)
        ->setText(booleanText(item->checkState() == Qt::Checked));
    emit changed();
}

// The editor opens once the drop has returned: a modal dialog run inside the drop would take
// drops of its own while the file manager's drag is still under way, which the X connection
// does not survive.
void AppExecPage::dropFiles(std::size_t column, const std::vector<std::string>& files) {
    if (files.empty())
        return;
    const auto add = [this, column, path = files.front()] {
        runGuarded([&] {
            FDroppedPath = path;
            SpeedButtonAEBAddClick(listButton(kFirstButtonRow, column));
        });
    };
    QMetaObject::invokeMethod(this, add, Qt::QueuedConnection);
}

// ---- entries -------------------------------------------------------------------------------

bool AppExecPage::editEntry(AppEntry& entry) {
    TFormAppExecEnt& dialog = *FFormAppExecEnt;
    dialog.placeOver(*window());
    dialog.setEntry(entry);
    if (!dialog.ShowModal())
        return false;
    entry = dialog.entry();
    return true;
}

AppEntry AppExecPage::entryAt(std::size_t column, int row) const {
    const auto text = [&](AppEntryField field) {
        const QListWidgetItem* item = fieldList(column, field)->item(row);
        return item != nullptr ? item->text().toStdString() : std::string();
    };
    const auto number = [&](AppEntryField field) {
        const std::string value = text(field);
        if (const auto parsed = parseIntegerText(value))
            return *parsed;
        const std::string key =
            stemOf(column) + kAppEntryFieldNames[static_cast<std::size_t>(field)];
        throw Error(withSettingsKey(formatMessage(texts::kNotAnInteger, value), "AppExec", key));
    };
    AppEntry entry;
    entry.command = text(AppEntryField::Cmd);
    entry.parameters = text(AppEntryField::CmdParam);
    entry.folder = text(AppEntryField::TmpDir);
    entry.normal = number(AppEntryField::STNormal) != 0;
    entry.minimized = number(AppEntryField::STMin) != 0;
    entry.maximized = number(AppEntryField::STMax) != 0;
    entry.wait = number(AppEntryField::WTWait) != 0;
    entry.noWait = number(AppEntryField::WTNoWait) != 0;
    entry.waitSeconds = number(AppEntryField::WTNoWaitSec);
    return entry;
}

void AppExecPage::padFieldLists(std::size_t column) {
    const int rows = checkList(column)->count();
    for (std::size_t field = 0; field < kFieldCount; ++field) {
        QListWidget* list = fieldList(column, static_cast<AppEntryField>(field));
        while (list->count() < rows)
            list->addItem(QString());
    }
}

void AppExecPage::insertEntry(std::size_t column, int row, const AppEntry& entry) {
    padFieldLists(column);
    const auto texts = fieldTexts(entry);
    for (std::size_t field = 0; field < kFieldCount; ++field)
        fieldList(column, static_cast<AppEntryField>(field))
            ->insertItem(row, QString::fromStdString(texts[field]));
    checkList(column)->insertItem(row, checkedRow(entry.command, true));
}

void AppExecPage::replaceEntry(std::size_t column, int row, const AppEntry& entry) {
    padFieldLists(column);
    const auto texts = fieldTexts(entry);
    // Every field but Stat: the entry keeps its check.
    for (std::size_t field = 1; field < kFieldCount; ++field)
        fieldList(column, static_cast<AppEntryField>(field))
            ->item(row)
            ->setText(QString::fromStdString(texts[field]));
    const QSignalBlocker quiet(checkList(column));
    checkList(column)->item(row)->setText(QString::fromStdString(entry.command));
}

void AppExecPage::deleteEntry(std::size_t column, int row) {
    for (std::size_t control = kCheckListRow; control < kFirstButtonRow; ++control) {
        QListWidget* list = this->*std::get<ListMember>(FAppExecControls[control][column]);
        if (row < list->count())
            delete list->takeItem(row);
    }
}

void AppExecPage::exchangeEntries(std::size_t column, int row, int other) {
    padFieldLists(column);
    for (std::size_t field = 0; field < kFieldCount; ++field) {
        QListWidget* list = fieldList(column, static_cast<AppEntryField>(field));
        const QString text = list->item(row)->text();
        list->item(row)->setText(list->item(other)->text());
        list->item(other)->setText(text);
    }
    moveSelectedRow(checkList(column), row, other);
}

} // namespace zbpg

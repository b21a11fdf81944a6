#include "ui/pages/WallpaperPage.h"

#include "common/zbpg_common.h"
#include "controls/DROPDST.h"
#include "controls/OpenDialogEx.h"
#include "controls/PanelEx.h"
#include "controls/SHBFFEX.h"
#include "platform/desktop/DesktopService.h"
#include "rotation/ImageFiles.h"
#include "settings/RegMng.h"
#include "settings/Schema.h"
#include "text/Texts.h"
#include "ui/Guarded.h"
#include "ui/pages/PageWidgets.h"

#include <QCheckBox>
#include <QCursor>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

namespace zbpg {
namespace {

// The folder both choosers start in, and the filter the file chooser shows first.
constexpr const char* kFileDirItem = settingsItemName("WPFileDir");
constexpr const char* kFilterIndexItem = settingsItemName("WPFilterIdx");

std::string imageFilter() {
    return std::string("ビットマップファイル(*.bmp)|*.bmp|"
                       "JPEGファイル(*.jpg;*.jpe;*.jpeg)|*.jpg;*.jpe;*.jpeg|"
                       "画像ファイル(*.bmp;*.jpg;*.jpe;*.jpeg)|*.bmp;*.jpg;*.jpe;*.jpeg|") +
           texts::kAllFilesFilter;
}

std::string statusOf(bool checked) {
    return checked ? "1" : "0";
}

QAction* menuItem(QMenu* menu, const char* name, const char* caption) {
    return named(menu->addAction(QString::fromUtf8(caption)), name);
}

void onTriggered(QAction* item, QObject* context, std::function<void()> handler) {
    QObject::connect(item, &QAction::triggered, context,
                     [handler = std::move(handler)] { runGuarded(handler); });
}

} // namespace

WallpaperPage::WallpaperPage(TRegManager& settings, TOpenDialogEx& openDialog,
                             TSHBrowseForFolderEx& folderDialog)
    : CheckBoxWallpaper(named(new QCheckBox("壁紙を変更・描画する"), "CheckBoxWallpaper")),
      PanelExWallPaper(named(new TPanelEx, "PanelExWallPaper")),
      CheckListBoxWPList(named(checkList(), "CheckListBoxWPList")),
      SpeedButtonWPOpen(
          named(glyphButton(QStyle::SP_DialogOpenButton, "開く（追加）"), "SpeedButtonWPOpen")),
      SpeedButtonWPDel(
          named(glyphButton(QStyle::SP_DialogDiscardButton, "削除"), "SpeedButtonWPDel")),
      SpeedButtonWPAllDel(
          named(glyphButton(QStyle::SP_TrashIcon, "全て削除"), "SpeedButtonWPAllDel")),
      SpeedButtonWPAllOn(named(glyphButton(QStyle::SP_DialogApplyButton, "全てのチェックをON"),
                               "SpeedButtonWPAllOn")),
      SpeedButtonWPAllOff(named(glyphButton(QStyle::SP_DialogCancelButton, "全てのチェックをOFF"),
                                "SpeedButtonWPAllOff")),
      SpeedButtonWPUp(named(glyphButton(QStyle::SP_ArrowUp, texts::kMoveUp), "SpeedButtonWPUp")),
      SpeedButtonWPDown(
          named(glyphButton(QStyle::SP_ArrowDown, texts::kMoveDown), "SpeedButtonWPDown")),
      SpeedButtonProperty(named(speedButton("「画面のプロパティ」を開く"), "SpeedButtonProperty")),
      CheckBoxWPSubFolder(named(new QCheckBox("フォルダ指定時に配下のサブフォルダも対象にする"),
                                "CheckBoxWPSubFolder")),
      RadioButtonWPPCenter(named(new QRadioButton("中央に表示"), "RadioButtonWPPCenter")),
      RadioButtonWPPEnum(named(new QRadioButton("並べて表示"), "RadioButtonWPPEnum")),
      RadioButtonWPPSpread(named(new QRadioButton("拡大して表示"), "RadioButtonWPPSpread")),
      RadioButtonWPSRandom(named(new QRadioButton("ランダムに表示"), "RadioButtonWPSRandom")),
      RadioButtonWPSSeq(named(new QRadioButton("上から順番に表示"), "RadioButtonWPSSeq")),
      DropDstWallpaper(named(new TDropDst(this), "DropDstWallpaper")),
      PopupMenuWallpaper(named(new QMenu(this), "PopupMenuWallpaper")),
      PopupMenuWPList(named(new QMenu(this), "PopupMenuWPList")), m_settings(settings),
      m_openDialog(openDialog), m_folderDialog(folderDialog) {
    setObjectName("TabSheetWallpaper");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CheckBoxWallpaper);

    auto* panel = new QVBoxLayout(PanelExWallPaper);
    panel->setContentsMargins(0, 0, 0, 0);
    auto* listRow = new QHBoxLayout;
    auto* buttons = new QVBoxLayout;
    for (auto* button :
         {SpeedButtonWPOpen, SpeedButtonWPDel, SpeedButtonWPAllDel, SpeedButtonWPAllOn,
          SpeedButtonWPAllOff, SpeedButtonWPUp, SpeedButtonWPDown})
        buttons->addWidget(button);
    buttons->addStretch();
    listRow->addWidget(CheckListBoxWPList, 1);
    listRow->addLayout(buttons);
    panel->addLayout(listRow, 1);
    panel->addWidget(CheckBoxWPSubFolder);

    auto* options = new QHBoxLayout;
    auto* position = new QGroupBox("壁紙の表示位置");
    auto* positionLayout = new QVBoxLayout(position);
    for (auto* radio : {RadioButtonWPPCenter, RadioButtonWPPEnum, RadioButtonWPPSpread})
        positionLayout->addWidget(radio);
    auto* order = new QGroupBox("壁紙の選択方法");
    auto* orderLayout = new QVBoxLayout(order);
    orderLayout->addWidget(RadioButtonWPSRandom);
    orderLayout->addWidget(RadioButtonWPSSeq);
    orderLayout->addStretch();
    options->addWidget(position);
    options->addWidget(order);
    panel->addLayout(options);

    auto* property = new QHBoxLayout;
    property->addStretch();
    property->addWidget(SpeedButtonProperty);
    panel->addLayout(property);
    layout->addWidget(PanelExWallPaper, 1);

    DropDstWallpaper->SetControl(CheckListBoxWPList);
    connect(CheckBoxWallpaper, &QAbstractButton::toggled, this,
            [this] { CheckBoxWallpaperClick(); });
    onClick(SpeedButtonProperty, this, [this] { SpeedButtonPropertyClick(); });
    connectListEditing();
}

// The buttons beside the list, the same edits in the list's own menu, the add menu, the
// drop target and the check boxes of the rows.
void WallpaperPage::connectListEditing() {
    auto* open = menuItem(PopupMenuWPList, "PMWPOpen", "開く(&O)...");
    onClick(SpeedButtonWPOpen, this, [this] { SpeedButtonWPOpenClick(SpeedButtonWPOpen); });
    onTriggered(open, this, [this, open] { SpeedButtonWPOpenClick(open); });
    struct Edit {
        QToolButton* button; // none: a separator
        const char* item;
        const char* caption;
        void (WallpaperPage::*handler)();
    };
    const Edit edits[] = {
        {SpeedButtonWPDel, "PMWPDel", "削除(&D)", &WallpaperPage::SpeedButtonWPDelClick},
        {SpeedButtonWPAllDel, "PMWPAllDel", "全て削除(&A)",
         &WallpaperPage::SpeedButtonWPAllDelClick},
        {nullptr, "PMWPList", nullptr, nullptr},
        {SpeedButtonWPAllOn, "PMWPAllOn", "全てON(&S)", &WallpaperPage::SpeedButtonWPAllOnClick},
        {SpeedButtonWPAllOff, "PMWPAllOff", "全てOFF(&U)",
         &WallpaperPage::SpeedButtonWPAllOffClick},
        {nullptr, "PMWPList2", nullptr, nullptr},
        {SpeedButtonWPUp, "PMWPUp", "上に移動(&F)", &WallpaperPage::SpeedButtonWPUpClick},
        {SpeedButtonWPDown, "PMWPDown", "下に移動(&B)", &WallpaperPage::SpeedButtonWPDownClick},
    };
    for (const Edit& edit : edits) {
        if (edit.button == nullptr) {
            named(PopupMenuWPList->addSeparator(), edit.item);
            continue;
        }
        const auto run = [this, handler = edit.handler] { (this->*handler)(); };
        onClick(edit.button, this, run);
        onTriggered(menuItem(PopupMenuWPList, edit.item, edit.caption), this, run);
    }
    CheckListBoxWPList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(CheckListBoxWPList, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
        PopupMenuWPList->popup(CheckListBoxWPList->viewport()->mapToGlobal(at));
    });

    onTriggered(menuItem(PopupMenuWallpaper, "PMFolderSelect", "フォルダ選択(&D)..."), this,
                [this] { PMFolderSelectClick(); });
    onTriggered(menuItem(PopupMenuWallpaper, "PMFileSelect", "ファイル選択(&F)..."), this,
                [this] { PMFileSelectClick(); });
    menuItem(PopupMenuWallpaper, "PMCancel", "キャンセル(&C)"); // only closes the menu

    DropDstWallpaper->OnFileDrop = [this](QObject*, const std::vector<std::string>& files, int,
                                          int) {
        runGuarded([&] { DropDstWallpaperFileDrop(files); });
    };
    connect(CheckListBoxWPList, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        runGuarded([&] { CheckListBoxWPListClickCheck(item); });
    });
}

void WallpaperPage::showOptions(const Options& options) {
    const auto& wallpaper = options.wallpaper;
    CheckBoxWallpaper->setChecked(wallpaper.draw);
    CheckBoxWPSubFolder->setChecked(wallpaper.subFolder);
    showButtons<WallpaperPosition, 3>(
        {RadioButtonWPPCenter, RadioButtonWPPEnum, RadioButtonWPPSpread}, wallpaper.position);
    showButtons<WallpaperOrder, 2>({RadioButtonWPSRandom, RadioButtonWPSSeq}, wallpaper.order);
    m_stat = wallpaper.stat;
    m_file = wallpaper.file;
    const QSignalBlocker asStored(CheckListBoxWPList); // showing the rows toggles no check
    showRows(CheckListBoxWPList, wallpaper.rows);
}

void WallpaperPage::takeOptions(Options& options) const {
    auto& wallpaper = options.wallpaper;
    wallpaper.draw = CheckBoxWallpaper->isChecked();
    wallpaper.subFolder = CheckBoxWPSubFolder->isChecked();
    takeButtons<WallpaperPosition, 3>(
        {RadioButtonWPPCenter, RadioButtonWPPEnum, RadioButtonWPPSpread}, wallpaper.position);
    takeButtons<WallpaperOrder, 2>({RadioButtonWPSRandom, RadioButtonWPSSeq}, wallpaper.order);
    wallpaper.stat = m_stat;
    wallpaper.file = m_file;
    wallpaper.rows = rowsOf(CheckListBoxWPList);
}

void WallpaperPage::CheckBoxWallpaperClick() {
    PanelExWallPaper->SetEnabled(CheckBoxWallpaper->isChecked());
    emit changed();
}

void WallpaperPage::SpeedButtonPropertyClick() {
    // The display settings of the desktop; nothing is shown when there are none.
    (void)platform::desktopService().openDisplaySettings();
}

void WallpaperPage::SpeedButtonWPOpenClick(const QObject* sender) {
    const QPoint at = sender == SpeedButtonWPOpen
                          ? SpeedButtonWPOpen->mapToGlobal(QPoint(0, SpeedButtonWPOpen->height()))
                          : QCursor::pos();
    PopupMenuWallpaper->popup(at);
}

// Added entries mark the settings changed before the chooser's folder is remembered, so that
// they are never lost to a settings file that cannot be written.
void WallpaperPage::PMFolderSelectClick() {
    const std::string dir = m_settings.ItemFiler(kFileDirItem).ReadString();
    const bool remembered = GetPathKind(dir) == PathKind::Folder;
    m_folderDialog.SelectFolder = remembered ? sfManual : sfDrives;
    m_folderDialog.SelectFolderName = remembered ? dir : std::string();
    m_folderDialog.Caption = "フォルダを選択してください";
    if (!m_folderDialog.Execute() || m_folderDialog.FolderPath().empty())
        return;
    appendEntry(m_folderDialog.FolderPath());
    emit changed();
    m_settings.ItemFiler(kFileDirItem).WriteString(m_folderDialog.FolderPath());
}

void WallpaperPage::PMFileSelectClick() {
    const std::string dir = m_settings.ItemFiler(kFileDirItem).ReadString();
    m_openDialog.InitialDir = GetPathKind(dir) == PathKind::Folder ? dir : std::string();
    m_openDialog.FileName.clear();
    m_openDialog.Filter = imageFilter();
    m_openDialog.AllowMultiSelect = true;
    m_openDialog.FilterIndex = m_settings.ItemFiler(kFilterIndexItem).ReadInteger();
    m_openDialog.Files.clear();
    if (!m_openDialog.Execute())
        return;
    if (appendEntries(m_openDialog.Files))
        emit changed();
    // The folder of the first chosen file, also when that file was no picture.
    m_settings.ItemFiler(kFileDirItem).WriteString(ExtractFileDir(m_openDialog.Files.front()));
    m_settings.ItemFiler(kFilterIndexItem).WriteInteger(m_openDialog.FilterIndex);
}

void WallpaperPage::DropDstWallpaperFileDrop(const std::vector<std::string>& files) {
    if (appendEntries(files))
        emit changed();
}

void WallpaperPage::SpeedButtonWPDelClick() {
    const int row = selectedRow(0, CheckListBoxWPList->count() - 1);
    if (row < 0)
        return;
    keepInStep();
    delete CheckListBoxWPList->takeItem(row);
    m_stat.lines.erase(m_stat.lines.begin() + row);
    m_file.lines.erase(m_file.lines.begin() + row);
    emit changed();
}

void WallpaperPage::SpeedButtonWPAllDelClick() {
    if (CheckListBoxWPList->count() == 0)
        return;
    CheckListBoxWPList->clear();
    m_stat.lines.clear();
    m_file.lines.clear();
    emit changed();
}

void WallpaperPage::SpeedButtonWPAllOnClick() {
    checkAll(true);
}

void WallpaperPage::SpeedButtonWPAllOffClick() {
    checkAll(false);
}

void WallpaperPage::SpeedButtonWPUpClick() {
    const int row = selectedRow(1, CheckListBoxWPList->count() - 1);
    if (row >= 0)
        moveRow(row, row - 1);
}

void WallpaperPage::SpeedButtonWPDownClick() {
    const int row = selectedRow(0, CheckListBoxWPList->count() - 2);
    if (row >= 0)
        moveRow(row, row + 1);
}

// The user toggled the row's check box, by mouse or by the space bar.
void WallpaperPage::CheckListBoxWPListClickCheck(const QListWidgetItem* item) {
    keepInStep();
    m_stat.lines.at(static_cast<std::size_t>(CheckListBoxWPList->row(item))) =
        statusOf(item->checkState() == Qt::Checked);
    emit changed();
}

// Folders and pictures are added; anything else is left out without a word. A missing picture
// is added all the same and skipped by the rotation while it is missing.
bool WallpaperPage::appendEntries(const std::vector<std::string>& paths) {
    bool added = false;
    for (const std::string& path : paths) {
        if (GetPathKind(path) == PathKind::Folder || isWallpaperImage(path)) {
            appendEntry(path);
            added = true;
        }
    }
    return added;
}

// New entries are checked and go to the end of the list.
void WallpaperPage::appendEntry(const std::string& path) {
    keepInStep();
    auto* item = new QListWidgetItem(QString::fromStdString(path));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Checked);
    CheckListBoxWPList->addItem(item);
    m_stat.lines.emplace_back(statusOf(true));
    m_file.lines.push_back(path);
}

// Marks the settings changed only when a row changed.
void WallpaperPage::checkAll(bool checked) {
    keepInStep();
    const QSignalBlocker notByUser(CheckListBoxWPList);
    const Qt::CheckState state = checked ? Qt::Checked : Qt::Unchecked;
    bool any = false;
    for (int row = 0; row < CheckListBoxWPList->count(); ++row) {
        QListWidgetItem* item = CheckListBoxWPList->item(row);
        if (item->checkState() == state)
            continue;
        item->setCheckState(state);
        m_stat.lines[static_cast<std::size_t>(row)] = statusOf(checked);
        any = true;
    }
    if (any)
        emit changed();
}

// The row changes places with its neighbour, taking its check along, and stays selected.
void WallpaperPage::moveRow(int row, int to) {
    keepInStep();
    moveSelectedRow(CheckListBoxWPList, row, to);
    std::swap(m_stat.lines[static_cast<std::size_t>(row)],
              m_stat.lines[static_cast<std::size_t>(to)]);
    std::swap(m_file.lines[static_cast<std::size_t>(row)],
              m_file.lines[static_cast<std::size_t>(to)]);
    emit changed();
}

// A hand-edited settings file may hold more or fewer hidden lines than there are rows. Before
// an edit each row gets exactly its own two lines, so that from then on all three move
// together; until the list is edited the lines are kept as they were read.
void WallpaperPage::keepInStep() {
    const std::vector<CheckListRow> rows = rowsOf(CheckListBoxWPList);
    for (auto* lines : {&m_stat.lines, &m_file.lines})
        lines->resize(std::min(lines->size(), rows.size()));
    for (std::size_t i = m_stat.lines.size(); i < rows.size(); ++i)
        m_stat.lines.emplace_back(statusOf(rows[i].checked));
    for (std::size_t i = m_file.lines.size(); i < rows.size(); ++i)
        m_file.lines.push_back(rows[i].text);
}

int WallpaperPage::selectedRow(int first, int last) const {
    for (int row = std::max(first, 0); row <= last; ++row) {
        if (CheckListBoxWPList->item(row)->isSelected())
            return row;
    }
    return -1;
}

} // namespace zbpg

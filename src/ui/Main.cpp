#include "ui/Main.h"

#include "base/Error.h"
#include "base/ScopeExit.h"
#include "common/zbpg_common.h"
#include "controls/OpenDialogEx.h"
#include "controls/SHBFFEX.h"
#include "draw/BusyRun.h"
#include "draw/DrawRun.h"
#include "options/OptionsStore.h"
#include "platform/desktop/DesktopService.h"
#include "platform/dialogs/MessageService.h"
#include "rotation/NextWallpaper.h"
#include "settings/Schema.h"
#include "text/Texts.h"
#include "ui/Guarded.h"
#include "ui/MultiRowTabWidget.h"
#include "ui/PositionPickerWindow.h"
#include "ui/pages/AppExecPage.h"
#include "ui/pages/FreeMessagePage.h"
#include "ui/pages/MonitorFramePage.h"
#include "ui/pages/PageWidgets.h"
#include "ui/pages/SetEnvPage.h"
#include "ui/pages/SysInfoPage.h"
#include "ui/pages/VersionPage.h"
#include "ui/pages/WallpaperPage.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>
#include <cstdio>

namespace zbpg {
namespace {

constexpr int kClientWidth = 443;
constexpr int kClientHeight = 401;

// The help glyph: themes without icons would show a broken image for the standard one.
QIcon helpGlyph() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 80, 170));
    painter.drawEllipse(0, 0, 16, 16);
    painter.setPen(Qt::white);
    painter.setFont(pixelFont("sans", 12, true));
    painter.drawText(pixmap.rect(), Qt::AlignCenter, "?");
    return QIcon(pixmap);
}

// The stored lists as a reset leaves them: the draw sequence in its first order, every other
// list empty.
void resetStoredLists(Options& options) {
    options.drawing.drawSeq.lines = shippedDrawSequence().lines;
    auto& wallpaper = options.wallpaper;
    wallpaper.rows.clear();
    wallpaper.stat.lines.clear();
    wallpaper.file.lines.clear();
    for (auto& list : options.appLists) {
        list.rows.clear();
        for (auto& field : list.fields)
            field.lines.clear();
    }
}

// The colour and fonts of a new installation, which a reset puts back (a missing file keeps
// the fonts as they are).
void restoreFactoryLook(Options& options) {
    const Options factory = factoryOptions();
    options.monitorFrame.color = factory.monitorFrame.color;
    options.monitorFrame.font = factory.monitorFrame.font;
    for (std::size_t i = 0; i < kSystemInfoLines; ++i)
        options.systemInfo[i].font = factory.systemInfo[i].font;
    options.freeMessage.font = factory.freeMessage.font;
}

// The texts of the items the program's parts write at once (the choosers' folders, the filter
// index, the last wallpaper's index), in schema order.
std::vector<std::string> partItemTexts(TRegManager& settings) {
    std::vector<std::string> texts;
    for (const SettingsItem& item : kSettingsItems) {
        if (item.writer == ItemWriter::ItsPart)
            texts.push_back(settings.ItemFiler(item.name).ReadString());
    }
    return texts;
}

} // namespace

TFormMain::TFormMain(ProgramFiles files, QWidget* parent)
    : QWidget(parent), FFiles(std::move(files)), OpenDialogEx(new TOpenDialogEx(this)),
      FormWallpaper(new TFormWallpaper(this)),
      SHBrowseForFolderEx(named(new TSHBrowseForFolderEx(this), "SHBrowseForFolderEx")),
      PageControlEnv(named(new MultiRowTabWidget, "PageControlEnv")),
      TabSheetSetEnv(new SetEnvPage(FFiles.startUpLink, FFiles.programFile)),
      TabSheetWallpaper(new WallpaperPage(RegManager, *OpenDialogEx, *SHBrowseForFolderEx)),
      TabSheetMonitorFrame(new MonitorFramePage), TabSheetSysInfo(new SysInfoPage(*FormWallpaper)),
      TabSheetFree(new FreeMessagePage(RegManager, *OpenDialogEx, *FormWallpaper)),
      TabSheetAppExec(new AppExecPage(RegManager)), TabSheetVersion(new VersionPage) {
    openSettings(RegManager, FFiles.iniFile, FFiles.seedIniFile);
    setWindowTitle(texts::kProgramName);
    setFixedSize(kClientWidth, kClientHeight);
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    QWidget::setFont(pixelFont("ＭＳ Ｐゴシック", 12));
    OpenDialogEx->Title = texts::kChooseFileTitle;
    // Both choosers take existing files only: a message file or a picture that is not there
    // would only fail later.
    OpenDialogEx->FileMustExist = true;

    PageControlEnv->addTab(TabSheetSetEnv, "設定");
    PageControlEnv->addTab(TabSheetWallpaper, "壁紙設定");
    PageControlEnv->addTab(TabSheetMonitorFrame, texts::kScreenSizeItem);
    PageControlEnv->addTab(TabSheetSysInfo, texts::kSystemInfoItem);
    PageControlEnv->addTab(TabSheetFree, texts::kFreeMessageItem);
    PageControlEnv->addTab(TabSheetAppExec, "外部アプリ起動");
    PageControlEnv->addTab(TabSheetVersion, "バージョン情報");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);
    layout->addWidget(PageControlEnv, 1);
    layout->addWidget(createButtonRow());

    connectHandlers();
    applyScreenBounds(currentScreen());
    showOptions(factoryOptions());
    ButtonSave->setEnabled(false);
}

TFormMain::~TFormMain() = default;

QWidget* TFormMain::createButtonRow() {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    ButtonDraw = named(new QPushButton("試しに描画"), "ButtonDraw");
    ButtonWallpaperDraw = named(new QPushButton("元に戻す"), "ButtonWallpaperDraw");
    SpeedButtonHelp = named(new QToolButton, "SpeedButtonHelp");
    SpeedButtonHelp->setIcon(helpGlyph());
    SpeedButtonHelp->setToolTip("ヘルプ");
    ButtonOK = named(new QPushButton(texts::kOkCaption), "ButtonOK");
    ButtonOK->setDefault(true);
    ButtonCancel = named(new QPushButton(texts::kCancelCaption), "ButtonCancel");
    ButtonSave = named(new QPushButton("適用(&A)"), "ButtonSave");
    layout->addWidget(ButtonDraw);
    layout->addWidget(ButtonWallpaperDraw);
    layout->addWidget(SpeedButtonHelp);
    layout->addStretch();
    layout->addWidget(ButtonOK);
    layout->addWidget(ButtonCancel);
    layout->addWidget(ButtonSave);
    return row;
}

void TFormMain::connectHandlers() {
    for (auto* page : pages())
        connect(page, &SettingsPage::changed, this, [this] { UpdateTrue(); });
    connect(TabSheetSetEnv, &SetEnvPage::resetRequested, this,
            [this] { runGuarded([this] { SpeedButtonAllInitClick(); }); });
    OpenDialogEx->OnSetLeftTop = [this](QObject*, int& left, int& top, int, int) {
        OpenDialogExSetLeftTop(left, top);
    };
    onClick(ButtonDraw, this, [this] { ButtonDrawClick(); });
    onClick(ButtonWallpaperDraw, this, [this] { ButtonWallpaperDrawClick(); });
    onClick(SpeedButtonHelp, this, [this] { SpeedButtonHelpClick(); });
    onClick(ButtonOK, this, [this] { ButtonOKClick(); });
    onClick(ButtonCancel, this, [this] { ButtonCancelClick(); });
    onClick(ButtonSave, this, [this] { ButtonSaveClick(); });
    connect(PageControlEnv, &MultiRowTabWidget::currentChanged, this,
            [this](int index) { currentPageChanged(index); });
    connectDialogKeys();
}

// Enter and Escape work as in a dialog, from every page. The window's shortcuts come before the
// focused control, so a text or number field does not swallow them, while a control that takes
// the key itself keeps it (Enter makes a new line in the message). Holding a key presses once.
void TFormMain::connectDialogKeys() {
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* enter = new QShortcut(QKeySequence(key), this);
        enter->setAutoRepeat(false);
        connect(enter, &QShortcut::activated, this, [this] { pressFocusedOrDefaultButton(); });
    }
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setAutoRepeat(false);
    connect(escape, &QShortcut::activated, ButtonCancel, &QPushButton::click);
}

// Enter presses the button that has the focus, else "OK".
void TFormMain::pressFocusedOrDefaultButton() {
    auto* focused = qobject_cast<QPushButton*>(focusWidget());
    (focused != nullptr && focused->isEnabled() ? focused : ButtonOK)->click();
}

std::array<SettingsPage*, 7> TFormMain::pages() const {
    // In the order of the tabs, which is also the order of the settings file's sections.
    return {TabSheetSetEnv, TabSheetWallpaper, TabSheetMonitorFrame, TabSheetSysInfo,
            TabSheetFree,   TabSheetAppExec,   TabSheetVersion};
}

void TFormMain::currentPageChanged(int index) {
    const auto all = pages();
    const auto previous = static_cast<std::size_t>(FPreviousPage);
    const auto current = static_cast<std::size_t>(index);
    FPreviousPage = index;
    runGuarded([&] {
        if (previous < all.size())
            all[previous]->pageHidden();
        if (current < all.size())
            all[current]->pageShown();
    });
}

// ---- creation, load and save ---------------------------------------------------------------

bool TFormMain::FormCreate() {
    if (!FFiles.startUpLinkProblem.empty())
        platform::showErrorReport(FFiles.startUpLinkProblem);
    (void)TabSheetSetEnv->UpdateStartUpButton();
    const ScreenBounds screen = currentScreen();
    applyScreenBounds(screen);
    const bool complete = LoadSettings();
    TabSheetMonitorFrame->showScreenSize(screen);
    applyEnablingRules();
    ButtonSave->setEnabled(false);
    return complete;
}

void TFormMain::applyScreenBounds(const ScreenBounds& screen) {
    TabSheetMonitorFrame->applyScreenBounds(screen);
    TabSheetSysInfo->applyScreenBounds(screen);
    TabSheetFree->applyScreenBounds(screen);
}

void TFormMain::applyEnablingRules() {
    TabSheetWallpaper->CheckBoxWallpaperClick();
    TabSheetMonitorFrame->CheckBoxMonitorFrameClick();
    TabSheetSysInfo->CheckBoxSIUserClick();
    TabSheetSysInfo->CheckBoxSICompClick();
    TabSheetSysInfo->CheckBoxSIIPAddrClick();
    TabSheetFree->CheckBoxFreeMessageClick();
}

Options TFormMain::options() const {
    Options current;
    current.window = {x(), y()};
    for (const auto* page : pages())
        page->takeOptions(current);
    return current;
}

void TFormMain::showOptions(const Options& options) {
    move(options.window.left, options.window.top);
    for (auto* page : pages())
        page->showOptions(options);
}

bool TFormMain::loadShown(TRegManager& settings, Options& options) {
    const std::vector<std::string> messages = loadOptions(settings, options, currentScreen());
    showOptions(options);
    for (const std::string& message : messages)
        platform::showErrorReport(message);
    return messages.empty();
}

bool TFormMain::LoadSettings() {
    Options loaded = options();
    return loadShown(RegManager, loaded);
}

void TFormMain::SaveSettings() {
    if (FResetPending)
        saveAfterReset();
    else
        saveOptions(RegManager, options());
}

// The file of a confirmed reset holds the options and, of the items written at once, only those
// written since the reset: the others were forgotten with the reset.
void TFormMain::saveAfterReset() {
    const std::vector<std::string> current = partItemTexts(RegManager);
    (void)std::remove(FFiles.iniFile.c_str()); // no file is as good as a removed one
    saveOptions(RegManager, options());
    std::size_t part = 0;
    for (const SettingsItem& item : kSettingsItems) {
        if (item.writer != ItemWriter::ItsPart)
            continue;
        if (current[part] != FPartItemsAtReset[part])
            RegManager.ItemFiler(item.name).WriteString(current[part]);
        ++part;
    }
    FResetPending = false;
}

void TFormMain::SpeedButtonAllInitClick() {
    const auto answer = platform::messageService().show({texts::kProgramName, texts::kResetQuestion,
                                                         platform::MessageIcon::Question,
                                                         platform::MessageButtons::YesNo});
    if (answer != platform::MessageAnswer::Yes)
        return;
    FPartItemsAtReset = partItemTexts(RegManager);
    FResetPending = true;
    Options reset = options();
    resetStoredLists(reset);
    (void)TabSheetSetEnv->UpdateStartUpButton();
    // The settings as a new installation reads them: its own file, when it ships one.
    TRegManager installed;
    openSettings(installed, FFiles.seedIniFile, {});
    (void)loadShown(installed, reset);
    restoreFactoryLook(reset);
    showOptions(reset);
    TabSheetMonitorFrame->showScreenSize(currentScreen());
    TabSheetMonitorFrame->CheckBoxMonitorFrameClick();
    TabSheetSysInfo->CheckBoxSIUserClick();
    TabSheetSysInfo->CheckBoxSICompClick();
    TabSheetSysInfo->CheckBoxSIIPAddrClick();
    TabSheetFree->CheckBoxFreeMessageClick();
    // The defaults are shown, not yet stored: "適用(&A)" stores them, as OK does.
    ButtonSave->setEnabled(true);
}

void TFormMain::ButtonOKClick() {
    SaveSettings();
    close();
}

void TFormMain::ButtonCancelClick() {
    close();
}

void TFormMain::ButtonSaveClick() {
    SaveSettings();
    ButtonSave->setEnabled(false);
}

void TFormMain::UpdateTrue() {
    ButtonSave->setEnabled(true);
}

// ---- the run and the wallpaper ------------------------------------------------------------

void TFormMain::ButtonDrawClick() {
    const Options current = options();
    setWindowTitle(texts::kDrawingTitle);
    const ScopeExit title([this] { setWindowTitle(texts::kProgramName); });
    DrawRun run(current, false, FFiles.tmpBitmapFile,
                {RegManager, wallpaperRandom(), FFiles.wallpaperBitmapFile});
    run.OnSystemInfo = [this](SystemInfoLine line, const std::string& value) {
        TabSheetSysInfo->showValue(line, value);
    };
    run.DrawDesktop();
}

void TFormMain::ButtonWallpaperDrawClick() {
    const WaitCursor busy;
    GetWallpaperFile(FBaseWallpaper);
    showWallpaperOrRaise(FBaseWallpaper, FBaseWallpaper);
}

void TFormMain::SpeedButtonHelpClick() {
    if (!platform::desktopService().openDocument(FFiles.helpFile))
        platform::showErrorReport(formatMessage(texts::kCannotOpenHelp, FFiles.helpFile));
}

void TFormMain::OpenDialogExSetLeftTop(int& left, int& top) {
    // Under the message file's field, at the window's left edge.
    left = x();
    top = TabSheetFree->fileFieldBottomLeft().y();
}

} // namespace zbpg

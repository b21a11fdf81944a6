#include "ui/Main.h"

#include "common/QtConvert.h"
#include "common/zbpg_common.h"
#include "controls/CoupleLb.h"
#include "controls/DROPDST.h"
#include "controls/EditUpDown.h"
#include "controls/GradBox.h"
#include "controls/OpenDialogEx.h"
#include "controls/PanelEx.h"
#include "controls/SCB.h"
#include "platform/DesktopService.h"
#include "platform/DialogService.h"
#include "platform/MessageService.h"
#include "settings/Schema.h"
#include "ui/FontButton.h"
#include "ui/MultiRowTabWidget.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <filesystem>

namespace zbpg {

TFormMain::TFormMain(QWidget* parent) : QWidget(parent) {
    RegManager.SetRegType(rtIni);
    fillSettingsSchema(RegManager.RegItems());
    createWindow();
    fillAppExecControls();
    createBindings();
    connectHandlers();
}

TFormMain::~TFormMain() = default;

// ---- wiring ----------------------------------------------------------------------------

void TFormMain::guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        platform::showErrorReport(error.what());
    }
}

void TFormMain::onClick(QAbstractButton* button, void (TFormMain::*handler)(QObject*)) {
    connect(button, &QAbstractButton::clicked, this,
            [this, button, handler] { guarded([&] { (this->*handler)(button); }); });
}

void TFormMain::connectHandlers() {
    const auto markOnToggle = [this](QAbstractButton* button) {
        connect(button, &QAbstractButton::toggled, this, [this, button] { UpdateTrue(button); });
    };
    const auto markWhenChecked = [this](QAbstractButton* button) {
        connect(button, &QAbstractButton::toggled, this, [this, button](bool checked) {
            if (checked)
                UpdateTrue(button);
        });
    };
    const auto ruleOnToggle = [this](QAbstractButton* button, void (TFormMain::*rule)(QObject*)) {
        connect(button, &QAbstractButton::toggled, this,
                [this, button, rule] { guarded([&] { (this->*rule)(button); }); });
    };
    const auto markOnEdit = [this](QLineEdit* field) {
        connect(field, &QLineEdit::textChanged, this, [this, field] { UpdateTrue(field); });
    };
    const auto markOnNumber = [this](TEditUpDown* field) {
        field->OnChange = [this](QObject* sender) { UpdateTrue(sender); };
    };

    markWhenChecked(RadioButtonOverwrite);
    markWhenChecked(RadioButtonRewrite);
    for (auto* anchor :
         {SpeedButtonMFPc, SpeedButtonMFPlb, SpeedButtonMFPlt, SpeedButtonMFPrb, SpeedButtonMFPrt})
        onClick(anchor, &TFormMain::UpdateTrue);
    for (auto* size : CheckBoxSZ)
        markOnToggle(size);
    SelectColorButtonMF->OnClick = [this](QObject* sender) { UpdateTrue(sender); };
    SelectColorButtonMFB->OnClick = [this](QObject* sender) { UpdateTrue(sender); };
    for (auto* field :
         {EditUpDownSZWidth, EditUpDownSZHeight, EditUpDownSIUserLeft, EditUpDownSIUserTop,
          EditUpDownSICompLeft, EditUpDownSICompTop, EditUpDownSIIPAddrLeft, EditUpDownSIIPAddrTop,
          EditUpDownFMLineInterval, EditUpDownFMLeft, EditUpDownFMTop})
        markOnNumber(field);
    for (auto* field : {EditCmnt, EditSIUserLabel, EditSICompLabel, EditSIIPAddrLabel, EditFMFile})
        markOnEdit(field);
    connect(MemoFMInput, &QPlainTextEdit::textChanged, this, [this] { UpdateTrue(MemoFMInput); });

    ruleOnToggle(CheckBoxWallpaper, &TFormMain::CheckBoxWallpaperClick);
    ruleOnToggle(CheckBoxMonitorFrame, &TFormMain::CheckBoxMonitorFrameClick);
    ruleOnToggle(CheckBoxSZFree, &TFormMain::CheckBoxSZFreeClick);
    ruleOnToggle(CheckBoxSIUser, &TFormMain::CheckBoxSIUserClick);
    ruleOnToggle(CheckBoxSIComp, &TFormMain::CheckBoxSICompClick);
    ruleOnToggle(CheckBoxSIIPAddr, &TFormMain::CheckBoxSIIPAddrClick);
    ruleOnToggle(CheckBoxFreeMessage, &TFormMain::CheckBoxFreeMessageClick);
    for (auto* radio : {RadioButtonFMFile, RadioButtonFMInput}) {
        connect(radio, &QAbstractButton::toggled, this, [this, radio](bool checked) {
            if (checked)
                guarded([&] { RadioButtonFMFileClick(radio); });
        });
    }

    for (auto* fontButton :
         {SpeedButtonMFFont, SpeedButtonSIUserFont, SpeedButtonSICompFont, SpeedButtonSIIPAddrFont,
          SpeedButtonFMFont, SpeedButtonMFFontB, SpeedButtonSIB, SpeedButtonFMFontB})
        onClick(fontButton, &TFormMain::SpeedButtonClick);
    onClick(SpeedButtonFMFileOpen, &TFormMain::SpeedButtonFMFileOpenClick);
    DropDstFreeFile->OnFileDrop = [this](QObject* sender, const std::vector<std::string>& files,
                                         int x,
                                         int y) { DropDstFreeFileFileDrop(sender, files, x, y); };
    OpenDialogEx->OnSetLeftTop = [this](QObject* sender, int& left, int& top, int width,
                                        int height) {
        OpenDialogExSetLeftTop(sender, left, top, width, height);
    };
    onClick(SpeedButtonDSUp, &TFormMain::SpeedButtonDSUpClick);
    onClick(SpeedButtonDSDown, &TFormMain::SpeedButtonDSDownClick);
    onClick(SpeedButtonHelp, &TFormMain::SpeedButtonHelpClick);
    onClick(SpeedButtonAllInit, &TFormMain::SpeedButtonAllInitClick);
    onClick(ButtonDraw, &TFormMain::ButtonDrawClick);
    onClick(ButtonWallpaperDraw, &TFormMain::ButtonWallpaperDrawClick);
    onClick(SpeedButtonProperty, &TFormMain::SpeedButtonPropertyClick);
    onClick(SpeedButtonStartUp, &TFormMain::SpeedButtonStartUpClick);
    onClick(ButtonOK, &TFormMain::ButtonOKClick);
    onClick(ButtonCancel, &TFormMain::ButtonCancelClick);
    onClick(ButtonSave, &TFormMain::ButtonSaveClick);

    connect(PageControlEnv, &MultiRowTabWidget::currentChanged, this, [this](int index) {
        const int version = PageControlEnv->indexOf(TabSheetVersion);
        if (index == PageControlEnv->indexOf(TabSheetSysInfo))
            guarded([this] { TabSheetSysInfoShow(TabSheetSysInfo); });
        if (index == version)
            TabSheetVersionShow(TabSheetVersion);
        else if (m_previousPage == version)
            TabSheetVersionHide(TabSheetVersion);
        m_previousPage = index;
    });
    connect(TimerVersion, &QTimer::timeout, this, [this] { TimerVersionTimer(TimerVersion); });
}

// ---- window creation steps ------------------------------------------------------------

void TFormMain::setIniFile(const std::string& path) {
    FIniFile = path;
    RegManager.SetIniFileName(path);
}

int TFormMain::screenWidth() const {
    return platform::desktopService().screenWidth();
}

int TFormMain::screenHeight() const {
    return platform::desktopService().screenHeight();
}

void TFormMain::applyScreenBounds() {
    const auto width = static_cast<std::int16_t>(screenWidth() - 1);
    const auto height = static_cast<std::int16_t>(screenHeight() - 1);
    for (auto* field : {EditUpDownSZWidth, EditUpDownSIUserLeft, EditUpDownSICompLeft,
                        EditUpDownSIIPAddrLeft, EditUpDownFMLeft})
        field->SetMax(width);
    for (auto* field : {EditUpDownSZHeight, EditUpDownSIUserTop, EditUpDownSICompTop,
                        EditUpDownSIIPAddrTop, EditUpDownFMLineInterval, EditUpDownFMTop})
        field->SetMax(height);
}

void TFormMain::showScreenSize() {
    CoupleLabelNowSize->SetText(QString("%1 * %2").arg(screenWidth()).arg(screenHeight()));
}

void TFormMain::applyEnablingRules() {
    CheckBoxWallpaperClick();
    CheckBoxMonitorFrameClick();
    CheckBoxSIUserClick();
    CheckBoxSICompClick();
    CheckBoxSIIPAddrClick();
    CheckBoxFreeMessageClick();
}

// ---- enabling rules -------------------------------------------------------------------

void TFormMain::CheckBoxWallpaperClick(QObject*) {
    PanelExWallPaper->SetEnabled(CheckBoxWallpaper->isChecked());
    UpdateTrue();
}

void TFormMain::CheckBoxMonitorFrameClick(QObject*) {
    PanelExMonitorFrame->SetEnabled(CheckBoxMonitorFrame->isChecked());
    CheckBoxSZFreeClick();
    UpdateTrue();
}

void TFormMain::CheckBoxSZFreeClick(QObject*) {
    EditUpDownSZWidth->SetMax(static_cast<std::int16_t>(screenWidth() - 1));
    EditUpDownSZHeight->SetMax(static_cast<std::int16_t>(screenHeight() - 1));
    PanelExMFSFree->SetEnabled(CheckBoxMonitorFrame->isChecked() && CheckBoxSZFree->isChecked());
}

namespace {

void systemInfoRule(QCheckBox* check, TPanelEx* panel, TEditUpDown* left, TEditUpDown* top,
                    int width, int height) {
    panel->SetEnabled(check->isChecked());
    left->SetMax(static_cast<std::int16_t>(width - 1));
    top->SetMax(static_cast<std::int16_t>(height - 1));
}

} // namespace

void TFormMain::CheckBoxSIUserClick(QObject*) {
    systemInfoRule(CheckBoxSIUser, PanelExSIUser, EditUpDownSIUserLeft, EditUpDownSIUserTop,
                   screenWidth(), screenHeight());
    UpdateTrue();
}

void TFormMain::CheckBoxSICompClick(QObject*) {
    systemInfoRule(CheckBoxSIComp, PanelExSIComp, EditUpDownSICompLeft, EditUpDownSICompTop,
                   screenWidth(), screenHeight());
    UpdateTrue();
}

void TFormMain::CheckBoxSIIPAddrClick(QObject*) {
    systemInfoRule(CheckBoxSIIPAddr, PanelExSIIPAddr, EditUpDownSIIPAddrLeft, EditUpDownSIIPAddrTop,
                   screenWidth(), screenHeight());
    UpdateTrue();
}

void TFormMain::CheckBoxFreeMessageClick(QObject*) {
    PanelExFreeMessage->SetEnabled(CheckBoxFreeMessage->isChecked());
    EditUpDownFMLineInterval->SetMax(static_cast<std::int16_t>(screenHeight() - 1));
    EditUpDownFMLeft->SetMax(static_cast<std::int16_t>(screenWidth() - 1));
    EditUpDownFMTop->SetMax(static_cast<std::int16_t>(screenHeight() - 1));
    RadioButtonFMFileClick();
    UpdateTrue();
}

void TFormMain::RadioButtonFMFileClick(QObject*) {
    const bool message = CheckBoxFreeMessage->isChecked();
    PanelExFMFile->SetEnabled(message && RadioButtonFMFile->isChecked());
    MemoFMInput->setEnabled(message && !RadioButtonFMFile->isChecked());
    UpdateTrue();
}

// ---- fonts ----------------------------------------------------------------------------

void TFormMain::SpeedButtonClick(QObject* sender) {
    auto* button = qobject_cast<FontButton*>(sender);
    if (!button)
        return;
    // A cancelled dialog leaves the button's own font; the settings count as changed anyway.
    if (const auto chosen = platform::dialogService().chooseFont(button->Font()))
        button->SetFont(*chosen);
    UpdateTrue(sender);
}

// ---- free-message file ----------------------------------------------------------------

void TFormMain::SpeedButtonFMFileOpenClick(QObject*) {
    const std::string folder = RegManager.ItemFiler("FMFileDir").ReadString();
    OpenDialogEx->InitialDir = GetPathKind(folder) == pkFolder ? folder : std::string();
    OpenDialogEx->FileName.clear();
    OpenDialogEx->Filter = "すべてのファイル(*.*)|*.*";
    OpenDialogEx->AllowMultiSelect = false;
    OpenDialogEx->Files.clear();
    if (!OpenDialogEx->Execute())
        return;
    EditFMFile->setText(QString::fromStdString(OpenDialogEx->Files.front()));
    RegManager.ItemFiler("FMFileDir").WriteString(ExtractFileDir(EditFMFile->text().toStdString()));
}

void TFormMain::DropDstFreeFileFileDrop(QObject*, const std::vector<std::string>& files, int, int) {
    if (!files.empty())
        EditFMFile->setText(QString::fromStdString(files.front()));
}

void TFormMain::OpenDialogExSetLeftTop(QObject*, int& left, int& top, int, int) {
    left = x();
    top = EditFMFile->mapToGlobal(QPoint(0, EditFMFile->height())).y();
}

// ---- draw sequence --------------------------------------------------------------------

void TFormMain::moveDrawSequenceRow(int from, int to) {
    auto& lines = ListBoxDrawSeqStream.lines;
    std::swap(lines[static_cast<std::size_t>(from)], lines[static_cast<std::size_t>(to)]);
    showDrawSequence();
    ListBoxDrawSeq->setCurrentRow(to);
    UpdateTrue();
}

void TFormMain::SpeedButtonDSUpClick(QObject*) {
    for (int i = 1; i < ListBoxDrawSeq->count(); ++i) {
        if (ListBoxDrawSeq->item(i)->isSelected()) {
            moveDrawSequenceRow(i, i - 1);
            return;
        }
    }
}

void TFormMain::SpeedButtonDSDownClick(QObject*) {
    for (int i = 0; i + 1 < ListBoxDrawSeq->count(); ++i) {
        if (ListBoxDrawSeq->item(i)->isSelected()) {
            moveDrawSequenceRow(i, i + 1);
            return;
        }
    }
}

// ---- help and version page ------------------------------------------------------------

void TFormMain::SpeedButtonHelpClick(QObject*) {
    if (!platform::desktopService().openDocument(FHelpFile))
        platform::showErrorReport("ヘルプ " + FHelpFile + " を開けません");
}

void TFormMain::TabSheetVersionShow(QObject*) {
    GradBoxVersion->SetGradStyle(gsNone);
    TimerVersion->setInterval(3000);
    TimerVersion->start();
}

void TFormMain::TabSheetVersionHide(QObject*) {
    // The timer keeps running; showing the page again restarts the cycle.
}

void TFormMain::TimerVersionTimer(QObject*) {
    switch (GradBoxVersion->GradStyle()) {
    case gsNone:
        GradBoxVersion->SetGradStyle(gsTopBottom);
        TimerVersion->setInterval(1000);
        break;
    case gsTopBottom:
        GradBoxVersion->SetGradStyle(gsRightLeft);
        break;
    case gsRightLeft:
        GradBoxVersion->SetGradStyle(gsBottomTop);
        break;
    case gsBottomTop:
        GradBoxVersion->SetGradStyle(gsLeftRight);
        break;
    case gsLeftRight:
        GradBoxVersion->SetGradStyle(gsTopBottom);
        break;
    }
}

// ---- start-up registration -------------------------------------------------------------

bool TFormMain::UpdateStartUpButton() {
    std::error_code unreadable;
    const bool registered =
        !FStartUpLink.empty() && std::filesystem::exists(FStartUpLink, unreadable);
    SpeedButtonStartUp->setText(registered ? "解除" : "登録");
    return registered;
}

} // namespace zbpg

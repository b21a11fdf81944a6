#include "ui/AppExec.h"

#include "common/zbpg_common.h"
#include "controls/DROPDST.h"
#include "controls/EditUpDown.h"
#include "controls/OpenDialogEx.h"
#include "controls/PanelEx.h"
#include "controls/SHBFFEX.h"
#include "platform/dialogs/MessageService.h"
#include "settings/RegMng.h"
#include "settings/Schema.h"
#include "text/Texts.h"
#include "ui/Guarded.h"
#include "ui/pages/PageWidgets.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

namespace zbpg {
namespace {

constexpr std::int16_t kMaxWaitSeconds = 999;

QToolButton* chooserButton(const char* name) {
    return named(glyphButton(QStyle::SP_DirOpenIcon, QString()), name);
}

QRadioButton* radioButton(const char* caption, const char* name) {
    return named(new QRadioButton(QString::fromUtf8(caption)), name);
}

} // namespace

int titleButtonHeight() {
    return QApplication::style()->pixelMetric(QStyle::PM_TitleBarButtonSize);
}

TFormAppExecEnt::TFormAppExecEnt(TRegManager& settings, QWidget* parent)
    : QDialog(parent), FSettings(settings), PanelExAppExec(named(new TPanelEx, "PanelExAppExec")),
      EditAECmd(named(new QLineEdit, "EditAECmd")),
      SpeedButtonAECmd(chooserButton("SpeedButtonAECmd")),
      EditAECmdParam(named(new QLineEdit, "EditAECmdParam")),
      EditAETmpDir(named(new QLineEdit, "EditAETmpDir")),
      SpeedButtonAETmpDir(chooserButton("SpeedButtonAETmpDir")),
      RadioButtonAESTNormal(radioButton("通常", "RadioButtonAESTNormal")),
      RadioButtonAESTMin(radioButton("最小化", "RadioButtonAESTMin")),
      RadioButtonAESTMax(radioButton("最大化", "RadioButtonAESTMax")),
      RadioButtonAEWTWait(radioButton("起動アプリの終了を待つ", "RadioButtonAEWTWait")),
      RadioButtonAEWTNoWait(radioButton("起動アプリの終了を待たない", "RadioButtonAEWTNoWait")),
      PanelExAEWTNW(named(new TPanelEx, "PanelExAEWTNW")),
      EditUpDownAEBWTNoWaitSec(named(numberField(44), "EditUpDownAEBWTNoWaitSec")),
      ButtonOK(named(new QPushButton(texts::kOkCaption), "ButtonOK")),
      ButtonCancel(named(new QPushButton(texts::kCancelCaption), "ButtonCancel")),
      OpenDialogExAECmd(named(new TOpenDialogEx(this), "OpenDialogExAECmd")),
      SHBrowseForFolderExAETmpDir(
          named(new TSHBrowseForFolderEx(this), "SHBrowseForFolderExAETmpDir")),
      DropDstAECmd(named(new TDropDst(this), "DropDstAECmd")),
      DropDstAETmpDir(named(new TDropDst(this), "DropDstAETmpDir")) {
    setObjectName("FormAppExecEnt");
    setWindowTitle(texts::kProgramName);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    QWidget::setFont(pixelFont("ＭＳ Ｐゴシック", 12));

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize); // a fixed dialog border
    layout->addWidget(label("起動コマンドの情報を設定してください"));
    layout->addWidget(createFields());
    layout->addWidget(createSizeGroup());
    layout->addWidget(createWaitGroup());
    layout->addWidget(createButtons());

    OpenDialogExAECmd->Filter = texts::kCommandFilter;
    OpenDialogExAECmd->FileMustExist = false; // a command may be typed before it exists
    SHBrowseForFolderExAETmpDir->Caption = "作業フォルダを選択してください";
    EditUpDownAEBWTNoWaitSec->SetMin(0);
    EditUpDownAEBWTNoWaitSec->SetMax(kMaxWaitSeconds);
    DropDstAECmd->SetControl(EditAECmd);
    DropDstAETmpDir->SetControl(EditAETmpDir);
    connectHandlers();
    setEntry(AppEntry{});
}

QWidget* TFormAppExecEnt::createFields() {
    auto* fields = new QGridLayout(PanelExAppExec);
    fields->setContentsMargins(0, 0, 0, 0);
    fields->addWidget(label("起動コマンド"), 0, 0);
    fields->addWidget(EditAECmd, 0, 1);
    fields->addWidget(SpeedButtonAECmd, 0, 2);
    fields->addWidget(label("起動パラメータ"), 1, 0);
    fields->addWidget(EditAECmdParam, 1, 1);
    fields->addWidget(label("作業フォルダ"), 2, 0);
    fields->addWidget(EditAETmpDir, 2, 1);
    fields->addWidget(SpeedButtonAETmpDir, 2, 2);
    EditAECmd->setMinimumWidth(280);
    return PanelExAppExec;
}

QWidget* TFormAppExecEnt::createSizeGroup() {
    auto* group = new QGroupBox("実行時の大きさ");
    auto* row = new QHBoxLayout(group);
    for (auto* radio : {RadioButtonAESTNormal, RadioButtonAESTMin, RadioButtonAESTMax})
        row->addWidget(radio);
    // Every program starts in a normal window; the choice is kept for when that changes.
    auto* note = label("※現在は「通常」固定");
    QPalette red = note->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    note->setPalette(red);
    row->addWidget(note);
    row->addStretch();
    return group;
}

QWidget* TFormAppExecEnt::createWaitGroup() {
    auto* group = new QGroupBox("起動処理");
    auto* rows = new QGridLayout(group);
    rows->addWidget(RadioButtonAEWTWait, 0, 0);
    rows->addWidget(RadioButtonAEWTNoWait, 1, 0);
    auto* pause = new QHBoxLayout(PanelExAEWTNW);
    pause->setContentsMargins(0, 0, 0, 0);
    pause->addWidget(label("起動後に"));
    pause->addWidget(EditUpDownAEBWTNoWaitSec);
    pause->addWidget(label(texts::kSecondsWait));
    pause->addStretch();
    rows->addWidget(PanelExAEWTNW, 1, 1);
    return group;
}

QWidget* TFormAppExecEnt::createButtons() {
    auto* row = new QWidget;
    auto* buttons = new QHBoxLayout(row);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addStretch();
    ButtonOK->setDefault(true);
    buttons->addWidget(ButtonOK);
    buttons->addWidget(ButtonCancel);
    return row;
}

void TFormAppExecEnt::connectHandlers() {
    connect(ButtonOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
    for (auto* radio : {RadioButtonAEWTWait, RadioButtonAEWTNoWait})
        connect(radio, &QAbstractButton::toggled, this, [this] { RadioButtonAEWTWaitClick(); });
    onClick(SpeedButtonAECmd, this, [this] { SpeedButtonAECmdClick(); });
    onClick(SpeedButtonAETmpDir, this, [this] { SpeedButtonAETmpDirClick(); });
    OpenDialogExAECmd->OnSetLeftTop = [this](QObject*, int& left, int& top, int, int) {
        OpenDialogExAECmdSetLeftTop(left, top);
    };
    DropDstAECmd->OnFileDrop = [this](QObject*, const std::vector<std::string>& files, int, int) {
        DropDstAECmdFileDrop(files);
    };
    DropDstAETmpDir->OnFileDrop = [this](QObject*, const std::vector<std::string>& files, int,
                                         int) { DropDstAETmpDirFileDrop(files); };
}

void TFormAppExecEnt::setEntry(const AppEntry& entry) {
    EditAECmd->setText(QString::fromStdString(entry.command));
    EditAECmdParam->setText(QString::fromStdString(entry.parameters));
    EditAETmpDir->setText(QString::fromStdString(entry.folder));
    setButtonDown(RadioButtonAESTNormal, entry.normal);
    setButtonDown(RadioButtonAESTMin, entry.minimized);
    setButtonDown(RadioButtonAESTMax, entry.maximized);
    setButtonDown(RadioButtonAEWTWait, entry.wait);
    setButtonDown(RadioButtonAEWTNoWait, entry.noWait);
    EditUpDownAEBWTNoWaitSec->SetPosition(entry.waitSeconds);
}

AppEntry TFormAppExecEnt::entry() const {
    return {EditAECmd->text().toStdString(),     EditAECmdParam->text().toStdString(),
            EditAETmpDir->text().toStdString(),  RadioButtonAESTNormal->isChecked(),
            RadioButtonAESTMin->isChecked(),     RadioButtonAESTMax->isChecked(),
            RadioButtonAEWTWait->isChecked(),    RadioButtonAEWTNoWait->isChecked(),
            EditUpDownAEBWTNoWaitSec->Position()};
}

void TFormAppExecEnt::placeOver(const QWidget& window) {
    const QPoint frameTop(window.x(), window.y() + titleButtonHeight() + 1);
    const auto frameOffset = [](const QWidget& framed) {
        return framed.geometry().topLeft() - framed.frameGeometry().topLeft();
    };
    // Until the window manager has framed the editor once, its frame is unknown and a move
    // would place its inside where its frame belongs; the settings window's frame stands in.
    if (frameOffset(*this).isNull())
        setGeometry(QRect(frameTop + frameOffset(window), size()));
    else
        move(frameTop);
    // The editor is a window of its own; the window manager keeps it above the settings.
    if (QWindow* owner = window.windowHandle()) {
        (void)winId();
        windowHandle()->setTransientParent(owner);
    }
}

bool TFormAppExecEnt::ShowModal() {
    setResult(Rejected);
    if (!OnShowModal)
        return exec() == Accepted;
    open();
    OnShowModal(*this);
    if (isVisible())
        reject();
    return result() == Accepted;
}

void TFormAppExecEnt::done(int result) {
    if (result == Accepted && !FormCloseQuery())
        return;
    QDialog::done(result);
}

void TFormAppExecEnt::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFormAppExecEnt::FormShow() {
    RadioButtonAEWTWaitClick();
    EditAECmd->setFocus();
}

bool TFormAppExecEnt::FormCloseQuery() {
    if (!EditAECmd->text().isEmpty())
        return true;
    platform::messageService().show({texts::kProgramName, texts::kCommandRequired,
                                     platform::MessageIcon::Error, platform::MessageButtons::Ok});
    EditAECmd->setFocus();
    return false;
}

void TFormAppExecEnt::RadioButtonAEWTWaitClick() {
    PanelExAEWTNW->SetEnabled(!RadioButtonAEWTWait->isChecked());
}

void TFormAppExecEnt::SpeedButtonAECmdClick() {
    const std::string folder = FSettings.ItemFiler(settingsItemName("AEECmdDir")).ReadString();
    OpenDialogExAECmd->InitialDir =
        GetPathKind(folder) == PathKind::Folder ? folder : std::string();
    OpenDialogExAECmd->FileName.clear();
    if (!OpenDialogExAECmd->Execute())
        return;
    EditAECmd->setText(QString::fromStdString(OpenDialogExAECmd->FileName));
    FSettings.ItemFiler(settingsItemName("AEECmdDir"))
        .WriteString(ExtractFileDir(OpenDialogExAECmd->FileName));
}

void TFormAppExecEnt::SpeedButtonAETmpDirClick() {
    const std::string folder = FSettings.ItemFiler(settingsItemName("AEETmpDir")).ReadString();
    const bool known = GetPathKind(folder) == PathKind::Folder;
    SHBrowseForFolderExAETmpDir->SelectFolder = known ? sfManual : sfDrives;
    SHBrowseForFolderExAETmpDir->SelectFolderName = known ? folder : std::string();
    if (!SHBrowseForFolderExAETmpDir->Execute())
        return;
    const std::string chosen = SHBrowseForFolderExAETmpDir->FolderPath();
    EditAETmpDir->setText(QString::fromStdString(chosen));
    FSettings.ItemFiler(settingsItemName("AEETmpDir")).WriteString(chosen);
}

void TFormAppExecEnt::OpenDialogExAECmdSetLeftTop(int& left, int& top) const {
    left = x();
    top = y() + titleButtonHeight() + 1;
}

void TFormAppExecEnt::DropDstAECmdFileDrop(const std::vector<std::string>& files) {
    if (!files.empty())
        EditAECmd->setText(QString::fromStdString(files.front()));
}

void TFormAppExecEnt::DropDstAETmpDirFileDrop(const std::vector<std::string>& files) {
    if (files.empty())
        return;
    // A file stands for the folder it is in; a folder, or anything else, is taken as it is.
    const std::string& path = files.front();
    const std::string folder = GetPathKind(path) == PathKind::File ? LaunchFolderOf(path) : path;
    EditAETmpDir->setText(QString::fromStdString(folder));
}

} // namespace zbpg

#include "ui/pages/FreeMessagePage.h"

#include "common/zbpg_common.h"
#include "controls/DROPDST.h"
#include "controls/EditUpDown.h"
#include "controls/OpenDialogEx.h"
#include "controls/PanelEx.h"
#include "draw/DrawRun.h"
#include "settings/RegMng.h"
#include "settings/Schema.h"
#include "text/Texts.h"
#include "ui/FontButton.h"
#include "ui/Guarded.h"
#include "ui/PositionPicker.h"
#include "ui/pages/PageWidgets.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace zbpg {

FreeMessagePage::FreeMessagePage(TRegManager& settings, TOpenDialogEx& openDialog,
                                 PositionPicker& picker)
    : CheckBoxFreeMessage(
          named(new QCheckBox("任意の文字列（複数行可）を描画する"), "CheckBoxFreeMessage")),
      PanelExFreeMessage(named(new TPanelEx, "PanelExFreeMessage")),
      RadioButtonFMFile(named(new QRadioButton("ファイルの内容を描画する"), "RadioButtonFMFile")),
      RadioButtonFMInput(named(new QRadioButton("直接入力する"), "RadioButtonFMInput")),
      PanelExFMFile(named(new TPanelEx, "PanelExFMFile")),
      EditFMFile(named(new QLineEdit, "EditFMFile")),
      SpeedButtonFMFileOpen(
          named(glyphButton(QStyle::SP_DirOpenIcon, "ファイルを選択"), "SpeedButtonFMFileOpen")),
      MemoFMInput(named(new QPlainTextEdit, "MemoFMInput")),
      PanelExFM(named(new TPanelEx, "PanelExFM")),
      EditUpDownFMLineInterval(named(numberField(44), "EditUpDownFMLineInterval")),
      SpeedButtonFMFont(named(new FontButton, "SpeedButtonFMFont")),
      EditUpDownFMLeft(named(numberField(), "EditUpDownFMLeft")),
      EditUpDownFMTop(named(numberField(), "EditUpDownFMTop")),
      SpeedButtonFMPos(
          named(glyphButton(QStyle::SP_ArrowRight, texts::kPickOnScreen), "SpeedButtonFMPos")),
      DropDstFreeFile(named(new TDropDst(this), "DropDstFreeFile")), m_settings(settings),
      m_openDialog(openDialog), m_picker(picker) {
    setObjectName("TabSheetFree");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CheckBoxFreeMessage);

    auto* panel = new QVBoxLayout(PanelExFreeMessage);
    panel->setContentsMargins(0, 0, 0, 0);
    panel->addWidget(RadioButtonFMFile);
    auto* file = new QHBoxLayout(PanelExFMFile);
    file->setContentsMargins(16, 0, 0, 0);
    file->addWidget(EditFMFile, 1);
    file->addWidget(SpeedButtonFMFileOpen);
    panel->addWidget(PanelExFMFile);

    panel->addWidget(RadioButtonFMInput);
    MemoFMInput->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoFMInput->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoFMInput->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* memo = new QHBoxLayout;
    memo->setContentsMargins(16, 0, 0, 0);
    memo->addWidget(MemoFMInput);
    panel->addLayout(memo, 1);

    auto* options = new QHBoxLayout(PanelExFM);
    options->setContentsMargins(0, 4, 0, 0);
    SpeedButtonFMFont->setToolTip(texts::kChooseFont);
    options->addWidget(label("行間"));
    options->addWidget(EditUpDownFMLineInterval);
    options->addSpacing(8);
    options->addWidget(label(texts::kChooseFont));
    options->addWidget(SpeedButtonFMFont);
    options->addSpacing(8);
    options->addWidget(label(texts::kPosition));
    options->addWidget(EditUpDownFMLeft);
    options->addWidget(EditUpDownFMTop);
    options->addWidget(SpeedButtonFMPos);
    options->addStretch();
    panel->addWidget(PanelExFM);
    layout->addWidget(PanelExFreeMessage, 1);

    const auto mark = [this] { emit changed(); };
    for (auto* field : {EditUpDownFMLineInterval, EditUpDownFMLeft, EditUpDownFMTop})
        field->OnChange = [mark](QObject*) { mark(); };
    connect(EditFMFile, &QLineEdit::textChanged, this, mark);
    connect(MemoFMInput, &QPlainTextEdit::textChanged, this, mark);
    connect(CheckBoxFreeMessage, &QAbstractButton::toggled, this,
            [this] { CheckBoxFreeMessageClick(); });
    for (auto* radio : {RadioButtonFMFile, RadioButtonFMInput}) {
        connect(radio, &QAbstractButton::toggled, this, [this](bool checked) {
            if (checked)
                RadioButtonFMFileClick();
        });
    }
    onClick(SpeedButtonFMFont, this, [this] {
        SpeedButtonClick(*SpeedButtonFMFont);
        emit changed();
    });
    onClick(SpeedButtonFMFileOpen, this, [this] { SpeedButtonFMFileOpenClick(); });
    onClick(SpeedButtonFMPos, this, [this] { SpeedButtonFMPosClick(); });
    DropDstFreeFile->SetControl(EditFMFile);
    DropDstFreeFile->OnFileDrop = [this](QObject*, const std::vector<std::string>& files, int,
                                         int) { DropDstFreeFileFileDrop(files); };
}

void FreeMessagePage::showOptions(const Options& options) {
    const auto& message = options.freeMessage;
    CheckBoxFreeMessage->setChecked(message.draw);
    setButtonDown(RadioButtonFMFile, message.source.isDown(MessageSource::File));
    EditFMFile->setText(QString::fromStdString(message.file));
    setButtonDown(RadioButtonFMInput, message.source.isDown(MessageSource::Input));
    setMemoLines(message.input);
    EditUpDownFMLineInterval->SetPosition(message.lineInterval);
    SpeedButtonFMFont->SetFont(message.font);
    EditUpDownFMLeft->SetPosition(message.left);
    EditUpDownFMTop->SetPosition(message.top);
}

void FreeMessagePage::takeOptions(Options& options) const {
    auto& message = options.freeMessage;
    message.draw = CheckBoxFreeMessage->isChecked();
    takeButtons<MessageSource, 2>({RadioButtonFMFile, RadioButtonFMInput}, message.source);
    message.file = EditFMFile->text().toStdString();
    message.input = memoLines();
    message.lineInterval = EditUpDownFMLineInterval->Position();
    message.font = SpeedButtonFMFont->Font();
    message.left = EditUpDownFMLeft->Position();
    message.top = EditUpDownFMTop->Position();
}

void FreeMessagePage::applyScreenBounds(const ScreenBounds& screen) {
    EditUpDownFMLineInterval->SetMax(screen.maxY());
    EditUpDownFMLeft->SetMax(screen.maxX());
    EditUpDownFMTop->SetMax(screen.maxY());
}

QPoint FreeMessagePage::fileFieldBottomLeft() const {
    return EditFMFile->mapToGlobal(QPoint(0, EditFMFile->height()));
}

void FreeMessagePage::CheckBoxFreeMessageClick() {
    PanelExFreeMessage->SetEnabled(CheckBoxFreeMessage->isChecked());
    applyScreenBounds(currentScreen());
    RadioButtonFMFileClick();
    emit changed();
}

void FreeMessagePage::RadioButtonFMFileClick() {
    const bool message = CheckBoxFreeMessage->isChecked();
    PanelExFMFile->SetEnabled(message && RadioButtonFMFile->isChecked());
    MemoFMInput->setEnabled(message && !RadioButtonFMFile->isChecked());
    emit changed();
}

void FreeMessagePage::SpeedButtonFMPosClick() {
    // The lines come as a run gathers them: a file that cannot be read ends the click with its
    // message, before any pick.
    Options current;
    takeOptions(current);
    m_picker.PickLinesPosition(freeMessageLines(current.freeMessage), SpeedButtonFMFont->Font(),
                               *EditUpDownFMLeft, *EditUpDownFMTop,
                               EditUpDownFMLineInterval->Position());
}

void FreeMessagePage::SpeedButtonFMFileOpenClick() {
    const std::string folder = m_settings.ItemFiler(settingsItemName("FMFileDir")).ReadString();
    m_openDialog.InitialDir = GetPathKind(folder) == PathKind::Folder ? folder : std::string();
    m_openDialog.FileName.clear();
    m_openDialog.Filter = texts::kAllFilesFilter;
    m_openDialog.AllowMultiSelect = false;
    m_openDialog.Files.clear();
    if (!m_openDialog.Execute())
        return;
    EditFMFile->setText(QString::fromStdString(m_openDialog.Files.front()));
    m_settings.ItemFiler(settingsItemName("FMFileDir"))
        .WriteString(ExtractFileDir(EditFMFile->text().toStdString()));
}

void FreeMessagePage::DropDstFreeFileFileDrop(const std::vector<std::string>& files) {
    if (!files.empty())
        EditFMFile->setText(QString::fromStdString(files.front()));
}

std::vector<std::string> FreeMessagePage::memoLines() const {
    // As the lines of a multi-line edit: a line break at the very end opens no further line.
    QStringList lines = MemoFMInput->toPlainText().split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    std::vector<std::string> result;
    for (const auto& line : lines)
        result.push_back(line.toStdString());
    return result;
}

void FreeMessagePage::setMemoLines(const std::vector<std::string>& lines) {
    QString text;
    for (const auto& line : lines)
        text += QString::fromStdString(line) + '\n';
    MemoFMInput->setPlainText(text);
}

} // namespace zbpg

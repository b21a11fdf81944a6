// Moving the options between the window's controls and the settings file; the reset.

#include "common/Error.h"
#include "common/IntegerText.h"
#include "controls/EditUpDown.h"
#include "controls/SCB.h"
#include "platform/MessageService.h"
#include "settings/Schema.h"
#include "ui/FontButton.h"
#include "ui/Main.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <cstdio>

namespace zbpg {
namespace {

// A radio button set unchecked must not check another one, and Qt refuses to uncheck the
// checked button of an exclusive group: lift the exclusivity for that one step.
void setButtonDown(QAbstractButton* button, bool down) {
    auto* radio = qobject_cast<QRadioButton*>(button);
    if (radio && !down && radio->isChecked()) {
        radio->setAutoExclusive(false);
        radio->setChecked(false);
        radio->setAutoExclusive(true);
        return;
    }
    // An exclusive group of speed buttons keeps one button down: raising it has no effect.
    button->setChecked(down);
}

std::string toStd(const QString& text) {
    return text.toStdString();
}

} // namespace

void TFormMain::addBoolean(const std::string& name, QAbstractButton* button) {
    m_bindings.push_back({name,
                          [button](TRegFiler& filer) { setButtonDown(button, filer.ReadBool()); },
                          [button](TRegFiler& filer) { filer.WriteBool(button->isChecked()); }});
}

void TFormMain::addPosition(const std::string& name, TEditUpDown* field) {
    m_bindings.push_back({name,
                          [field](TRegFiler& filer) { field->SetPosition(filer.ReadInteger()); },
                          [field](TRegFiler& filer) { filer.WriteInteger(field->Position()); }});
}

void TFormMain::addText(const std::string& name, QLineEdit* field) {
    m_bindings.push_back(
        {name,
         [field](TRegFiler& filer) { field->setText(QString::fromStdString(filer.ReadString())); },
         [field](TRegFiler& filer) { filer.WriteString(toStd(field->text())); }});
}

void TFormMain::addFont(const std::string& name, FontButton* button) {
    m_bindings.push_back({name,
                          [button](TRegFiler& filer) {
                              FontDescription font = button->Font();
                              try {
                                  filer.ReadFont(font);
                              } catch (...) {
                                  button->SetFont(font); // name and size were taken
                                  throw;
                              }
                              button->SetFont(font);
                          },
                          [button](TRegFiler& filer) { filer.WriteFont(button->Font()); }});
}

void TFormMain::addList(const std::string& name, ListControlDescription& list) {
    m_bindings.push_back({name, [&list](TRegFiler& filer) { filer.ReadComponent(list); },
                          [&list](TRegFiler& filer) { filer.WriteComponent(list); }});
}

void TFormMain::addStep(std::function<void()> step) {
    m_bindings.push_back({{}, nullptr, nullptr, std::move(step)});
}

void TFormMain::createBindings() {
    m_bindings.push_back({"Left", [this](TRegFiler& filer) { move(filer.ReadInteger(), y()); },
                          [this](TRegFiler& filer) { filer.WriteInteger(x()); }});
    m_bindings.push_back({"Top", [this](TRegFiler& filer) { move(x(), filer.ReadInteger()); },
                          [this](TRegFiler& filer) { filer.WriteInteger(y()); }});
    addBoolean("DrawTypeOverwrite", RadioButtonOverwrite);
    addBoolean("DrawTypeRewrite", RadioButtonRewrite);
    m_bindings.push_back(
        {"DrawSeq",
         [this](TRegFiler& filer) {
             filer.ReadComponent(ListBoxDrawSeqStream);
             showDrawSequence();
         },
         [this](TRegFiler& filer) { filer.WriteComponent(ListBoxDrawSeqStream); }});
    addPosition("StartUpWaitSec", EditUpDownStartUp);
    addBoolean("WallpaperDraw", CheckBoxWallpaper);
    addBoolean("WPSubFolder", CheckBoxWPSubFolder);
    addBoolean("WPPCenter", RadioButtonWPPCenter);
    addBoolean("WPPEnum", RadioButtonWPPEnum);
    addBoolean("WPPSpread", RadioButtonWPPSpread);
    addBoolean("WPSRandom", RadioButtonWPSRandom);
    addBoolean("WPSSeq", RadioButtonWPSSeq);
    addList("WPStat", ListBoxWPStat);
    addList("WPFile", ListBoxWPFile);
    addStep([this] { fillCheckList(CheckListBoxWPList, ListBoxWPStat, ListBoxWPFile); });
    addBoolean("MonitorFrameDraw", CheckBoxMonitorFrame);
    addBoolean("MFPositionLT", SpeedButtonMFPlt);
    addBoolean("MFPositionLB", SpeedButtonMFPlb);
    addBoolean("MFPositionRT", SpeedButtonMFPrt);
    addBoolean("MFPositionRB", SpeedButtonMFPrb);
    addBoolean("MFPositionCenter", SpeedButtonMFPc);
    const char* sizeItems[] = {"MFSZ1", "MFSZ2", "MFSZ3", "MFSZ4", "MFSZ5", "MFSZ6"};
    for (std::size_t i = 0; i < CheckBoxSZ.size(); ++i)
        addBoolean(sizeItems[i], CheckBoxSZ[i]);
    addBoolean("MFSZFree", CheckBoxSZFree);
    addPosition("MFSZFWidth", EditUpDownSZWidth);
    addPosition("MFSZFHeight", EditUpDownSZHeight);
    addText("MFSZFCmnt", EditCmnt);
    m_bindings.push_back(
        {"MFColor",
         [this](TRegFiler& filer) { SelectColorButtonMF->SetColor(filer.ReadInteger()); },
         [this](TRegFiler& filer) { filer.WriteInteger(SelectColorButtonMF->Color()); }});
    addFont("MFFont", SpeedButtonMFFont);
    addBoolean("SIUserDraw", CheckBoxSIUser);
    addText("SIUserLabel", EditSIUserLabel);
    addPosition("SIUserLeft", EditUpDownSIUserLeft);
    addPosition("SIUserTop", EditUpDownSIUserTop);
    addFont("SIUserFont", SpeedButtonSIUserFont);
    addBoolean("SICompDraw", CheckBoxSIComp);
    addText("SICompLabel", EditSICompLabel);
    addPosition("SICompLeft", EditUpDownSICompLeft);
    addPosition("SICompTop", EditUpDownSICompTop);
    addFont("SICompFont", SpeedButtonSICompFont);
    addBoolean("SIIPAddrDraw", CheckBoxSIIPAddr);
    addText("SIIPAddrLabel", EditSIIPAddrLabel);
    addPosition("SIIPAddrLeft", EditUpDownSIIPAddrLeft);
    addPosition("SIIPAddrTop", EditUpDownSIIPAddrTop);
    addFont("SIIPAddrFont", SpeedButtonSIIPAddrFont);
    addBoolean("FreeMessageDraw", CheckBoxFreeMessage);
    addBoolean("FMCheckFile", RadioButtonFMFile);
    addText("FMFile", EditFMFile);
    addBoolean("FMCheckInput", RadioButtonFMInput);
    m_bindings.push_back({"FMInput",
                          [this](TRegFiler& filer) {
                              std::vector<std::string> lines;
                              filer.ReadStrings(lines);
                              setMemoLines(lines);
                          },
                          [this](TRegFiler& filer) { filer.WriteStrings(memoLines()); }});
    addPosition("FMLineInterval", EditUpDownFMLineInterval);
    addFont("FMFont", SpeedButtonFMFont);
    addPosition("FMLeft", EditUpDownFMLeft);
    addPosition("FMTop", EditUpDownFMTop);
    for (std::size_t column = 0; column < FAppExecControls.size(); ++column) {
        const std::string prefix = column == 0 ? "AEB" : "AEA";
        static const char* const fields[] = {"Stat",     "Cmd",        "CmdParam", "TmpDir",
                                             "STNormal", "STMin",      "STMax",    "WTWait",
                                             "WTNoWait", "WTNoWaitSec"};
        for (std::size_t i = 0; i < 10; ++i)
            addList(prefix + fields[i], *FAppExecControls[column].fields[i]);
        addStep([this, column] {
            const auto& list = FAppExecControls[column];
            fillCheckList(list.checkList, *list.fields[0], *list.fields[1]);
        });
    }
}

void TFormMain::fillCheckList(QListWidget* list, const ListControlDescription& status,
                              const ListControlDescription& texts) {
    for (std::size_t i = 0; i < status.lines.size(); ++i) {
        const auto checked = parseIntegerText(status.lines[i]);
        if (!checked)
            throw Error(formatMessage("'%s' は整数ではありません", status.lines[i]));
        if (i >= texts.lines.size())
            throw Error("リストのインデックスが範囲を超えています (" + std::to_string(i) + ")");
        auto* row = new QListWidgetItem(QString::fromStdString(texts.lines[i]), list);
        row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
        row->setCheckState(*checked != 0 ? Qt::Checked : Qt::Unchecked);
    }
}

void TFormMain::LoadSettings() {
    for (const auto& binding : m_bindings) {
        if (binding.step)
            binding.step();
        else
            binding.load(RegManager.ItemFiler(binding.name));
    }
}

void TFormMain::SaveSettings() {
    for (const auto& binding : m_bindings) {
        if (binding.save)
            binding.save(RegManager.ItemFiler(binding.name));
    }
}

void TFormMain::SpeedButtonAllInitClick(QObject*) {
    const auto answer = platform::messageService().show(
        {"ZorbelPaneglyph", "各設定内容をインストール時の状態に戻します。\rよろしいですか？",
         platform::MessageIcon::Question, platform::MessageButtons::YesNo});
    if (answer != platform::MessageAnswer::Yes)
        return;
    std::remove(FIniFile.c_str());
    ListBoxDrawSeqStream.lines = {"画面サイズ", "システム情報", "任意表示"};
    showDrawSequence();
    CheckListBoxWPList->clear();
    ListBoxWPStat.lines.clear();
    ListBoxWPFile.lines.clear();
    for (auto& list : FAppExecControls) {
        list.checkList->clear();
        for (auto* field : list.fields)
            field->lines.clear();
    }
    UpdateStartUpButton();
    LoadSettings();
    showScreenSize();
    CheckBoxMonitorFrameClick();
    CheckBoxSIUserClick();
    CheckBoxSICompClick();
    CheckBoxSIIPAddrClick();
    CheckBoxFreeMessageClick();
    SelectColorButtonMF->SetColor(SelectColorButtonMFB->Color());
    SpeedButtonMFFont->SetFont(SpeedButtonMFFontB->Font());
    SpeedButtonSIUserFont->SetFont(SpeedButtonSIB->Font());
    SpeedButtonSICompFont->SetFont(SpeedButtonSIB->Font());
    SpeedButtonSIIPAddrFont->SetFont(SpeedButtonSIB->Font());
    SpeedButtonFMFont->SetFont(SpeedButtonFMFontB->Font());
    ButtonSave->setEnabled(false);
}

void TFormMain::ButtonOKClick(QObject*) {
    SaveSettings();
    close();
}

void TFormMain::ButtonCancelClick(QObject*) {
    close();
}

void TFormMain::ButtonSaveClick(QObject*) {
    SaveSettings();
    ButtonSave->setEnabled(false);
}

void TFormMain::UpdateTrue(QObject*) {
    ButtonSave->setEnabled(true);
}

void TFormMain::showDrawSequence() {
    ListBoxDrawSeq->clear();
    for (const auto& line : ListBoxDrawSeqStream.lines)
        ListBoxDrawSeq->addItem(QString::fromStdString(line));
}

std::vector<std::string> TFormMain::memoLines() const {
    // As the lines of a multi-line edit: a line break at the very end opens no further line.
    QStringList lines = MemoFMInput->toPlainText().split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    std::vector<std::string> result;
    for (const auto& line : lines)
        result.push_back(line.toStdString());
    return result;
}

void TFormMain::setMemoLines(const std::vector<std::string>& lines) {
    QString text;
    for (const auto& line : lines)
        text += QString::fromStdString(line) + '\n';
    MemoFMInput->setPlainText(text);
}

} // namespace zbpg

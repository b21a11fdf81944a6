#include "ui/pages/SetEnvPage.h"

#include "common/zbpg_common.h"
#include "controls/EditUpDown.h"
#include "platform/dialogs/MessageService.h"
#include "text/Texts.h"
#include "ui/Guarded.h"
#include "ui/pages/PageWidgets.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <cstdio>
#include <filesystem>

namespace zbpg {

SetEnvPage::SetEnvPage(std::string startUpLink, std::string programFile)
    : RadioButtonOverwrite(
          named(new QRadioButton("デスクトップに上書きで描画"), "RadioButtonOverwrite")),
      RadioButtonRewrite(named(new QRadioButton("壁紙を再表示してから描画"), "RadioButtonRewrite")),
      ListBoxDrawSeq(named(new QListWidget, "ListBoxDrawSeq")),
      SpeedButtonDSUp(named(glyphButton(QStyle::SP_ArrowUp, texts::kMoveUp), "SpeedButtonDSUp")),
      SpeedButtonDSDown(
          named(glyphButton(QStyle::SP_ArrowDown, texts::kMoveDown), "SpeedButtonDSDown")),
      SpeedButtonStartUp(named(speedButton(texts::kRegisterCaption), "SpeedButtonStartUp")),
      EditUpDownStartUp(named(numberField(), "EditUpDownStartUp")),
      SpeedButtonAllInit(named(speedButton("初期化"), "SpeedButtonAllInit")),
      FStartUpLink(std::move(startUpLink)), FProgramFile(std::move(programFile)) {
    setObjectName("TabSheetSetEnv");
    auto* layout = new QVBoxLayout(this);

    auto* method = new QGroupBox("描画方法");
    auto* methodLayout = new QVBoxLayout(method);
    auto* note = label("（「壁紙設定」が有効な場合は      意味がありません。。。）");
    note->setIndent(20);
    methodLayout->addWidget(RadioButtonOverwrite);
    methodLayout->addWidget(RadioButtonRewrite);
    methodLayout->addWidget(note);
    layout->addWidget(method);

    auto* sequence = new QGroupBox("描画順序");
    auto* sequenceLayout = new QHBoxLayout(sequence);
    ListBoxDrawSeq->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBoxDrawSeq->setFixedSize(145, 58);
    auto* arrows = new QVBoxLayout;
    arrows->addWidget(SpeedButtonDSUp);
    arrows->addWidget(SpeedButtonDSDown);
    arrows->addStretch();
    sequenceLayout->addWidget(ListBoxDrawSeq);
    sequenceLayout->addLayout(arrows);
    sequenceLayout->addWidget(label("上から順に描画します。"), 1);
    layout->addWidget(sequence);

    auto* startup = new QGroupBox("スタートアップ");
    auto* startupLayout = new QVBoxLayout(startup);
    SpeedButtonStartUp->setMinimumWidth(60);
    EditUpDownStartUp->SetMax(kMaxStartUpWait);
    auto* registration = new QHBoxLayout;
    registration->addWidget(SpeedButtonStartUp);
    registration->addSpacing(12);
    registration->addWidget(label("スタートアップ時に"));
    registration->addWidget(EditUpDownStartUp);
    registration->addWidget(label(texts::kSecondsWait));
    registration->addStretch();
    startupLayout->addWidget(
        label("「ZorbelPaneglyph」をスタートアップに登録・解除する（-OnlyDraw付き）"));
    startupLayout->addLayout(registration);
    layout->addWidget(startup);

    auto* reset = new QHBoxLayout;
    SpeedButtonAllInit->setMinimumWidth(70);
    reset->addStretch();
    reset->addWidget(SpeedButtonAllInit);
    layout->addLayout(reset);
    layout->addStretch();

    // A method counts as changed when it is chosen; the start-up wait has no change event.
    for (QRadioButton* radio : {RadioButtonOverwrite, RadioButtonRewrite}) {
        connect(radio, &QAbstractButton::toggled, this, [this](bool checked) {
            if (checked)
                emit changed();
        });
    }
    onClick(SpeedButtonDSUp, this, [this] { SpeedButtonDSUpClick(); });
    onClick(SpeedButtonDSDown, this, [this] { SpeedButtonDSDownClick(); });
    onClick(SpeedButtonStartUp, this, [this] { SpeedButtonStartUpClick(); });
    connect(SpeedButtonAllInit, &QAbstractButton::clicked, this, &SetEnvPage::resetRequested);
}

void SetEnvPage::showOptions(const Options& options) {
    const auto& drawing = options.drawing;
    showButtons<DrawMethod, 2>({RadioButtonOverwrite, RadioButtonRewrite}, drawing.method);
    FDrawSeq = drawing.drawSeq;
    showDrawSequence();
    EditUpDownStartUp->SetPosition(drawing.startUpWaitSec);
}

void SetEnvPage::takeOptions(Options& options) const {
    auto& drawing = options.drawing;
    takeButtons<DrawMethod, 2>({RadioButtonOverwrite, RadioButtonRewrite}, drawing.method);
    drawing.drawSeq = FDrawSeq;
    drawing.startUpWaitSec = EditUpDownStartUp->Position();
}

void SetEnvPage::showDrawSequence() {
    ListBoxDrawSeq->clear();
    for (const auto& line : FDrawSeq.lines)
        ListBoxDrawSeq->addItem(QString::fromStdString(line));
}

// The selected row changes places with its neighbour, and the selection moves with it.
void SetEnvPage::moveDrawSequenceRow(int from, int to) {
    auto& lines = FDrawSeq.lines;
    std::swap(lines[static_cast<std::size_t>(from)], lines[static_cast<std::size_t>(to)]);
    showDrawSequence();
    ListBoxDrawSeq->setCurrentRow(to);
    emit changed();
}

void SetEnvPage::SpeedButtonDSUpClick() {
    for (int i = 1; i < ListBoxDrawSeq->count(); ++i) {
        if (ListBoxDrawSeq->item(i)->isSelected()) {
            moveDrawSequenceRow(i, i - 1);
            return;
        }
    }
}

void SetEnvPage::SpeedButtonDSDownClick() {
    for (int i = 0; i + 1 < ListBoxDrawSeq->count(); ++i) {
        if (ListBoxDrawSeq->item(i)->isSelected()) {
            moveDrawSequenceRow(i, i + 1);
            return;
        }
    }
}

bool SetEnvPage::UpdateStartUpButton() {
    std::error_code unreadable;
    const bool registered =
        !FStartUpLink.empty() && std::filesystem::exists(FStartUpLink, unreadable);
    SpeedButtonStartUp->setText(registered ? texts::kUnregisterCaption : texts::kRegisterCaption);
    return registered;
}

void SetEnvPage::SpeedButtonStartUpClick() {
    const auto inform = [](const char* message, platform::MessageIcon icon) {
        (void)platform::messageService().show(
            {texts::kProgramName, message, icon, platform::MessageButtons::Ok});
    };
    if (UpdateStartUpButton()) {
        // A removal that fails shows in the caption, which stays "解除".
        (void)std::remove(FStartUpLink.c_str());
        inform(texts::kStartUpRemoved, platform::MessageIcon::Information);
    } else if (!FStartUpLink.empty() && // no Startup folder: nothing to write to
               CreateShortcut(FStartUpLink, FProgramFile, texts::kOnlyDrawOption,
                              LaunchFolderOf(FProgramFile), texts::kProgramName)) {
        inform(texts::kStartUpRegistered, platform::MessageIcon::Information);
    } else {
        inform(texts::kStartUpNotRegistered, platform::MessageIcon::Error);
    }
    (void)UpdateStartUpButton();
}

} // namespace zbpg

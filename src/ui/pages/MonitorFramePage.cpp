#include "ui/pages/MonitorFramePage.h"

#include "controls/CoupleLb.h"
#include "controls/EditUpDown.h"
#include "controls/PanelEx.h"
#include "controls/SCB.h"
#include "text/IntegerText.h"
#include "ui/FontButton.h"
#include "ui/Guarded.h"
#include "ui/pages/PageWidgets.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace zbpg {
namespace {

QToolButton* anchorButton(const char* caption, const char* name) {
    auto* button = named(speedButton(QString::fromUtf8(caption)), name);
    button->setCheckable(true);
    button->setMinimumWidth(40);
    return button;
}

} // namespace

MonitorFramePage::MonitorFramePage()
    : CheckBoxMonitorFrame(
          named(new QCheckBox("画面サイズ（フレーム）を描画する"), "CheckBoxMonitorFrame")),
      PanelExMonitorFrame(named(new TPanelEx, "PanelExMonitorFrame")),
      SpeedButtonMFPlt(anchorButton("左上", "SpeedButtonMFPlt")),
      SpeedButtonMFPlb(anchorButton("左下", "SpeedButtonMFPlb")),
      SpeedButtonMFPrt(anchorButton("右上", "SpeedButtonMFPrt")),
      SpeedButtonMFPrb(anchorButton("右下", "SpeedButtonMFPrb")),
      SpeedButtonMFPc(anchorButton("中央", "SpeedButtonMFPc")),
      CheckBoxSZFree(named(new QCheckBox("任意指定"), "CheckBoxSZFree")),
      PanelExMFSFree(named(new TPanelEx, "PanelExMFSFree")),
      EditUpDownSZWidth(named(numberField(), "EditUpDownSZWidth")),
      EditUpDownSZHeight(named(numberField(), "EditUpDownSZHeight")),
      EditCmnt(named(new QLineEdit, "EditCmnt")),
      SelectColorButtonMF(named(new TSelectColorButton, "SelectColorButtonMF")),
      SpeedButtonMFFont(named(new FontButton, "SpeedButtonMFFont")),
      CoupleLabelNowSize(named(new TCoupleLabel, "CoupleLabelNowSize")) {
    setObjectName("TabSheetMonitorFrame");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CheckBoxMonitorFrame);

    auto* panel = new QGridLayout(PanelExMonitorFrame);
    panel->setContentsMargins(0, 0, 0, 0);
    panel->setVerticalSpacing(4);

    auto* anchor = new QGroupBox("描画の基準位置");
    auto* anchorLayout = new QGridLayout(anchor);
    anchorLayout->setContentsMargins(8, 4, 8, 4);
    auto* anchors = new QButtonGroup(anchor);
    anchors->setExclusive(true);
    for (auto* button : anchorButtons())
        anchors->addButton(button);
    anchorLayout->addWidget(SpeedButtonMFPlt, 0, 0);
    anchorLayout->addWidget(SpeedButtonMFPrt, 0, 2);
    anchorLayout->addWidget(SpeedButtonMFPc, 1, 1);
    anchorLayout->addWidget(SpeedButtonMFPlb, 2, 0);
    anchorLayout->addWidget(SpeedButtonMFPrb, 2, 2);
    panel->addWidget(anchor, 0, 0);

    auto* sizes = new QGroupBox("描画するサイズ");
    auto* sizesLayout = new QGridLayout(sizes);
    sizesLayout->setContentsMargins(8, 4, 8, 4);
    sizesLayout->setVerticalSpacing(2);
    for (std::size_t i = 0; i < CheckBoxSZ.size(); ++i) {
        const auto [width, height] = kFixedFrameSizes[i];
        CheckBoxSZ[i] = new QCheckBox(QString::fromStdString(sizeText(width, height)));
        CheckBoxSZ[i]->setObjectName(QString("CheckBoxSZ%1").arg(i + 1));
        sizesLayout->addWidget(CheckBoxSZ[i], static_cast<int>(i % 3), static_cast<int>(i / 3));
    }
    sizesLayout->addWidget(CheckBoxSZFree, 3, 0);
    auto* free = new QGridLayout(PanelExMFSFree);
    free->setContentsMargins(16, 0, 0, 0);
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(EditUpDownSZWidth);
    sizeRow->addWidget(label("*"));
    sizeRow->addWidget(EditUpDownSZHeight);
    sizeRow->addStretch();
    free->addWidget(label("サイズ"), 0, 0);
    free->addLayout(sizeRow, 0, 1);
    free->addWidget(label("コメント"), 1, 0);
    free->addWidget(EditCmnt, 1, 1);
    sizesLayout->addWidget(PanelExMFSFree, 4, 0, 1, 2);
    panel->addWidget(sizes, 0, 1);

    auto* colour = new QGroupBox("フレーム描画色");
    auto* colourLayout = new QHBoxLayout(colour);
    colourLayout->setContentsMargins(8, 4, 8, 4);
    colourLayout->addWidget(SelectColorButtonMF);
    colourLayout->addStretch();
    panel->addWidget(colour, 1, 0);

    auto* font = new QGroupBox("文字列フォント");
    auto* fontLayout = new QHBoxLayout(font);
    fontLayout->setContentsMargins(8, 4, 8, 4);
    // The caption shows the label font at its actual size.
    SpeedButtonMFFont->setCaption(QString::fromStdString(sizeText(1024, 768)));
    fontLayout->addWidget(SpeedButtonMFFont);
    fontLayout->addWidget(label("(ボタン上の文字は実物大)"));
    fontLayout->addStretch();
    panel->addWidget(font, 1, 1);

    CoupleLabelNowSize->SetCaption("現在の画面サイズ：　");
    CoupleLabelNowSize->SetFontColor(QColor(0, 128, 0));
    CoupleLabelNowSize->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    panel->addWidget(CoupleLabelNowSize, 2, 0, 1, 2);
    panel->setRowStretch(3, 1);
    layout->addWidget(PanelExMonitorFrame, 1);

    const auto mark = [this] { emit changed(); };
    for (auto* button : anchorButtons())
        onClick(button, this, mark);
    for (auto* size : CheckBoxSZ)
        connect(size, &QAbstractButton::toggled, this, mark);
    for (auto* field : {EditUpDownSZWidth, EditUpDownSZHeight})
        field->OnChange = [mark](QObject*) { mark(); };
    connect(EditCmnt, &QLineEdit::textChanged, this, mark);
    SelectColorButtonMF->OnClick = [mark](QObject*) { mark(); };
    onClick(SpeedButtonMFFont, this, [this] {
        SpeedButtonClick(*SpeedButtonMFFont);
        emit changed();
    });
    connect(CheckBoxMonitorFrame, &QAbstractButton::toggled, this,
            [this] { CheckBoxMonitorFrameClick(); });
    connect(CheckBoxSZFree, &QAbstractButton::toggled, this, [this] { CheckBoxSZFreeClick(); });
}

std::array<QAbstractButton*, 5> MonitorFramePage::anchorButtons() const {
    // In the order of the stored items: left top, left bottom, right top, right bottom, centre.
    return {SpeedButtonMFPlt, SpeedButtonMFPlb, SpeedButtonMFPrt, SpeedButtonMFPrb,
            SpeedButtonMFPc};
}

void MonitorFramePage::showOptions(const Options& options) {
    const auto& frame = options.monitorFrame;
    CheckBoxMonitorFrame->setChecked(frame.draw);
    showButtons(anchorButtons(), frame.anchor);
    for (std::size_t i = 0; i < CheckBoxSZ.size(); ++i)
        CheckBoxSZ[i]->setChecked(frame.sizes[i]);
    CheckBoxSZFree->setChecked(frame.freeSize);
    EditUpDownSZWidth->SetPosition(frame.freeWidth);
    EditUpDownSZHeight->SetPosition(frame.freeHeight);
    EditCmnt->setText(QString::fromStdString(frame.comment));
    SelectColorButtonMF->SetColor(frame.color);
    SpeedButtonMFFont->SetFont(frame.font);
}

void MonitorFramePage::takeOptions(Options& options) const {
    auto& frame = options.monitorFrame;
    frame.draw = CheckBoxMonitorFrame->isChecked();
    takeButtons(anchorButtons(), frame.anchor);
    for (std::size_t i = 0; i < CheckBoxSZ.size(); ++i)
        frame.sizes[i] = CheckBoxSZ[i]->isChecked();
    frame.freeSize = CheckBoxSZFree->isChecked();
    frame.freeWidth = EditUpDownSZWidth->Position();
    frame.freeHeight = EditUpDownSZHeight->Position();
    frame.comment = EditCmnt->text().toStdString();
    frame.color = SelectColorButtonMF->Color();
    frame.font = SpeedButtonMFFont->Font();
}

void MonitorFramePage::applyScreenBounds(const ScreenBounds& screen) {
    EditUpDownSZWidth->SetMax(screen.maxX());
    EditUpDownSZHeight->SetMax(screen.maxY());
}

void MonitorFramePage::showScreenSize(const ScreenBounds& screen) {
    CoupleLabelNowSize->SetText(QString::fromStdString(sizeText(screen.width, screen.height)));
}

void MonitorFramePage::CheckBoxMonitorFrameClick() {
    PanelExMonitorFrame->SetEnabled(CheckBoxMonitorFrame->isChecked());
    CheckBoxSZFreeClick();
    emit changed();
}

void MonitorFramePage::CheckBoxSZFreeClick() {
    // This rule does not count as a change.
    applyScreenBounds(currentScreen());
    PanelExMFSFree->SetEnabled(CheckBoxMonitorFrame->isChecked() && CheckBoxSZFree->isChecked());
}

} // namespace zbpg

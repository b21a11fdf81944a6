#include "ui/pages/SysInfoPage.h"

#include "controls/EditUpDown.h"
#include "controls/PanelEx.h"
#include "draw/DrawRun.h"
#include "text/Texts.h"
#include "ui/FontButton.h"
#include "ui/Guarded.h"
#include "ui/PositionPicker.h"
#include "ui/pages/PageWidgets.h"

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

constexpr SystemInfoLine kLines[] = {SystemInfoLine::User, SystemInfoLine::Computer,
                                     SystemInfoLine::IPAddress};

} // namespace

SysInfoPage::SysInfoPage(PositionPicker& picker)
    : CheckBoxSIUser(named(new QCheckBox("ログインユーザ名を描画する"), "CheckBoxSIUser")),
      PanelExSIUser(named(new TPanelEx, "PanelExSIUser")),
      EditSIUserLabel(named(new QLineEdit, "EditSIUserLabel")),
      EditSIUser(named(new QLineEdit, "EditSIUser")),
      SpeedButtonSIUserFont(named(new FontButton, "SpeedButtonSIUserFont")),
      EditUpDownSIUserLeft(named(numberField(), "EditUpDownSIUserLeft")),
      EditUpDownSIUserTop(named(numberField(), "EditUpDownSIUserTop")),
      SpeedButtonSIUserPos(
          named(glyphButton(QStyle::SP_ArrowRight, texts::kPickOnScreen), "SpeedButtonSIUserPos")),
      CheckBoxSIComp(named(new QCheckBox("コンピュータ名を描画する"), "CheckBoxSIComp")),
      PanelExSIComp(named(new TPanelEx, "PanelExSIComp")),
      EditSICompLabel(named(new QLineEdit, "EditSICompLabel")),
      EditSIComp(named(new QLineEdit, "EditSIComp")),
      SpeedButtonSICompFont(named(new FontButton, "SpeedButtonSICompFont")),
      EditUpDownSICompLeft(named(numberField(), "EditUpDownSICompLeft")),
      EditUpDownSICompTop(named(numberField(), "EditUpDownSICompTop")),
      SpeedButtonSICompPos(
          named(glyphButton(QStyle::SP_ArrowRight, texts::kPickOnScreen), "SpeedButtonSICompPos")),
      CheckBoxSIIPAddr(named(new QCheckBox("ＩＰアドレスを描画する"), "CheckBoxSIIPAddr")),
      PanelExSIIPAddr(named(new TPanelEx, "PanelExSIIPAddr")),
      EditSIIPAddrLabel(named(new QLineEdit, "EditSIIPAddrLabel")),
      EditSIIPAddr(named(new QLineEdit, "EditSIIPAddr")),
      SpeedButtonSIIPAddrFont(named(new FontButton, "SpeedButtonSIIPAddrFont")),
      EditUpDownSIIPAddrLeft(named(numberField(), "EditUpDownSIIPAddrLeft")),
      EditUpDownSIIPAddrTop(named(numberField(), "EditUpDownSIIPAddrTop")),
      SpeedButtonSIIPAddrPos(named(glyphButton(QStyle::SP_ArrowRight, texts::kPickOnScreen),
                                   "SpeedButtonSIIPAddrPos")),
      m_picker(picker) {
    setObjectName("TabSheetSysInfo");
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(4);
    for (const SystemInfoLine line : kLines)
        layout->addWidget(createLineBox(line));
    layout->addStretch();

    connect(CheckBoxSIUser, &QAbstractButton::toggled, this, [this] { CheckBoxSIUserClick(); });
    connect(CheckBoxSIComp, &QAbstractButton::toggled, this, [this] { CheckBoxSICompClick(); });
    connect(CheckBoxSIIPAddr, &QAbstractButton::toggled, this, [this] { CheckBoxSIIPAddrClick(); });
    onClick(SpeedButtonSIUserPos, this, [this] { SpeedButtonSIUserPosClick(); });
    onClick(SpeedButtonSICompPos, this, [this] { SpeedButtonSICompPosClick(); });
    onClick(SpeedButtonSIIPAddrPos, this, [this] { SpeedButtonSIIPAddrPosClick(); });
}

QWidget* SysInfoPage::createLineBox(SystemInfoLine line) {
    const LineControls c = lineControls(line);
    auto* box = new QGroupBox;
    auto* boxLayout = new QVBoxLayout(box);
    boxLayout->setContentsMargins(6, 4, 6, 4);
    boxLayout->addWidget(c.check);
    auto* grid = new QGridLayout(c.panel);
    grid->setContentsMargins(16, 0, 0, 0);
    grid->setVerticalSpacing(2);
    c.value->setReadOnly(true);
    c.value->setBackgroundRole(QPalette::Button);
    c.font->setToolTip(texts::kChooseFont);
    auto* position = new QHBoxLayout;
    position->addWidget(label(texts::kPosition));
    position->addWidget(c.left);
    position->addWidget(c.top);
    position->addWidget(c.pick);
    position->addStretch();
    grid->addWidget(c.label, 0, 0);
    grid->addWidget(c.value, 0, 1);
    grid->addWidget(c.font, 0, 2);
    grid->addLayout(position, 1, 0, 1, 3);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    boxLayout->addWidget(c.panel);

    const auto mark = [this] { emit changed(); };
    connect(c.label, &QLineEdit::textChanged, this, mark);
    for (auto* field : {c.left, c.top})
        field->OnChange = [mark](QObject*) { mark(); };
    onClick(c.font, this, [this, font = c.font] {
        SpeedButtonClick(*font);
        emit changed();
    });
    return box;
}

SysInfoPage::LineControls SysInfoPage::lineControls(SystemInfoLine line) const {
    switch (line) {
    case SystemInfoLine::User:
        return {CheckBoxSIUser,      PanelExSIUser,         EditSIUserLabel,
                EditSIUser,          SpeedButtonSIUserFont, EditUpDownSIUserLeft,
                EditUpDownSIUserTop, SpeedButtonSIUserPos};
    case SystemInfoLine::Computer:
        return {CheckBoxSIComp,      PanelExSIComp,         EditSICompLabel,
                EditSIComp,          SpeedButtonSICompFont, EditUpDownSICompLeft,
                EditUpDownSICompTop, SpeedButtonSICompPos};
    case SystemInfoLine::IPAddress:
        break;
    }
    return {CheckBoxSIIPAddr,      PanelExSIIPAddr,         EditSIIPAddrLabel,
            EditSIIPAddr,          SpeedButtonSIIPAddrFont, EditUpDownSIIPAddrLeft,
            EditUpDownSIIPAddrTop, SpeedButtonSIIPAddrPos};
}

void SysInfoPage::showOptions(const Options& options) {
    for (const SystemInfoLine line : kLines) {
        const auto& stored = options.line(line);
        const LineControls c = lineControls(line);
        c.check->setChecked(stored.draw);
        c.label->setText(QString::fromStdString(stored.label));
        c.left->SetPosition(stored.left);
        c.top->SetPosition(stored.top);
        c.font->SetFont(stored.font);
    }
}

void SysInfoPage::takeOptions(Options& options) const {
    for (const SystemInfoLine line : kLines) {
        auto& stored = options.line(line);
        const LineControls c = lineControls(line);
        stored.draw = c.check->isChecked();
        stored.label = c.label->text().toStdString();
        stored.left = c.left->Position();
        stored.top = c.top->Position();
        stored.font = c.font->Font();
    }
}

void SysInfoPage::applyScreenBounds(const ScreenBounds& screen) {
    for (const SystemInfoLine line : kLines) {
        const LineControls c = lineControls(line);
        c.left->SetMax(screen.maxX());
        c.top->SetMax(screen.maxY());
    }
}

void SysInfoPage::showValue(SystemInfoLine line, const std::string& value) {
    lineControls(line).value->setText(QString::fromStdString(value));
}

void SysInfoPage::lineRule(SystemInfoLine line) {
    const LineControls c = lineControls(line);
    c.panel->SetEnabled(c.check->isChecked());
    const ScreenBounds screen = currentScreen();
    c.left->SetMax(screen.maxX());
    c.top->SetMax(screen.maxY());
    emit changed();
}

void SysInfoPage::CheckBoxSIUserClick() {
    lineRule(SystemInfoLine::User);
}

void SysInfoPage::CheckBoxSICompClick() {
    lineRule(SystemInfoLine::Computer);
}

void SysInfoPage::CheckBoxSIIPAddrClick() {
    lineRule(SystemInfoLine::IPAddress);
}

void SysInfoPage::TabSheetSysInfoShow() {
    for (const SystemInfoLine line : kLines)
        showValue(line, fetchSystemInfo(line));
}

void SysInfoPage::SpeedButtonSIUserPosClick() {
    pickPosition(SystemInfoLine::User);
}

void SysInfoPage::SpeedButtonSICompPosClick() {
    pickPosition(SystemInfoLine::Computer);
}

void SysInfoPage::SpeedButtonSIIPAddrPosClick() {
    pickPosition(SystemInfoLine::IPAddress);
}

void SysInfoPage::pickPosition(SystemInfoLine line) {
    const LineControls c = lineControls(line);
    // The line as a run draws it: the label, then the value, nothing between.
    m_picker.PickTextPosition((c.label->text() + c.value->text()).toStdString(), c.font->Font(),
                              *c.left, *c.top);
}

void SysInfoPage::pageShown() {
    TabSheetSysInfoShow();
}

} // namespace zbpg

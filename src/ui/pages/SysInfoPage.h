#pragma once

#include "ui/pages/SettingsPage.h"

#include <string>

class QCheckBox;
class QLineEdit;
class QToolButton;

namespace zbpg {

class FontButton;
class PositionPicker;
class TEditUpDown;
class TPanelEx;

// The page "システム情報": the three lines of login user, computer name and IP address, each
// with its label, place and font, and the current value read-only beside the label.
class SysInfoPage final : public SettingsPage {
    Q_OBJECT
public:
    // The place of a line is picked on the screen with the picker.
    explicit SysInfoPage(PositionPicker& picker);

    void showOptions(const Options& options) override;
    void takeOptions(Options& options) const override;
    void pageShown() override;

    // The places take at most the screen's last column and row.
    void applyScreenBounds(const ScreenBounds& screen);
    // A value as a draw run fetched it.
    void showValue(SystemInfoLine line, const std::string& value);

    // The enabling rules: each line's controls follow its check box.
    void CheckBoxSIUserClick();
    void CheckBoxSICompClick();
    void CheckBoxSIIPAddrClick();
    // Fills the read-only fields with the current values; no change of the settings.
    void TabSheetSysInfoShow();
    // Each picks its line's place on the screen, the label and value shown in the line's font.
    void SpeedButtonSIUserPosClick();
    void SpeedButtonSICompPosClick();
    void SpeedButtonSIIPAddrPosClick();

private:
    // The controls of one line.
    struct LineControls {
        QCheckBox* check;
        TPanelEx* panel;
        QLineEdit* label;
        QLineEdit* value;
        FontButton* font;
        TEditUpDown* left;
        TEditUpDown* top;
        QToolButton* pick;
    };
    LineControls lineControls(SystemInfoLine line) const;
    void lineRule(SystemInfoLine line);
    void pickPosition(SystemInfoLine line);
    QWidget* createLineBox(SystemInfoLine line);

    QCheckBox* CheckBoxSIUser;
    TPanelEx* PanelExSIUser;
    QLineEdit* EditSIUserLabel;
    QLineEdit* EditSIUser;
    FontButton* SpeedButtonSIUserFont;
    TEditUpDown* EditUpDownSIUserLeft;
    TEditUpDown* EditUpDownSIUserTop;
    QToolButton* SpeedButtonSIUserPos;
    QCheckBox* CheckBoxSIComp;
    TPanelEx* PanelExSIComp;
    QLineEdit* EditSICompLabel;
    QLineEdit* EditSIComp;
    FontButton* SpeedButtonSICompFont;
    TEditUpDown* EditUpDownSICompLeft;
    TEditUpDown* EditUpDownSICompTop;
    QToolButton* SpeedButtonSICompPos;
    QCheckBox* CheckBoxSIIPAddr;
    TPanelEx* PanelExSIIPAddr;
    QLineEdit* EditSIIPAddrLabel;
    QLineEdit* EditSIIPAddr;
    FontButton* SpeedButtonSIIPAddrFont;
    TEditUpDown* EditUpDownSIIPAddrLeft;
    TEditUpDown* EditUpDownSIIPAddrTop;
    QToolButton* SpeedButtonSIIPAddrPos;

    PositionPicker& m_picker;
};

} // namespace zbpg

#pragma once

#include "ui/pages/SettingsPage.h"

#include <array>

class QAbstractButton;
class QCheckBox;
class QLineEdit;
class QToolButton;

namespace zbpg {

class FontButton;
class TCoupleLabel;
class TEditUpDown;
class TPanelEx;
class TSelectColorButton;

// The page "画面サイズ": which screen-size frames are drawn, where they are pinned, their colour
// and the font of their labels, and the size of the screen now.
class MonitorFramePage final : public SettingsPage {
    Q_OBJECT
public:
    MonitorFramePage();

    void showOptions(const Options& options) override;
    void takeOptions(Options& options) const override;

    // The free size takes at most the screen's last column and row.
    void applyScreenBounds(const ScreenBounds& screen);
    // "現在の画面サイズ：　" followed by the screen's size.
    void showScreenSize(const ScreenBounds& screen);

    // The enabling rules: the page follows its check box, the free size fields follow both.
    void CheckBoxMonitorFrameClick();
    void CheckBoxSZFreeClick();

private:
    QCheckBox* CheckBoxMonitorFrame;
    TPanelEx* PanelExMonitorFrame;
    QToolButton* SpeedButtonMFPlt;
    QToolButton* SpeedButtonMFPlb;
    QToolButton* SpeedButtonMFPrt;
    QToolButton* SpeedButtonMFPrb;
    QToolButton* SpeedButtonMFPc;
    std::array<QCheckBox*, kFixedFrameSizes.size()> CheckBoxSZ{}; // CheckBoxSZ1 … CheckBoxSZ6
    QCheckBox* CheckBoxSZFree;
    TPanelEx* PanelExMFSFree;
    TEditUpDown* EditUpDownSZWidth;
    TEditUpDown* EditUpDownSZHeight;
    QLineEdit* EditCmnt;
    TSelectColorButton* SelectColorButtonMF;
    FontButton* SpeedButtonMFFont;
    TCoupleLabel* CoupleLabelNowSize;

    std::array<QAbstractButton*, 5> anchorButtons() const;
};

} // namespace zbpg

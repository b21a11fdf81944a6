#pragma once

#include "ui/pages/SettingsPage.h"

class QCheckBox;
class QListWidget;
class QRadioButton;
class QToolButton;

namespace zbpg {

class TDropDst;
class TPanelEx;

// The page "壁紙設定": the wallpaper list that the rotation takes the next wallpaper from, how
// the wallpaper is placed and in which order the list is worked through.
class WallpaperPage final : public SettingsPage {
    Q_OBJECT
public:
    WallpaperPage();

    void showOptions(const Options& options) override;
    void takeOptions(Options& options) const override;

    // The enabling rule of the page: the list and its options follow "壁紙を変更・描画する".
    void CheckBoxWallpaperClick();

private:
    void SpeedButtonPropertyClick();

    QCheckBox* CheckBoxWallpaper;
    TPanelEx* PanelExWallPaper;
    QListWidget* CheckListBoxWPList;
    QToolButton* SpeedButtonWPOpen;
    QToolButton* SpeedButtonWPDel;
    QToolButton* SpeedButtonWPAllDel;
    QToolButton* SpeedButtonWPAllOn;
    QToolButton* SpeedButtonWPAllOff;
    QToolButton* SpeedButtonWPUp;
    QToolButton* SpeedButtonWPDown;
    QToolButton* SpeedButtonProperty;
    QCheckBox* CheckBoxWPSubFolder;
    QRadioButton* RadioButtonWPPCenter;
    QRadioButton* RadioButtonWPPEnum;
    QRadioButton* RadioButtonWPPSpread;
    QRadioButton* RadioButtonWPSRandom;
    QRadioButton* RadioButtonWPSSeq;
    TDropDst* DropDstWallpaper;

    // The hidden lists of the wallpaper list: the check and the path of each entry.
    ListControlDescription m_stat;
    ListControlDescription m_file;
};

} // namespace zbpg

#pragma once

#include "ui/pages/SettingsPage.h"

#include <string>
#include <vector>

class QCheckBox;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QRadioButton;
class QToolButton;

namespace zbpg {

class TDropDst;
class TOpenDialogEx;
class TPanelEx;
class TRegManager;
class TSHBrowseForFolderEx;

// The page "壁紙設定": the wallpaper list that the rotation takes the next wallpaper from, how
// the wallpaper is placed and in which order the list is worked through.
class WallpaperPage final : public SettingsPage {
    Q_OBJECT
public:
    // The file and folder choosers are the window's; the folder and filter last chosen are
    // kept in the settings.
    WallpaperPage(TRegManager& settings, TOpenDialogEx& openDialog,
                  TSHBrowseForFolderEx& folderDialog);

    void showOptions(const Options& options) override;
    void takeOptions(Options& options) const override;

    // The enabling rule of the page: the list and its options follow "壁紙を変更・描画する".
    void CheckBoxWallpaperClick();

private:
    void connectListEditing();
    void SpeedButtonPropertyClick();
    // The add menu opens below the button, or at the cursor when the list's menu asked for it.
    void SpeedButtonWPOpenClick(const QObject* sender);
    void PMFolderSelectClick();
    void PMFileSelectClick();
    void DropDstWallpaperFileDrop(const std::vector<std::string>& files);
    void SpeedButtonWPDelClick();
    void SpeedButtonWPAllDelClick();
    void SpeedButtonWPAllOnClick();
    void SpeedButtonWPAllOffClick();
    void SpeedButtonWPUpClick();
    void SpeedButtonWPDownClick();
    void CheckListBoxWPListClickCheck(const QListWidgetItem* item);

    // The edits of the wallpaper list, each made to the visible and both hidden lists at once.
    bool appendEntries(const std::vector<std::string>& paths);
    void appendEntry(const std::string& path);
    void checkAll(bool checked);
    void moveRow(int row, int to);
    void keepInStep();
    // The first selected row from first to last, -1 when none is.
    int selectedRow(int first, int last) const;

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
    QMenu* PopupMenuWallpaper;
    QMenu* PopupMenuWPList;

    // The hidden lists of the wallpaper list: the check and the path of each entry.
    ListControlDescription m_stat;
    ListControlDescription m_file;

    TRegManager& m_settings;
    TOpenDialogEx& m_openDialog;
    TSHBrowseForFolderEx& m_folderDialog;
};

} // namespace zbpg

#pragma once

#include "common/ProgramFiles.h"
#include "options/Options.h"
#include "settings/RegMng.h"

#include <QWidget>
#include <array>
#include <string>
#include <vector>

class QPushButton;
class QToolButton;

namespace zbpg {

class AppExecPage;
class FreeMessagePage;
class MonitorFramePage;
class MultiRowTabWidget;
class SetEnvPage;
class SettingsPage;
class SysInfoPage;
class TFormWallpaper;
class TOpenDialogEx;
class TSHBrowseForFolderEx;
class VersionPage;
class WallpaperPage;

// The settings window: the seven pages under their tabs and the buttons below them. The window
// keeps the settings file and its changed state ("適用(&A)" enabled), loads and saves the
// options through its pages, resets them, and starts trial runs with the options as they stand.
class TFormMain final : public QWidget {
    Q_OBJECT
public:
    explicit TFormMain(ProgramFiles files, QWidget* parent = nullptr);
    ~TFormMain() override;

    // The creation steps before the window is shown: the Startup button (a Startup folder that
    // could not be read is reported), the stored settings, the screen size, the enabling rules
    // and a clean changed state. False when a stored setting could not be read (its message has
    // been shown; the steps are all done).
    [[nodiscard]] bool FormCreate();

    // The options as the pages show them now, and the options shown in the pages.
    Options options() const;
    void showOptions(const Options& options);

    // False when a stored setting could not be read (see loadShown).
    bool LoadSettings();
    // After a reset the user has confirmed (OK or "適用(&A)"), the file is made anew.
    void SaveSettings();

private:
    void SpeedButtonAllInitClick();
    void ButtonOKClick();
    void ButtonCancelClick();
    void ButtonSaveClick();
    void UpdateTrue();
    void ButtonDrawClick();
    void ButtonWallpaperDrawClick();
    void SpeedButtonHelpClick();
    void OpenDialogExSetLeftTop(int& left, int& top);

    QWidget* createButtonRow();
    void connectHandlers();
    void connectDialogKeys();
    void pressFocusedOrDefaultButton();
    std::array<SettingsPage*, 7> pages() const;
    void applyScreenBounds(const ScreenBounds& screen);
    void applyEnablingRules();
    // Reads the settings file into the options and shows them; each item that could not be
    // read keeps its value and is reported by the general error report. False after a report.
    bool loadShown(TRegManager& settings, Options& options);
    void saveAfterReset();
    void currentPageChanged(int index);

    ProgramFiles FFiles;
    TRegManager RegManager;
    TOpenDialogEx* OpenDialogEx;
    // The full-screen picker behind the pages' position buttons.
    TFormWallpaper* FormWallpaper;
    TSHBrowseForFolderEx* SHBrowseForFolderEx;

    MultiRowTabWidget* PageControlEnv;
    SetEnvPage* TabSheetSetEnv;
    WallpaperPage* TabSheetWallpaper;
    MonitorFramePage* TabSheetMonitorFrame;
    SysInfoPage* TabSheetSysInfo;
    FreeMessagePage* TabSheetFree;
    AppExecPage* TabSheetAppExec;
    VersionPage* TabSheetVersion;

    QPushButton* ButtonDraw = nullptr;
    QPushButton* ButtonWallpaperDraw = nullptr;
    QToolButton* SpeedButtonHelp = nullptr;
    QPushButton* ButtonOK = nullptr;
    QPushButton* ButtonCancel = nullptr;
    QPushButton* ButtonSave = nullptr;

    // The clean wallpaper shown again by "元に戻す".
    std::string FBaseWallpaper;
    // A reset shows the defaults but keeps the file until the user confirms it by saving; the
    // texts of the items written at once, as they stood at the reset, tell which of them were
    // written since and outlive the file.
    bool FResetPending = false;
    std::vector<std::string> FPartItemsAtReset;
    int FPreviousPage = 0;
};

} // namespace zbpg

#pragma once

#include "settings/ComponentStream.h"
#include "settings/RegMng.h"

#include <QImage>
#include <QWidget>
#include <array>
#include <functional>
#include <string>
#include <vector>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimer;
class QToolButton;

namespace zbpg {

class FontButton;
class MultiRowTabWidget;
class TCoupleLabel;
class TDropDst;
class TEditUpDown;
class TGradBox;
class TOpenDialogEx;
class TPanelEx;
class TSelectColorButton;

// The controls of one application list (0: started before drawing, 1: after): the visible
// check list, the ten hidden field lists in entry order, and the list's buttons.
struct AppExecControls {
    QListWidget* checkList = nullptr;
    std::array<ListControlDescription*, 10> fields{};
    QToolButton* add = nullptr;
    QToolButton* del = nullptr;
    QToolButton* upd = nullptr;
    QToolButton* up = nullptr;
    QToolButton* down = nullptr;
};

// The settings window: seven pages that edit every option of the draw run. The options live as
// the state of its controls; LoadSettings and SaveSettings move them between the controls and
// the INI file.
class TFormMain final : public QWidget {
    Q_OBJECT
public:
    explicit TFormMain(QWidget* parent = nullptr);
    ~TFormMain() override;

    // --- settings (load, save, reset, changed state) ---
    void LoadSettings();
    void SaveSettings();
    void SpeedButtonAllInitClick(QObject* sender = nullptr);
    void ButtonOKClick(QObject* sender = nullptr);
    void ButtonCancelClick(QObject* sender = nullptr);
    void ButtonSaveClick(QObject* sender = nullptr);
    void UpdateTrue(QObject* sender = nullptr);

    // --- enabling rules ---
    void CheckBoxWallpaperClick(QObject* sender = nullptr);
    void CheckBoxMonitorFrameClick(QObject* sender = nullptr);
    void CheckBoxSZFreeClick(QObject* sender = nullptr);
    void CheckBoxSIUserClick(QObject* sender = nullptr);
    void CheckBoxSICompClick(QObject* sender = nullptr);
    void CheckBoxSIIPAddrClick(QObject* sender = nullptr);
    void CheckBoxFreeMessageClick(QObject* sender = nullptr);
    void RadioButtonFMFileClick(QObject* sender = nullptr);

    // --- fonts, free-message file, draw sequence, help, version page ---
    void SpeedButtonClick(QObject* sender);
    void SpeedButtonFMFileOpenClick(QObject* sender = nullptr);
    void DropDstFreeFileFileDrop(QObject* sender, const std::vector<std::string>& files, int x,
                                 int y);
    void OpenDialogExSetLeftTop(QObject* sender, int& left, int& top, int width, int height);
    void SpeedButtonDSUpClick(QObject* sender = nullptr);
    void SpeedButtonDSDownClick(QObject* sender = nullptr);
    void SpeedButtonHelpClick(QObject* sender = nullptr);
    void TabSheetVersionShow(QObject* sender = nullptr);
    void TabSheetVersionHide(QObject* sender = nullptr);
    void TimerVersionTimer(QObject* sender = nullptr);

    // --- start-up registration ---
    bool UpdateStartUpButton();
    void SpeedButtonStartUpClick(QObject* sender = nullptr);

    // --- the draw run and its steps ---
    void DrawDesktop();
    void ButtonDrawClick(QObject* sender = nullptr);
    void PrepareDesktopCanvas();
    void DrawMonitorFrames();
    void DrawMonitorFrame(int width, int height, const std::string& label);
    void DrawTextItem(const std::string& text, const FontDescription& font, int x, int y);
    void DrawFreeMessage();
    void DrawTextLines(const std::vector<std::string>& lines, const FontDescription& font,
                       int interval, int x, int y);
    void TabSheetSysInfoShow(QObject* sender = nullptr);

    // --- wallpaper and launcher ---
    void ShowWallpaper(const std::string& keepFile, const std::string& showFile);
    void ButtonWallpaperDrawClick(QObject* sender = nullptr);
    void SpeedButtonPropertyClick(QObject* sender = nullptr);
    void RunApplications(int list);

    // The start-up mode: set once at window creation.
    bool FOnlyDraw = false;
    // The composed picture of a run, screen-sized.
    QImage FDrawBitmap;
    // Where a run writes its composed picture before it is displayed.
    std::string FTmpBitmapFile;
    // The clean wallpaper of the last run or restore.
    std::string FBaseWallpaper;

    // --- window creation steps that the program entry runs ---
    // Gives the settings file to the manager.
    void setIniFile(const std::string& path);
    const std::string& iniFile() const { return FIniFile; }
    // Upper bounds of the coordinate and size fields from the screen, before values are loaded.
    void applyScreenBounds();
    // The current screen size into CoupleLabelNowSize.
    void showScreenSize();
    // The enabling rules after a load, then a clean changed state.
    void applyEnablingRules();
    void setHelpFile(const std::string& path) { FHelpFile = path; }
    const std::string& helpFile() const { return FHelpFile; }
    // Where the shortcut registering the program at logon lives.
    void setStartUpLink(const std::string& path) { FStartUpLink = path; }
    // The running program file, which the Startup shortcut starts.
    void setProgramFile(const std::string& path) { FProgramFile = path; }

    TRegManager RegManager;

    // --- the window's controls, named as the program's design names them ---
    MultiRowTabWidget* PageControlEnv = nullptr;
    QWidget* TabSheetSetEnv = nullptr;
    QWidget* TabSheetWallpaper = nullptr;
    QWidget* TabSheetMonitorFrame = nullptr;
    QWidget* TabSheetSysInfo = nullptr;
    QWidget* TabSheetFree = nullptr;
    QWidget* TabSheetAppExec = nullptr;
    QWidget* TabSheetVersion = nullptr;

    QPushButton* ButtonDraw = nullptr;
    QPushButton* ButtonWallpaperDraw = nullptr;
    QToolButton* SpeedButtonHelp = nullptr;
    QPushButton* ButtonOK = nullptr;
    QPushButton* ButtonCancel = nullptr;
    QPushButton* ButtonSave = nullptr;

    // 設定
    QRadioButton* RadioButtonOverwrite = nullptr;
    QRadioButton* RadioButtonRewrite = nullptr;
    QListWidget* ListBoxDrawSeq = nullptr;
    QToolButton* SpeedButtonDSUp = nullptr;
    QToolButton* SpeedButtonDSDown = nullptr;
    QToolButton* SpeedButtonAllInit = nullptr;
    QToolButton* SpeedButtonStartUp = nullptr;
    TEditUpDown* EditUpDownStartUp = nullptr;

    // 壁紙設定
    QCheckBox* CheckBoxWallpaper = nullptr;
    TPanelEx* PanelExWallPaper = nullptr;
    QListWidget* CheckListBoxWPList = nullptr;
    QToolButton* SpeedButtonWPOpen = nullptr;
    QToolButton* SpeedButtonWPDel = nullptr;
    QToolButton* SpeedButtonWPAllDel = nullptr;
    QToolButton* SpeedButtonWPAllOn = nullptr;
    QToolButton* SpeedButtonWPAllOff = nullptr;
    QToolButton* SpeedButtonWPUp = nullptr;
    QToolButton* SpeedButtonWPDown = nullptr;
    QToolButton* SpeedButtonProperty = nullptr;
    QCheckBox* CheckBoxWPSubFolder = nullptr;
    QRadioButton* RadioButtonWPPCenter = nullptr;
    QRadioButton* RadioButtonWPPEnum = nullptr;
    QRadioButton* RadioButtonWPPSpread = nullptr;
    QRadioButton* RadioButtonWPSRandom = nullptr;
    QRadioButton* RadioButtonWPSSeq = nullptr;

    // 画面サイズ
    QCheckBox* CheckBoxMonitorFrame = nullptr;
    TPanelEx* PanelExMonitorFrame = nullptr;
    QToolButton* SpeedButtonMFPlt = nullptr;
    QToolButton* SpeedButtonMFPlb = nullptr;
    QToolButton* SpeedButtonMFPrt = nullptr;
    QToolButton* SpeedButtonMFPrb = nullptr;
    QToolButton* SpeedButtonMFPc = nullptr;
    std::array<QCheckBox*, 6> CheckBoxSZ{}; // CheckBoxSZ1 … CheckBoxSZ6
    QCheckBox* CheckBoxSZFree = nullptr;
    TPanelEx* PanelExMFSFree = nullptr;
    TEditUpDown* EditUpDownSZWidth = nullptr;
    TEditUpDown* EditUpDownSZHeight = nullptr;
    QLineEdit* EditCmnt = nullptr;
    TSelectColorButton* SelectColorButtonMF = nullptr;
    FontButton* SpeedButtonMFFont = nullptr;
    TCoupleLabel* CoupleLabelNowSize = nullptr;

    // システム情報
    QCheckBox* CheckBoxSIUser = nullptr;
    TPanelEx* PanelExSIUser = nullptr;
    QLineEdit* EditSIUserLabel = nullptr;
    QLineEdit* EditSIUser = nullptr;
    FontButton* SpeedButtonSIUserFont = nullptr;
    TEditUpDown* EditUpDownSIUserLeft = nullptr;
    TEditUpDown* EditUpDownSIUserTop = nullptr;
    QToolButton* SpeedButtonSIUserPos = nullptr;
    QCheckBox* CheckBoxSIComp = nullptr;
    TPanelEx* PanelExSIComp = nullptr;
    QLineEdit* EditSICompLabel = nullptr;
    QLineEdit* EditSIComp = nullptr;
    FontButton* SpeedButtonSICompFont = nullptr;
    TEditUpDown* EditUpDownSICompLeft = nullptr;
    TEditUpDown* EditUpDownSICompTop = nullptr;
    QToolButton* SpeedButtonSICompPos = nullptr;
    QCheckBox* CheckBoxSIIPAddr = nullptr;
    TPanelEx* PanelExSIIPAddr = nullptr;
    QLineEdit* EditSIIPAddrLabel = nullptr;
    QLineEdit* EditSIIPAddr = nullptr;
    FontButton* SpeedButtonSIIPAddrFont = nullptr;
    TEditUpDown* EditUpDownSIIPAddrLeft = nullptr;
    TEditUpDown* EditUpDownSIIPAddrTop = nullptr;
    QToolButton* SpeedButtonSIIPAddrPos = nullptr;

    // 任意表示
    QCheckBox* CheckBoxFreeMessage = nullptr;
    TPanelEx* PanelExFreeMessage = nullptr;
    QRadioButton* RadioButtonFMFile = nullptr;
    QRadioButton* RadioButtonFMInput = nullptr;
    TPanelEx* PanelExFMFile = nullptr;
    QLineEdit* EditFMFile = nullptr;
    QToolButton* SpeedButtonFMFileOpen = nullptr;
    QPlainTextEdit* MemoFMInput = nullptr;
    TPanelEx* PanelExFM = nullptr;
    TEditUpDown* EditUpDownFMLineInterval = nullptr;
    FontButton* SpeedButtonFMFont = nullptr;
    TEditUpDown* EditUpDownFMLeft = nullptr;
    TEditUpDown* EditUpDownFMTop = nullptr;
    QToolButton* SpeedButtonFMPos = nullptr;

    // 外部アプリ起動
    QListWidget* CheckListBoxAEBef = nullptr;
    QListWidget* CheckListBoxAEAft = nullptr;
    QToolButton* SpeedButtonAEBAdd = nullptr;
    QToolButton* SpeedButtonAEBDel = nullptr;
    QToolButton* SpeedButtonAEBUpd = nullptr;
    QToolButton* SpeedButtonAEBUp = nullptr;
    QToolButton* SpeedButtonAEBDown = nullptr;
    QToolButton* SpeedButtonAEAAdd = nullptr;
    QToolButton* SpeedButtonAEADel = nullptr;
    QToolButton* SpeedButtonAEAUpd = nullptr;
    QToolButton* SpeedButtonAEAUp = nullptr;
    QToolButton* SpeedButtonAEADown = nullptr;

    // バージョン情報
    TGradBox* GradBoxVersion = nullptr;
    QLabel* ImageZorbel = nullptr;
    QLabel* LabelTitle = nullptr;
    QLabel* LabelVersion = nullptr;
    QLabel* ImageIcon = nullptr;
    QLabel* LabelWindows = nullptr;
    QTimer* TimerVersion = nullptr;

    // Hidden templates holding the factory colour and fonts for the reset.
    TSelectColorButton* SelectColorButtonMFB = nullptr;
    FontButton* SpeedButtonMFFontB = nullptr;
    FontButton* SpeedButtonSIB = nullptr;
    FontButton* SpeedButtonFMFontB = nullptr;

    // Non-visual members.
    TOpenDialogEx* OpenDialogEx = nullptr;
    TDropDst* DropDstFreeFile = nullptr;
    TDropDst* DropDstWallpaper = nullptr;
    TDropDst* DropDstAEBef = nullptr;
    TDropDst* DropDstAEAft = nullptr;

    // The stored lists that have no visible control of their own.
    ListControlDescription ListBoxDrawSeqStream; // ListBoxDrawSeq as stored (layout and lines)
    ListControlDescription ListBoxWPStat;
    ListControlDescription ListBoxWPFile;
    ListControlDescription ListBoxAEBStat, ListBoxAEBCmd, ListBoxAEBCmdParam, ListBoxAEBTmpDir,
        ListBoxAEBSTNormal, ListBoxAEBSTMin, ListBoxAEBSTMax, ListBoxAEBWTWait, ListBoxAEBWTNoWait,
        ListBoxAEBWTNoWaitSec;
    ListControlDescription ListBoxAEAStat, ListBoxAEACmd, ListBoxAEACmdParam, ListBoxAEATmpDir,
        ListBoxAEASTNormal, ListBoxAEASTMin, ListBoxAEASTMax, ListBoxAEAWTWait, ListBoxAEAWTNoWait,
        ListBoxAEAWTNoWaitSec;

    std::array<AppExecControls, 2> FAppExecControls;

private:
    // One item of the settings and how its control takes and gives its value, or (without a
    // name) a step of the load between two items.
    struct SettingBinding {
        std::string name;
        std::function<void(TRegFiler&)> load;
        std::function<void(TRegFiler&)> save;
        std::function<void()> step = {};
    };

    // Building the window (MainPages.cpp).
    void createWindow();
    QWidget* createSetEnvPage();
    QWidget* createWallpaperPage();
    QWidget* createMonitorFramePage();
    QWidget* createSysInfoPage();
    QWidget* createFreePage();
    QWidget* createAppExecPage();
    QWidget* createVersionPage();
    QWidget* createButtonRow();
    void createTemplates();
    void createHiddenLists();
    void fillAppExecControls();
    void connectHandlers();

    // Settings (MainSettings.cpp).
    void createBindings();
    void addBoolean(const std::string& name, QAbstractButton* button);
    void addPosition(const std::string& name, TEditUpDown* field);
    void addText(const std::string& name, QLineEdit* field);
    void addFont(const std::string& name, FontButton* button);
    void addList(const std::string& name, ListControlDescription& list);
    void addStep(std::function<void()> step);
    void fillCheckList(QListWidget* checkList, const ListControlDescription& status,
                       const ListControlDescription& texts);
    void showDrawSequence();
    std::vector<std::string> memoLines() const;
    void setMemoLines(const std::vector<std::string>& lines);

    // Handlers wrapped so that an error reaches the general error report.
    void guarded(const std::function<void()>& handler);
    void onClick(QAbstractButton* button, void (TFormMain::*handler)(QObject*));

    int screenWidth() const;
    int screenHeight() const;
    void moveDrawSequenceRow(int from, int to);

    std::vector<SettingBinding> m_bindings;
    int m_previousPage = 0;
    std::string FIniFile;
    std::string FHelpFile;
    std::string FStartUpLink;
    std::string FProgramFile;
};

} // namespace zbpg

#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace zbpg {

class TDropDst;
class TEditUpDown;
class TOpenDialogEx;
class TPanelEx;
class TRegManager;
class TSHBrowseForFolderEx;

// An application entry as the entry editor shows it: its three texts, the states of its five
// buttons (the lists keep each as "1" or "0") and the pause after a start without waiting.
struct AppEntry {
    std::string command;
    std::string parameters;
    std::string folder;
    bool normal = true;
    bool minimized = false;
    bool maximized = false;
    bool wait = true;
    bool noWait = false;
    int waitSeconds = 0;
    bool operator==(const AppEntry&) const = default;
};

// The height of a title-bar button: the entry editor opens that far (and one pixel) below the
// top of the window it edits for, and its command chooser below its own top.
int titleButtonHeight();

// The editor of one entry of the application lists: the command (a program, a document or an
// address), its parameters and working folder, the window size and whether to wait for the
// program's end. It is made once and serves every add and edit; OK refuses an empty command.
class TFormAppExecEnt final : public QDialog {
    Q_OBJECT
public:
    // The choosers keep the folders they last chose in the settings, written at once.
    explicit TFormAppExecEnt(TRegManager& settings, QWidget* parent = nullptr);

    // Every field of the entry into the controls. Each button is set on its own, in the order
    // normal, minimised, maximised, wait, no wait: a later one that is on wins, and with none on
    // none is checked.
    void setEntry(const AppEntry& entry);
    AppEntry entry() const;
    // Over the window: at its left edge, one title-bar button (and one pixel) below its top,
    // and kept above it.
    void placeOver(const QWidget& window);

    // Shows the dialog modally; true when it closed with OK.
    bool ShowModal();
    // When set, stands in for the modal loop: called with the dialog open, it closes it by its
    // buttons; a dialog it leaves open is cancelled. Tests drive the dialog through it.
    std::function<void(TFormAppExecEnt&)> OnShowModal;

    // Closing with OK asks FormCloseQuery first; Cancel always closes.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* createFields();
    QWidget* createSizeGroup();
    QWidget* createWaitGroup();
    QWidget* createButtons();
    void connectHandlers();

    void FormShow();
    bool FormCloseQuery();
    void RadioButtonAEWTWaitClick();
    void SpeedButtonAECmdClick();
    void SpeedButtonAETmpDirClick();
    void OpenDialogExAECmdSetLeftTop(int& left, int& top) const;
    void DropDstAECmdFileDrop(const std::vector<std::string>& files);
    void DropDstAETmpDirFileDrop(const std::vector<std::string>& files);

    TRegManager& FSettings;
    TPanelEx* PanelExAppExec;
    QLineEdit* EditAECmd;
    QToolButton* SpeedButtonAECmd;
    QLineEdit* EditAECmdParam;
    QLineEdit* EditAETmpDir;
    QToolButton* SpeedButtonAETmpDir;
    QRadioButton* RadioButtonAESTNormal;
    QRadioButton* RadioButtonAESTMin;
    QRadioButton* RadioButtonAESTMax;
    QRadioButton* RadioButtonAEWTWait;
    QRadioButton* RadioButtonAEWTNoWait;
    TPanelEx* PanelExAEWTNW;
    TEditUpDown* EditUpDownAEBWTNoWaitSec;
    QPushButton* ButtonOK;
    QPushButton* ButtonCancel;
    TOpenDialogEx* OpenDialogExAECmd;
    TSHBrowseForFolderEx* SHBrowseForFolderExAETmpDir;
    TDropDst* DropDstAECmd;
    TDropDst* DropDstAETmpDir;
};

} // namespace zbpg

#pragma once

#include "ui/pages/SettingsPage.h"

#include <QPoint>
#include <string>
#include <vector>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QToolButton;

namespace zbpg {

class FontButton;
class PositionPicker;
class TDropDst;
class TEditUpDown;
class TOpenDialogEx;
class TPanelEx;
class TRegManager;

// The page "任意表示": a free message of several lines, typed or read from a file, with its
// line interval, font and place.
class FreeMessagePage final : public SettingsPage {
    Q_OBJECT
public:
    // The file chooser is the window's; the folder it last chose is kept in the settings. The
    // message's place is picked on the screen with the picker.
    FreeMessagePage(TRegManager& settings, TOpenDialogEx& openDialog, PositionPicker& picker);

    void showOptions(const Options& options) override;
    void takeOptions(Options& options) const override;

    // The interval and the place take at most the screen's last column and row.
    void applyScreenBounds(const ScreenBounds& screen);
    // The screen point just below the file field's left end, where the file chooser opens.
    QPoint fileFieldBottomLeft() const;

    // The enabling rules: the page follows its check box, the file or the typed lines follow
    // the choice between them.
    void CheckBoxFreeMessageClick();
    void RadioButtonFMFileClick();
    // Picks the message's place on the screen, its lines shown as a run draws them.
    void SpeedButtonFMPosClick();

private:
    void SpeedButtonFMFileOpenClick();
    void DropDstFreeFileFileDrop(const std::vector<std::string>& files);
    std::vector<std::string> memoLines() const;
    void setMemoLines(const std::vector<std::string>& lines);

    QCheckBox* CheckBoxFreeMessage;
    TPanelEx* PanelExFreeMessage;
    QRadioButton* RadioButtonFMFile;
    QRadioButton* RadioButtonFMInput;
    TPanelEx* PanelExFMFile;
    QLineEdit* EditFMFile;
    QToolButton* SpeedButtonFMFileOpen;
    QPlainTextEdit* MemoFMInput;
    TPanelEx* PanelExFM;
    TEditUpDown* EditUpDownFMLineInterval;
    FontButton* SpeedButtonFMFont;
    TEditUpDown* EditUpDownFMLeft;
    TEditUpDown* EditUpDownFMTop;
    QToolButton* SpeedButtonFMPos;
    TDropDst* DropDstFreeFile;

    TRegManager& m_settings;
    TOpenDialogEx& m_openDialog;
    PositionPicker& m_picker;
};

} // namespace zbpg

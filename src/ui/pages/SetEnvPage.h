#pragma once

#include "ui/pages/SettingsPage.h"

#include <string>

class QListWidget;
class QRadioButton;
class QToolButton;

namespace zbpg {

class TEditUpDown;

// The page "設定": the drawing method, the order of the draw sequence, the registration at
// logon with its start-up wait, and the button of the reset (which the window carries out).
class SetEnvPage final : public SettingsPage {
    Q_OBJECT
public:
    // The registration is the shortcut startUpLink, which starts programFile with "-OnlyDraw".
    SetEnvPage(std::string startUpLink, std::string programFile);

    void showOptions(const Options& options) override;
    void takeOptions(Options& options) const override;

    // Shows whether the program is registered ("解除") or not ("登録"); true when it is.
    bool UpdateStartUpButton();

signals:
    // "初期化" was clicked.
    void resetRequested();

private:
    void SpeedButtonDSUpClick();
    void SpeedButtonDSDownClick();
    void SpeedButtonStartUpClick();
    void moveDrawSequenceRow(int from, int to);
    void showDrawSequence();

    QRadioButton* RadioButtonOverwrite;
    QRadioButton* RadioButtonRewrite;
    QListWidget* ListBoxDrawSeq;
    QToolButton* SpeedButtonDSUp;
    QToolButton* SpeedButtonDSDown;
    QToolButton* SpeedButtonStartUp;
    TEditUpDown* EditUpDownStartUp;
    QToolButton* SpeedButtonAllInit;

    std::string FStartUpLink;
    std::string FProgramFile;
    // ListBoxDrawSeq as stored: its layout and its lines.
    ListControlDescription FDrawSeq;
};

} // namespace zbpg

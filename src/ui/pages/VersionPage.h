#pragma once

#include "ui/pages/SettingsPage.h"

class QLabel;
class QTimer;

namespace zbpg {

class TGradBox;

// The page "バージョン情報": title, version and icon on a box whose gradient turns a quarter
// every second, after a plain pause each time the page is shown.
class VersionPage final : public SettingsPage {
    Q_OBJECT
public:
    VersionPage();

    // No options live here.
    void showOptions(const Options&) override {}
    void takeOptions(Options&) const override {}
    void pageShown() override;
    void pageHidden() override;

    void TabSheetVersionShow();
    void TabSheetVersionHide();
    void TimerVersionTimer();

private:
    TGradBox* GradBoxVersion;
    QLabel* ImageZorbel;
    QLabel* LabelTitle;
    QLabel* LabelVersion;
    QLabel* ImageIcon;
    QLabel* LabelWindows;
    QTimer* TimerVersion;
};

} // namespace zbpg

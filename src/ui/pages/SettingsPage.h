#pragma once

#include "options/Options.h"

#include <QWidget>

namespace zbpg {

// A page of the settings window. It owns its controls, applies its own enabling rules and maps
// its part of the options to and from its controls.
class SettingsPage : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    // The options into the page's controls (their change handling runs as for any change).
    virtual void showOptions(const Options& options) = 0;
    // The page's controls into its part of the options.
    virtual void takeOptions(Options& options) const = 0;

    // The page became the current page, or stopped being it.
    virtual void pageShown() {}
    virtual void pageHidden() {}

signals:
    // An option of the page was changed (the window enables "適用(&A)").
    void changed();
};

} // namespace zbpg

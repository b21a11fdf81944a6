#pragma once

#include <QFrame>

namespace zbpg {

// A panel that passes its enabled state on to everything inside it: enabling it again
// enables every descendant, whatever state each had before (unlike Qt's own inheritance,
// which keeps a separately disabled child disabled).
class TPanelEx final : public QFrame {
    Q_OBJECT
public:
    explicit TPanelEx(QWidget* parent = nullptr);

    // The panel's own state (not inherited from its parents).
    bool Enabled() const;
    // Does nothing at all when the value is the current one; otherwise sets the panel, its
    // parent when UpdateParent is on, and every child, recursing into plain containers
    // (panels, group boxes, plain widgets and frames) but not into other controls.
    void SetEnabled(bool value);

    bool UpdateParent() const { return FUpdateParent; }
    void SetUpdateParent(bool value) { FUpdateParent = value; }

private:
    bool FUpdateParent = false;
};

} // namespace zbpg

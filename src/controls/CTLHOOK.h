#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace zbpg {

// What a hook is put in front of: the control itself, or the window that holds it.
enum THookTarget { htControl = 0, htForm = 1 };

// Puts itself in front of the event handling of one control (or of its window), so that a
// descendant sees, and may consume, the control's events without the control being a class
// of its own. Survives the control's native window being re-created and the control being
// destroyed first.
class TControlHook : public QObject {
    Q_OBJECT
public:
    explicit TControlHook(QObject* owner = nullptr);
    ~TControlHook() override;

    QWidget* Control() const { return FControl; }
    // Removes the hook, stores the control, installs the hook.
    void SetControl(QWidget* control);
    // The widget whose events are currently hooked, or nullptr.
    QWidget* HookedControl() const { return FHookedControl; }

protected:
    THookTarget Target() const { return FTarget; }
    // Removes the hook, stores the kind, installs the hook. With htForm and no window to hook,
    // raises the error texts::kHookTargetUnknown.
    void SetTarget(THookTarget target);

    // reason 1: the hooked window was destroyed; 2: it exists again after being re-created.
    virtual void HookHandleChanged(int reason);
    // Sees every event of the hooked control (and, for scrolling views, of its viewport);
    // true consumes the event. The base passes everything on.
    virtual bool HookMessage(QObject* watched, QEvent* event);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* GetHookTarget() const;
    void SetHook(bool install);
    // Called after every install, so that a descendant can set the new control up at once.
    virtual void HookInstalled() {}
    void HookedControlDestroyed();

    THookTarget FTarget = htControl;
    QPointer<QWidget> FControl;
    QPointer<QWidget> FHookedControl;
    // Scrolling views get their drag and mouse events through the viewport.
    QPointer<QWidget> FHookedViewport;
    QMetaObject::Connection FDestroyedConnection;
};

} // namespace zbpg

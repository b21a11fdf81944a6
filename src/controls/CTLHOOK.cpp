#include "controls/CTLHOOK.h"

#include "base/Error.h"
#include "text/Texts.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QPlatformSurfaceEvent>

namespace zbpg {
namespace {

// Reasons passed to HookHandleChanged.
constexpr int kHandleDestroyed = 1;
constexpr int kHandleRecreated = 2;

QWidget* nearestWidget(QObject* object) {
    for (; object; object = object->parent()) {
        if (object->isWidgetType())
            return static_cast<QWidget*>(object);
    }
    return nullptr;
}

QWidget* viewportOf(QWidget* widget) {
    auto* scrollArea = qobject_cast<QAbstractScrollArea*>(widget);
    return scrollArea ? scrollArea->viewport() : nullptr;
}

} // namespace

TControlHook::TControlHook(QObject* owner) : QObject(owner) {}

TControlHook::~TControlHook() {
    SetHook(false);
}

void TControlHook::SetControl(QWidget* control) {
    SetHook(false);
    FControl = control;
    SetHook(true);
}

void TControlHook::SetTarget(THookTarget target) {
    SetHook(false);
    FTarget = target;
    SetHook(true);
}

void TControlHook::HookHandleChanged(int /*reason*/) {}

bool TControlHook::HookMessage(QObject* /*watched*/, QEvent* /*event*/) {
    return false;
}

bool TControlHook::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FHookedControl) {
        if (event->type() == QEvent::WinIdChange) {
            // Qt announces the loss of the native window with the same event.
            HookHandleChanged(FHookedControl->internalWinId() ? kHandleRecreated
                                                              : kHandleDestroyed);
        } else if (event->type() == QEvent::PlatformSurface) {
            const auto surface = static_cast<QPlatformSurfaceEvent*>(event)->surfaceEventType();
            if (surface == QPlatformSurfaceEvent::SurfaceAboutToBeDestroyed)
                HookHandleChanged(kHandleDestroyed);
        }
    }
    return HookMessage(watched, event);
}

QWidget* TControlHook::GetHookTarget() const {
    if (FTarget == htControl)
        return FControl;
    QWidget* anchor = FControl ? FControl.data() : nearestWidget(parent());
    return anchor ? anchor->window() : nullptr;
}

void TControlHook::SetHook(bool install) {
    if (!install) {
        if (FHookedControl) {
            FHookedControl->removeEventFilter(this);
            if (FHookedViewport)
                FHookedViewport->removeEventFilter(this);
        }
        disconnect(FDestroyedConnection);
        FHookedControl = nullptr;
        FHookedViewport = nullptr;
        return;
    }
    QWidget* target = GetHookTarget();
    if (!target) {
        if (FTarget == htForm)
            throw Error(texts::kHookTargetUnknown);
        return;
    }
    FHookedControl = target;
    target->installEventFilter(this);
    FHookedViewport = viewportOf(target);
    if (FHookedViewport)
        FHookedViewport->installEventFilter(this);
    FDestroyedConnection =
        connect(target, &QObject::destroyed, this, &TControlHook::HookedControlDestroyed);
    HookInstalled();
}

void TControlHook::HookedControlDestroyed() {
    // Qt drops the event filters of a destroyed object itself; only forget the control.
    disconnect(FDestroyedConnection);
    FHookedControl = nullptr;
    FHookedViewport = nullptr;
    HookHandleChanged(kHandleDestroyed);
}

} // namespace zbpg

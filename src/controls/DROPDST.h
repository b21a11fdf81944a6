#pragma once

#include "controls/CTLHOOK.h"

#include <functional>
#include <string>
#include <vector>

class QMimeData;

namespace zbpg {

// Makes a control a target for files and folders dragged from a file manager: every drop is
// reported as the list of full paths, in the order the file manager gives them, with the drop
// point in the control's client coordinates. An error raised by the handler is shown by the
// general error report and the program goes on.
class TDropDst final : public TControlHook {
    Q_OBJECT
public:
    explicit TDropDst(QObject* owner = nullptr);

    bool AcceptDrop() const { return FAcceptDrop; }
    // False refuses drags (the file manager shows its refusing cursor).
    void SetAcceptDrop(bool value);

    using TControlHook::SetTarget;
    using TControlHook::Target;

    std::function<void(QObject* sender, const std::vector<std::string>& files, int x, int y)>
        OnFileDrop;

protected:
    void HookHandleChanged(int reason) override;
    bool HookMessage(QObject* watched, QEvent* event) override;

private:
    void HookInstalled() override;
    void UpdateDragAccept();
    void DoFileDrop(const QMimeData* data, QPoint clientPoint);

    bool FAcceptDrop = true;
};

} // namespace zbpg

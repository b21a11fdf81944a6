#include "controls/DROPDST.h"

#include "platform/dialogs/MessageService.h"

#include <QAbstractScrollArea>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <algorithm>
#include <exception>

namespace zbpg {
namespace {

bool hasLocalFiles(const QMimeData* data) {
    if (!data || !data->hasUrls())
        return false;
    const auto urls = data->urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
}

// A folder URL may end in "/"; report folders the way files are reported.
std::string localPath(const QUrl& url) {
    QString path = url.toLocalFile();
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path.toStdString();
}

} // namespace

TDropDst::TDropDst(QObject* owner) : TControlHook(owner) {}

void TDropDst::SetAcceptDrop(bool value) {
    FAcceptDrop = value;
    UpdateDragAccept();
}

void TDropDst::HookInstalled() {
    UpdateDragAccept();
}

void TDropDst::HookHandleChanged(int reason) {
    TControlHook::HookHandleChanged(reason);
    // A re-created window starts without our registration.
    UpdateDragAccept();
}

bool TDropDst::HookMessage(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        break;
    default:
        return TControlHook::HookMessage(watched, event);
    }
    // The control's own drag handling is replaced: whatever we refuse, it never sees.
    auto* drop = static_cast<QDropEvent*>(event);
    if (!FAcceptDrop || !hasLocalFiles(drop->mimeData())) {
        drop->ignore();
        return true;
    }
    if (event->type() == QEvent::Drop) {
        QPoint point = drop->position().toPoint();
        if (watched != HookedControl() && watched->isWidgetType() && HookedControl())
            point = static_cast<QWidget*>(watched)->mapTo(HookedControl(), point);
        DoFileDrop(drop->mimeData(), point);
    }
    drop->acceptProposedAction();
    return true;
}

void TDropDst::UpdateDragAccept() {
    QWidget* control = HookedControl();
    if (!control)
        return;
    control->setAcceptDrops(FAcceptDrop);
    if (auto* scrollArea = qobject_cast<QAbstractScrollArea*>(control))
        scrollArea->viewport()->setAcceptDrops(FAcceptDrop);
}

void TDropDst::DoFileDrop(const QMimeData* data, QPoint clientPoint) {
    if (!OnFileDrop)
        return;
    std::vector<std::string> files;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            files.push_back(localPath(url));
    }
    try {
        OnFileDrop(this, files, clientPoint.x(), clientPoint.y());
    } catch (const std::exception& e) {
        platform::showErrorReport(e.what());
    }
}

} // namespace zbpg

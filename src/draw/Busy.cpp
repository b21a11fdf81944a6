#include "draw/Busy.h"

#include "text/Texts.h"

#include <QCursor>
#include <QGuiApplication>

namespace zbpg {

WaitCursor::WaitCursor() {
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

WaitCursor::~WaitCursor() {
    QGuiApplication::restoreOverrideCursor();
}

BusyRun::BusyRun() {
    QGuiApplication::setApplicationDisplayName(texts::kDrawingTitle);
    QGuiApplication::processEvents();
}

BusyRun::~BusyRun() {
    QGuiApplication::setApplicationDisplayName(texts::kProgramName);
}

} // namespace zbpg

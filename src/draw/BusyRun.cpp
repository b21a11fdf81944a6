#include "draw/BusyRun.h"

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
    QGuiApplication::processEvents();
}

BusyRun::~BusyRun() = default;

} // namespace zbpg

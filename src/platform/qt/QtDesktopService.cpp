#include "platform/qt/QtDesktopService.h"

#include "platform/qt/DesktopPicture.h"
#include "text/qt/QtConvert.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QScreen>
#include <QUrl>

namespace zbpg::platform {
namespace {

QSize primaryScreenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(0, 0);
}

} // namespace

bool QtDesktopService::openDocument(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(toQString(path)));
}

int QtDesktopService::screenWidth() {
    return primaryScreenSize().width();
}

int QtDesktopService::screenHeight() {
    return primaryScreenSize().height();
}

bool QtDesktopService::setDeskWallpaper(const std::string& path, bool updateIniFile) {
    return DesktopPicture::setDeskWallpaper(path, updateIniFile);
}

} // namespace zbpg::platform

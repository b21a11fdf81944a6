#include "platform/desktop/qt/QtDesktopService.h"

#include "base/Error.h"
#include "platform/desktop/DisplaySettings.h"
#include "platform/desktop/qt/DesktopPicture.h"
#include "platform/desktop/qt/SessionDesktop.h"
#include "text/Texts.h"
#include "text/qt/QtConvert.h"

#include <QDesktopServices>
#include <QUrl>
#include <sys/stat.h>

namespace zbpg::platform {
namespace {

[[noreturn]] void noDesktop() {
    throw Error(texts::kNoDesktopForWallpaper);
}

} // namespace

bool QtDesktopService::openDocument(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(toQString(path)));
}

bool QtDesktopService::openDisplaySettings() {
    return startDisplaySettings();
}

int QtDesktopService::screenWidth() {
    return DesktopPicture::screenSize().width();
}

int QtDesktopService::screenHeight() {
    return DesktopPicture::screenSize().height();
}

bool QtDesktopService::showWallpaper(const DesktopWallpaper& wallpaper) {
    SessionDesktop session;
    switch (session.kind()) {
    case SessionDesktop::Kind::RootWindow:
        return DesktopPicture::setDeskWallpaper(wallpaper.file, wallpaper.style);
    case SessionDesktop::Kind::None:
        noDesktop();
    case SessionDesktop::Kind::Desktop:
        break;
    }
    // The user's own picture becomes the desktop's own wallpaper, as if chosen in its settings;
    // the desktop may well show formats the program cannot read (its own default pictures).
    struct stat info {};
    const std::string& path = wallpaper.file;
    if (!path.empty() && (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)))
        return false;
    return session.backend()->show(path, wallpaper.style);
}

bool QtDesktopService::showScreenPicture(const ScreenPicture& picture) {
    SessionDesktop session;
    const QImage image = DesktopPicture::imageOf(picture);
    switch (session.kind()) {
    case SessionDesktop::Kind::RootWindow:
        // A picture made for a screen that has changed since sits in its middle.
        return DesktopPicture::showScreenPicture(
            DesktopPicture::compose(image, DesktopPicture::screenSize(), WallpaperStyle::Screen,
                                    DesktopPicture::backgroundColor()));
    case SessionDesktop::Kind::None:
        noDesktop();
    case SessionDesktop::Kind::Desktop:
        break;
    }
    return session.showScreenPicture(image);
}

std::optional<DesktopWallpaper> QtDesktopService::chosenWallpaper() {
    SessionDesktop session;
    // A bare X server has no settings to choose in: the wallpaper tools set there is the user's.
    if (session.kind() == SessionDesktop::Kind::RootWindow)
        return DesktopPicture::keepOtherProgramsWallpaper();
    return session.chosenWallpaper();
}

} // namespace zbpg::platform

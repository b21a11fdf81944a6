#include "platform/desktop/qt/QtDesktopService.h"

#include "platform/store/Registry.h"
#include "platform/desktop/qt/DesktopPicture.h"
#include "platform/desktop/qt/SessionDesktop.h"
#include "base/Error.h"
#include "text/Texts.h"
#include "text/qt/QtConvert.h"

#include <QDesktopServices>
#include <QUrl>
#include <sys/stat.h>

namespace zbpg::platform {
namespace {

constexpr const char* kDesktopKey = "Control Panel\\Desktop";

bool recordedAs(const char* name, const char* expected) {
    const auto value = Registry::currentUser().readValue(kDesktopKey, name);
    return value && value->type != RegValueType::Binary && value->text == expected;
}

// The style the user's wallpaper values record.
WallpaperStyle recordedStyle() {
    if (recordedAs("TileWallpaper", "1"))
        return WallpaperStyle::Tile;
    if (recordedAs("WallpaperStyle", "2"))
        return WallpaperStyle::Stretch;
    return WallpaperStyle::Center;
}

[[noreturn]] void noDesktop() {
    throw Error(texts::kNoDesktopForWallpaper);
}

} // namespace

bool QtDesktopService::openDocument(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(toQString(path)));
}

int QtDesktopService::screenWidth() {
    return DesktopPicture::screenSize().width();
}

int QtDesktopService::screenHeight() {
    return DesktopPicture::screenSize().height();
}

bool QtDesktopService::setDeskWallpaper(const std::string& path, bool updateIniFile) {
    SessionDesktop session;
    switch (session.kind()) {
    case SessionDesktop::Kind::RootWindow:
        return DesktopPicture::setDeskWallpaper(path, updateIniFile);
    case SessionDesktop::Kind::None:
        noDesktop();
    case SessionDesktop::Kind::Desktop:
        break;
    }
    // The user's own picture becomes the desktop's own wallpaper, as if chosen in its settings;
    // the desktop may well show formats the program cannot read (its own default pictures).
    struct stat info {};
    if (!path.empty() && (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)))
        return false;
    if (!session.backend()->show(path, recordedStyle()))
        return false;
    return !updateIniFile ||
           Registry::currentUser().writeValue(kDesktopKey, "Wallpaper", RegValue::string(path));
}

bool QtDesktopService::showScreenPicture(const std::string& path) {
    SessionDesktop session;
    switch (session.kind()) {
    case SessionDesktop::Kind::RootWindow:
        return DesktopPicture::setDeskWallpaper(path, false);
    case SessionDesktop::Kind::None:
        noDesktop();
    case SessionDesktop::Kind::Desktop:
        break;
    }
    return session.showScreenPicture(path);
}

std::optional<DesktopWallpaper> QtDesktopService::chosenWallpaper() {
    return SessionDesktop().chosenWallpaper();
}

} // namespace zbpg::platform

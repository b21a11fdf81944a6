#include "platform/desktop/qt/SessionDesktop.h"

#include "base/Error.h"
#include "platform/desktop/qt/DesktopPicture.h"
#include "platform/desktop/qt/PlasmaBackend.h"
#include "platform/desktop/qt/ScreenPictureFile.h"
#include "platform/os/AtomicFile.h"
#include "platform/os/SessionLog.h"
#include "platform/os/XdgPaths.h"
#include "text/Texts.h"
#include "text/qt/QtConvert.h"

#include <QDateTime>
#include <algorithm>
#include <dirent.h>
#include <filesystem>
#include <unistd.h>

namespace zbpg::platform {
namespace {

std::unique_ptr<WallpaperBackend> backendOf(DesktopFamily family) {
    switch (family) {
    case DesktopFamily::Gnome:
    case DesktopFamily::Cinnamon:
    case DesktopFamily::Mate:
        return makeGSettingsBackend(family);
    case DesktopFamily::Xfce:
        return makeXfconfBackend();
    case DesktopFamily::Plasma:
        return makePlasmaBackend();
    case DesktopFamily::Lxqt:
    case DesktopFamily::Lxde:
        return makePcmanfmBackend(family);
    case DesktopFamily::Sway:
        return makeSwayBackend();
    case DesktopFamily::Other:
        break;
    }
    return nullptr;
}

// A logon run has nobody watching it; the session's log tells why its desktop did not change.
void tellOnce(const std::string& named, const std::string& used) {
    static bool told = false;
    if (told)
        return;
    told = true;
    std::string text = formatMessage(texts::kDesktopUnreachable, named);
    if (!used.empty())
        text += formatMessage(texts::kWallpaperShownThrough, used);
    tellOnStandardError(text);
}

std::string fileNameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string sessionPrefix() {
    return std::string(texts::kShownPicturePrefix) + DesktopPicture::sessionMark() + "-";
}

// The program's pictures in the cache folder, oldest first (their stamps grow).
std::vector<std::string> programPictures() {
    std::vector<std::string> pictures;
    const std::string folder = appCacheFolder();
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return pictures;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string path = folder + "/" + entry->d_name;
        if (SessionDesktop::isProgramPicture(path))
            pictures.push_back(path);
    }
    ::closedir(dir);
    std::sort(pictures.begin(), pictures.end(), [](const auto& a, const auto& b) {
        const auto stamp = [](const std::string& path) {
            const std::string name = fileNameOf(path);
            return name.substr(name.find_last_of('-') + 1);
        };
        return stamp(a).size() != stamp(b).size() ? stamp(a).size() < stamp(b).size()
                                                  : stamp(a) < stamp(b);
    });
    return pictures;
}

} // namespace

SessionDesktop::SessionDesktop() {
    const DesktopFamily family = sessionDesktopFamily();
    auto named = backendOf(family);
    if (named && named->available()) {
        m_backend = std::move(named);
        m_kind = Kind::Desktop;
        return;
    }
    std::string used;
    if (family != DesktopFamily::Sway) {
        if (auto sway = makeSwayBackend(); sway->available()) {
            used = sway->name();
            m_backend = std::move(sway);
            m_kind = Kind::Desktop;
        }
    }
    if (m_kind == Kind::None && !isWaylandSession() && DesktopPicture::hasXServer()) {
        m_kind = Kind::RootWindow;
        used = texts::kRootWindowName;
    }
    if (named)
        tellOnce(named->name(), used);
}

bool SessionDesktop::isProgramPicture(const std::string& path) {
    const std::string name = fileNameOf(path);
    const std::string extension = texts::kShownPictureExtension;
    if (name.rfind(texts::kShownPicturePrefix, 0) != 0 || name.size() <= extension.size() ||
        name.compare(name.size() - extension.size(), extension.size(), extension) != 0)
        return false;
    // Taking one of our pictures for the user's would make a drawing the clean wallpaper: the
    // folder is compared as the file system sees it, whatever slashes or links name it.
    std::error_code error;
    const auto folder =
        std::filesystem::weakly_canonical(std::filesystem::path(path).parent_path(), error);
    const auto cache = std::filesystem::weakly_canonical(appCacheFolder(), error);
    return !error && folder == cache;
}

bool SessionDesktop::showScreenPicture(const QImage& picture) {
    if (m_kind != Kind::Desktop || picture.isNull())
        return false;
    if (!makeFolders(appCacheFolder()))
        throw Error(formatMessage(texts::kCannotCreateFile, appCacheFolder()));
    // Two runs at once (an autostart entry and a click) show their pictures one after the other:
    // otherwise one could take the other's name, remove the picture the desktop is told to show,
    // or see the other's picture shown and take its own for refused.
    const FolderLock oneRunAtATime(appCacheFolder() + "/" + texts::kShownPicturePrefix);
    const auto earlier = programPictures();
    // The stamp only grows, so that the newest picture sorts last whatever the clock did.
    qint64 stamp = QDateTime::currentMSecsSinceEpoch();
    if (!earlier.empty()) {
        const std::string last = fileNameOf(earlier.back());
        const std::string digits = last.substr(last.find_last_of('-') + 1);
        stamp = std::max(stamp, std::atoll(digits.c_str()) + 1);
    }
    const std::string shown = appCacheFolder() + "/" + sessionPrefix() + std::to_string(stamp) +
                              texts::kShownPictureExtension;
    if (!writeScreenPicture(picture, shown))
        throw Error(formatMessage(texts::kCannotCreateFile, shown));
    if (!m_backend->show(shown, WallpaperStyle::Screen)) {
        (void)::unlink(shown.c_str());
        return false;
    }
    for (const auto& old : earlier)
        (void)::unlink(old.c_str());
    return true;
}

std::optional<DesktopWallpaper> SessionDesktop::chosenWallpaper() {
    if (m_kind != Kind::Desktop)
        return std::nullopt;
    auto current = m_backend->current();
    if (!current || isProgramPicture(current->file))
        return std::nullopt;
    return current;
}

std::unique_ptr<ChangeSubscription> SessionDesktop::watchChosenWallpaper(ChangeCallback changed) {
    if (m_kind != Kind::Desktop)
        return nullptr;
    return m_backend->watchChanges(std::move(changed));
}

std::optional<QImage> SessionDesktop::paintDesktop(QSize screen) {
    if (m_kind != Kind::Desktop)
        return std::nullopt;
    const auto current = m_backend->current();
    const QColor background = DesktopPicture::backgroundColor();
    if (current && !isProgramPicture(current->file)) {
        const QColor around =
            current->background ? QColor::fromRgb(*current->background) : background;
        return DesktopPicture::compose(DesktopPicture::loadPicture(current->file), screen,
                                       current->style, around);
    }
    // A desktop that cannot tell shows the picture the program showed last.
    std::string shown = current ? current->file : std::string();
    if (!current) {
        const auto pictures = programPictures();
        if (!pictures.empty())
            shown = pictures.back();
    }
    // An earlier session's drawing is never drawn over: a new session starts clean.
    if (shown.empty() || fileNameOf(shown).rfind(sessionPrefix(), 0) != 0)
        return std::nullopt;
    const QImage picture = DesktopPicture::loadPicture(shown);
    if (picture.isNull())
        return std::nullopt;
    return DesktopPicture::compose(picture, screen, WallpaperStyle::Center, background);
}

} // namespace zbpg::platform

#include "controls/SHBFFEX.h"

#include "platform/os/XdgPaths.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <sys/stat.h>

namespace zbpg {
namespace {

bool isFolder(const std::string& path) {
    struct stat status {};
    return !path.empty() && ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// A folder named by the caller when it is one, else the kind's own; a name that is no folder
// falls back to the top of the file system.
std::string resolveFolder(int kind, const std::string& name) {
    if (kind == sfManual)
        return isFolder(name) ? name : specialFolderPath(sfDesktop);
    return specialFolderPath(kind);
}

} // namespace

std::string specialFolderPath(int kind) {
    using namespace platform;
    const std::string applications = xdgDataHome() + "/applications";
    switch (kind) {
    case sfDesktopDir:
        return xdgUserFolder("DESKTOP");
    case sfTemplates:
        return xdgUserFolder("TEMPLATES");
    case sfPrograms:
    case sfStartMenu:
        return applications;
    case sfStartup:
        return xdgConfigHome() + "/autostart";
    case sfFavorites:
    case sfRecent:
    case sfSendTo:
        return homeFolder();
    default: // the desktop, the drives and a manual kind without a name
        return "/";
    }
}

TSHBrowseForFolderEx::TSHBrowseForFolderEx(QWidget* owner) : QObject(owner), m_owner(owner) {}

bool TSHBrowseForFolderEx::Execute() {
    m_folderPath.clear();
    m_displayName.clear();
    platform::FolderDialogRequest request;
    request.caption = Caption;
    request.rootFolder = resolveFolder(RootFolder, RootFolderName);
    request.initialFolder = resolveFolder(SelectFolder, SelectFolderName);
    const bool showPath = Options.count(sboStatusTextAndShowPath) != 0;
    request.statusLine = showPath || Options.count(sboStatusText) != 0;
    request.selectionChanged = [this, showPath](const std::string& path, std::string& status,
                                                TOKButtonState& ok) {
        DoSelectionChanged(path, status, ok);
        if (showPath)
            status = path;
    };
    request.placement = placement();
    const auto chosen = platform::dialogService().browseFolder(request);
    if (!chosen)
        return false;
    m_folderPath = chosen->folderPath;
    m_displayName = chosen->displayName;
    return true;
}

void TSHBrowseForFolderEx::DoSelectionChanged(const std::string& path, std::string& showText,
                                              TOKButtonState& okButtonState) {
    if (OnSelectionChanged)
        OnSelectionChanged(this, path, showText, okButtonState);
}

platform::DialogPlacement TSHBrowseForFolderEx::placement() const {
    switch (ShowStyle) {
    case ssCenterScreen:
        return [](int& left, int& top, int width, int height) {
            const QScreen* screen = QGuiApplication::primaryScreen();
            if (screen == nullptr)
                return;
            const QRect area = screen->availableGeometry();
            left = (area.width() - width) / 2;
            top = (area.height() - height) / 3;
        };
    case ssClient:
        if (m_owner == nullptr)
            return {};
        return [owner = m_owner](int& left, int& top, int, int) {
            const QPoint origin = owner->mapToGlobal(QPoint(0, 0));
            left = origin.x();
            top = origin.y();
        };
    case ssNone:
        break;
    }
    return {};
}

} // namespace zbpg

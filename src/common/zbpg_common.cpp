#include "common/zbpg_common.h"

#include "base/Error.h"
#include "platform/desktop/DesktopService.h"
#include "platform/desktop/WallpaperValues.h"
#include "platform/os/Processes.h"
#include "platform/os/Shortcut.h"
#include "platform/os/SystemInfo.h"
#include "platform/os/XdgPaths.h"
#include "platform/store/Registry.h"
#include "text/Texts.h"

#include <algorithm>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace zbpg {
namespace {

constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kStartupValue = "Startup";

platform::DesktopWallpaper wallpaperOf(const std::string& file, bool tile, bool stretch) {
    platform::DesktopWallpaper wallpaper;
    wallpaper.file = file;
    wallpaper.style = tile      ? platform::WallpaperStyle::Tile
                      : stretch ? platform::WallpaperStyle::Stretch
                                : platform::WallpaperStyle::Center;
    return wallpaper;
}

// Records the style values as they stand (the texts the program writes for them) and shows a
// picture through show, in the style the keep file is recorded in (the desktop's own style kept
// for it, else the values' position), then records the keep file as the user's wallpaper. The
// shown file's path is never recorded, not even for a moment, so that a run killed at any point
// leaves the clean wallpaper recorded. The message of what could not be done, empty when
// everything was.
template <typename Show>
std::string showKeeping(const std::string& keepFile, const std::string& shownName, Show show) {
    const bool stretch = IsWallpaperStretched();
    const bool tile = IsWallpaperTiled();
    const platform::WallpaperStyle style = platform::recordedStyleOf(keepFile);
    std::string problem;
    const auto record = [&problem](platform::WallpaperValue value, const std::string& text) {
        if (!platform::recordWallpaperValue(value, text) && problem.empty())
            problem = formatMessage(texts::kCannotSetValue, platform::wallpaperValueName(value));
    };
    record(platform::WallpaperValue::TileWallpaper, tile ? "1" : "0");
    record(platform::WallpaperValue::WallpaperStyle, stretch ? "2" : "0");
    if (!show(style))
        return formatMessage(texts::kCannotShowWallpaper, shownName);
    record(platform::WallpaperValue::Wallpaper, keepFile);
    return problem;
}

std::string showFileKeeping(const std::string& keepFile, const std::string& showFile) {
    return showKeeping(keepFile, showFile, [&showFile](platform::WallpaperStyle style) {
        return platform::desktopService().showWallpaper({showFile, style, std::nullopt});
    });
}

// A desktop that paints its own background has settings of its own where the user chooses a
// wallpaper. One chosen there since the program last showed its picture becomes the recorded
// clean wallpaper, in the desktop's own style, so that no run draws over it or puts an older one
// back, and "元に戻す" gives the desktop back exactly what the user chose. What cannot be
// written stays as it was: the run goes on with the recorded values.
void adoptChosenWallpaper() {
    if (const auto chosen = platform::desktopService().chosenWallpaper())
        (void)platform::recordChosenWallpaper(*chosen);
}

// An address with a scheme ("https://…", "mailto:…"): a letter, then letters, digits, "+", "-"
// or ".", then ":", as RFC 3986 has it; two characters at least before the ":", so that a drive
// ("C:\…") is no address.
bool isAddress(const std::string& command) {
    const auto isLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    const auto inScheme = [&isLetter](char c) {
        return isLetter(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
    };
    const auto colon = command.find(':');
    return colon != std::string::npos && colon >= 2 && isLetter(command.front()) &&
           std::all_of(command.begin(), command.begin() + static_cast<std::ptrdiff_t>(colon),
                       inScheme);
}

} // namespace

PathKind GetPathKind(const std::string& path) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0)
        return PathKind::Nothing;
    return S_ISDIR(info.st_mode) ? PathKind::Folder : PathKind::File;
}

std::string ExtractFileDir(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string ChangeFileExt(const std::string& path, const std::string& extension) {
    const auto slash = path.find_last_of('/');
    const auto dot = path.find_last_of('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? path.substr(0, dot) : path) + extension;
}

std::string GetModuleFileName() {
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return length > 0 ? std::string(buffer, static_cast<std::size_t>(length)) : std::string();
}

std::string GetStartupFolder() {
    const auto registry = platform::Registry::currentUser();
    if (const auto value = registry.readValue(kShellFoldersKey, kStartupValue)) {
        // Only a whole path names a folder: a relative one would put the shortcut below
        // whatever folder the program was started in.
        const bool text = value->type == platform::RegValueType::String ||
                          value->type == platform::RegValueType::ExpandString;
        return text && value->text.starts_with('/') ? value->text : std::string();
    }
    const std::string folder = platform::xdgConfigHome() + "/autostart";
    if (!registry.writeValue(kShellFoldersKey, kStartupValue, platform::RegValue::string(folder)))
        return {};
    return folder;
}

} // namespace zbpg

namespace zbpg {

std::string GetLoginUserName() {
    return platform::systemInfoService().loginUserName();
}

std::string GetLocalComputerName() {
    return platform::systemInfoService().hostName();
}

std::string GetLocalIPAddress() {
    return platform::systemInfoService().localIPv4Address();
}

void GetWallpaperFile(std::string& path) {
    adoptChosenWallpaper();
    path = platform::readWallpaperValue(platform::WallpaperValue::Wallpaper);
}

bool IsWallpaperTiled() {
    return platform::readWallpaperValue(platform::WallpaperValue::TileWallpaper) == "1";
}

bool IsWallpaperStretched() {
    return platform::readWallpaperValue(platform::WallpaperValue::WallpaperStyle) == "2";
}

bool SetWallpaperFile(const std::string& path) {
    return platform::writeWallpaperValue(platform::WallpaperValue::Wallpaper, path);
}

bool SetWallpaperTile(bool tile) {
    return platform::writeWallpaperValue(platform::WallpaperValue::TileWallpaper, tile ? "1" : "0");
}

bool SetWallpaperStretch(bool stretch) {
    return platform::writeWallpaperValue(platform::WallpaperValue::WallpaperStyle,
                                         stretch ? "2" : "0");
}

bool ChangeWallpaper(const std::string& path, bool tile, bool stretch) {
    // The position chosen here replaces any style the desktop's own settings gave.
    if (!SetWallpaperTile(tile) || !SetWallpaperStretch(stretch) || !platform::forgetDesktopStyle())
        return false;
    try {
        if (!platform::desktopService().showWallpaper(wallpaperOf(path, tile, stretch)))
            return false;
    } catch (const platform::PictureNotKept&) {
        // The file is displayed: it is the user's wallpaper now, whatever else went wrong.
        (void)SetWallpaperFile(path);
        throw;
    }
    return SetWallpaperFile(path);
}

void ShowWallpaper(const std::string& keepFile, const std::string& showFile) {
    (void)showFileKeeping(keepFile, showFile);
}

void showWallpaperOrRaise(const std::string& keepFile, const std::string& showFile) {
    if (const std::string problem = showFileKeeping(keepFile, showFile); !problem.empty())
        throw Error(problem);
}

void showPictureOrRaise(const std::string& keepFile, const platform::ScreenPicture& picture,
                        const std::string& pictureName) {
    const std::string problem = showKeeping(keepFile, pictureName, [&](platform::WallpaperStyle) {
        return platform::desktopService().showScreenPicture(picture);
    });
    if (!problem.empty())
        throw Error(problem);
}

bool recordWallpaperFile(const std::string& path) {
    return platform::recordWallpaperValue(platform::WallpaperValue::Wallpaper, path);
}

bool CreateShortcut(const std::string& linkPath, const std::string& target,
                    const std::string& arguments, const std::string& workingFolder,
                    const std::string& description) {
    const std::string folder = workingFolder.empty() ? ExtractFileDir(target) : workingFolder;
    return platform::writeDesktopEntry(linkPath, target, arguments, folder, description);
}

std::string LaunchFolderOf(const std::string& command) {
    const auto slash = command.find_last_of('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? std::string("/") : command.substr(0, slash);
}

std::string WaitCommandLine(const std::string& command, const std::string& parameters) {
    return "\"" + command + "\" " + parameters;
}

bool ExecApplication(const void*, bool wait, const std::string& command,
                     const std::string& parameters, std::string folder, int) {
    // A working folder is made of a command only when it is a path.
    if (folder.empty() && !isAddress(command))
        folder = LaunchFolderOf(command);
    if (wait) {
        const auto words = platform::splitShellWords(WaitCommandLine(command, parameters));
        if (!words || words->empty() || platform::findExecutable(words->front()).empty())
            return false; // a document cannot be waited for
        return platform::runAndWait(*words, folder);
    }
    const std::string program = platform::findExecutable(command);
    if (!program.empty()) {
        const auto words = platform::splitShellWords(parameters);
        if (!words)
            return false;
        std::vector<std::string> arguments{program};
        arguments.insert(arguments.end(), words->begin(), words->end());
        return platform::startDetached(arguments, folder);
    }
    if (GetPathKind(command) != PathKind::Nothing)
        return platform::openWithDesktop(command, folder);
    // An address is the handler's business, wherever it is started.
    return isAddress(command) && platform::openWithDesktop(command, "");
}

} // namespace zbpg

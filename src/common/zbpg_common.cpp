#include "common/zbpg_common.h"

#include "platform/desktop/DesktopService.h"
#include "platform/os/Processes.h"
#include "platform/store/Registry.h"
#include "platform/os/Shortcut.h"
#include "platform/os/SystemInfo.h"
#include "platform/os/XdgPaths.h"
#include "base/Error.h"
#include "text/Texts.h"

#include <algorithm>
#include <array>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace zbpg {
namespace {

constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kStartupValue = "Startup";
constexpr const char* kDesktopKey = "Control Panel\\Desktop";

// A text value of the desktop key: empty when missing; any other type is an error.
std::string readDesktopText(const char* name) {
    const auto value = platform::Registry::currentUser().readValue(kDesktopKey, name);
    if (!value)
        return {};
    if (value->type != platform::RegValueType::String &&
        value->type != platform::RegValueType::ExpandString)
        throw Error(formatMessage(texts::kWrongValueType, name));
    return value->text;
}

bool writeDesktopText(const char* name, const std::string& text) {
    return platform::Registry::currentUser().writeValue(kDesktopKey, name,
                                                        platform::RegValue::string(text));
}

// Writes a text value unless it holds that text already, so that showing a picture with
// settings that cannot be written (a read-only configuration) still works when nothing needs
// to change.
bool recordDesktopText(const char* name, const std::string& text) {
    const auto value = platform::Registry::currentUser().readValue(kDesktopKey, name);
    if (value && value->type == platform::RegValueType::String && value->text == text)
        return true;
    return writeDesktopText(name, text);
}

// Shows the show file with the style recorded now and records the keep file as the user's
// wallpaper. The show file's path is never recorded, not even for a moment, so that a run
// killed at any point leaves the clean wallpaper recorded. The message of what could not be
// done, empty when everything was.
std::string showKeeping(const std::string& keepFile, const std::string& showFile) {
    const bool stretch = IsWallpaperStretched();
    const bool tile = IsWallpaperTiled();
    std::string problem;
    const auto record = [&problem](const char* name, const std::string& text) {
        if (!recordDesktopText(name, text) && problem.empty())
            problem = formatMessage(texts::kCannotSetValue, name);
    };
    record("TileWallpaper", tile ? "1" : "0");
    record("WallpaperStyle", stretch ? "2" : "0");
    // A picture other than the recorded wallpaper is a composed one, made for the screen; the
    // recorded wallpaper itself becomes the desktop's own wallpaper again.
    auto& desktop = platform::desktopService();
    const bool shown = showFile == keepFile ? desktop.setDeskWallpaper(showFile, false)
                                            : desktop.showScreenPicture(showFile);
    if (!shown)
        return formatMessage(texts::kCannotShowWallpaper, showFile);
    record("Wallpaper", keepFile);
    return problem;
}

// A desktop that paints its own background has settings of its own where the user chooses a
// wallpaper. One chosen there since the program last showed its picture becomes the recorded
// clean wallpaper, in its style, so that no run draws over it or puts an older one back. What
// cannot be written stays as it was: the run goes on with the recorded values.
void adoptChosenWallpaper() {
    const auto chosen = platform::desktopService().chosenWallpaper();
    if (!chosen)
        return;
    const bool tile = chosen->style == platform::WallpaperStyle::Tile;
    const bool stretch = chosen->style == platform::WallpaperStyle::Stretch ||
                         chosen->style == platform::WallpaperStyle::Screen;
    (void)recordDesktopText("TileWallpaper", tile ? "1" : "0");
    (void)recordDesktopText("WallpaperStyle", stretch ? "2" : "0");
    (void)recordDesktopText("Wallpaper", chosen->file);
}

// The display settings of the desktops that may be installed, tried in this order; the
// program stands in for the Windows display-properties applet.
std::string displaySettingsTool(std::vector<std::string>& arguments) {
    const std::array<std::vector<std::string>, 5> tools{{
        {"gnome-control-center", "display"},
        {"xfce4-display-settings"},
        {"lxqt-config-monitor"},
        {"lxrandr"},
        {"arandr"},
    }};
    for (const auto& tool : tools) {
        const std::string program = platform::findExecutable(tool.front());
        if (!program.empty()) {
            arguments = tool;
            arguments.front() = program;
            return program;
        }
    }
    return {};
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

bool isWindowsDisplayApplet(const std::string& command, const std::string& parameters) {
    return (command == "control.exe" || command == "control") && parameters == "desk.cpl";
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
        if (value->type == platform::RegValueType::String ||
            value->type == platform::RegValueType::ExpandString)
            return value->text;
        return {};
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
    path = readDesktopText("Wallpaper");
}

bool IsWallpaperTiled() {
    return readDesktopText("TileWallpaper") == "1";
}

bool IsWallpaperStretched() {
    return readDesktopText("WallpaperStyle") == "2";
}

bool SetWallpaperFile(const std::string& path) {
    return writeDesktopText("Wallpaper", path);
}

bool SetWallpaperTile(bool tile) {
    return writeDesktopText("TileWallpaper", tile ? "1" : "0");
}

bool SetWallpaperStretch(bool stretch) {
    return writeDesktopText("WallpaperStyle", stretch ? "2" : "0");
}

bool ChangeWallpaper(const std::string& path, bool tile, bool stretch) {
    if (!SetWallpaperTile(tile) || !SetWallpaperStretch(stretch))
        return false;
    return platform::desktopService().setDeskWallpaper(path, true);
}

void ShowWallpaper(const std::string& keepFile, const std::string& showFile) {
    (void)showKeeping(keepFile, showFile);
}

void showWallpaperOrRaise(const std::string& keepFile, const std::string& showFile) {
    if (const std::string problem = showKeeping(keepFile, showFile); !problem.empty())
        throw Error(problem);
}

bool recordWallpaperFile(const std::string& path) {
    return recordDesktopText("Wallpaper", path);
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
    std::vector<std::string> arguments;
    if (isWindowsDisplayApplet(command, parameters))
        return !displaySettingsTool(arguments).empty() &&
               platform::startDetached(arguments, folder);
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
        arguments.push_back(program);
        arguments.insert(arguments.end(), words->begin(), words->end());
        return platform::startDetached(arguments, folder);
    }
    if (GetPathKind(command) != PathKind::Nothing)
        return platform::openWithDesktop(command, folder);
    // An address is the handler's business, wherever it is started.
    return isAddress(command) && platform::openWithDesktop(command, "");
}

} // namespace zbpg

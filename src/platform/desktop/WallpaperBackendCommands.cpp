// The desktops whose wallpaper is set by a command: the desktop managers of LXQt and LXDE
// (pcmanfm-qt, pcmanfm), and sway and its kin (swaymsg).
#include "platform/desktop/WallpaperBackend.h"
#include "platform/os/Processes.h"
#include "platform/os/RegularFile.h"
#include "platform/os/XdgPaths.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace zbpg::platform {
namespace {

constexpr std::size_t kMaxConfigBytes = 1024 * 1024;

// The word both desktop managers and sway take for a style; screenMode is theirs for a picture
// made for the screen, which covers it, and for the other styles that scale the picture.
const char* commandMode(WallpaperStyle style, const char* screenMode) {
    switch (style) {
    case WallpaperStyle::Center:
        return "center";
    case WallpaperStyle::Tile:
        return "tile";
    case WallpaperStyle::Stretch:
        return "stretch";
    case WallpaperStyle::Screen:
    case WallpaperStyle::Cover:
    case WallpaperStyle::Fit:
    case WallpaperStyle::Span:
    case WallpaperStyle::ColourOnly:
        break;
    }
    return screenMode;
}

// Runs a program to its end; true when it exited with status 0.
bool succeeds(const std::vector<std::string>& arguments) {
    const std::string program = findExecutable(arguments.front());
    if (program.empty())
        return false;
    std::vector<char*> argv;
    for (const auto& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t child = 0;
    if (::posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    int status = 0;
    while (::waitpid(child, &status, 0) < 0)
        if (errno != EINTR)
            return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// One value of an INI-style file of the desktop's own (UTF-8, "[Section]" and "key=value").
std::optional<std::string> iniValue(const std::string& file, const std::string& section,
                                    const std::string& key) {
    const auto text = readRegularFile(file, kMaxConfigBytes);
    if (!text)
        return std::nullopt;
    bool inSection = false;
    std::size_t start = 0;
    while (start < text->size()) {
        std::size_t end = text->find('\n', start);
        if (end == std::string::npos)
            end = text->size();
        std::string line = text->substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line.front() == '[') {
            inSection = line == "[" + section + "]";
            continue;
        }
        const auto equals = line.find('=');
        if (inSection && equals != std::string::npos && line.substr(0, equals) == key)
            return line.substr(equals + 1);
    }
    return std::nullopt;
}

// The wallpaper modes of pcmanfm and pcmanfm-qt: "color", "stretch", "fit", "crop" or "zoom",
// "center", "tile", "screen".
WallpaperStyle styleOfMode(const std::string& mode) {
    if (mode == "tile")
        return WallpaperStyle::Tile;
    if (mode == "center" || mode == "color" || mode == "none")
        return WallpaperStyle::Center;
    return WallpaperStyle::Stretch;
}

struct Pcmanfm {
    const char* name;
    const char* program;
    const char* screenMode; // fills the screen without distortion
};

class PcmanfmBackend final : public WallpaperBackend {
public:
    PcmanfmBackend(Pcmanfm desktop, std::string configFile, std::string section,
                   std::string fileKey, std::string modeKey)
        : m_desktop(desktop), m_configFile(std::move(configFile)), m_section(std::move(section)),
          m_fileKey(std::move(fileKey)), m_modeKey(std::move(modeKey)) {}

    std::string name() const override { return m_desktop.name; }
    bool available() override { return !findExecutable(m_desktop.program).empty(); }

    // What the desktop manager keeps in its profile's configuration.
    std::optional<DesktopWallpaper> current() override {
        const auto file = iniValue(m_configFile, m_section, m_fileKey);
        if (!file)
            return std::nullopt;
        const auto mode = iniValue(m_configFile, m_section, m_modeKey);
        return DesktopWallpaper{*file, styleOfMode(mode.value_or("stretch")), std::nullopt};
    }

    bool show(const std::string& file, WallpaperStyle style) override {
        return succeeds({m_desktop.program, "--set-wallpaper=" + file,
                         std::string("--wallpaper-mode=") + modeOf(style)});
    }

private:
    const char* modeOf(WallpaperStyle style) const {
        return commandMode(style, m_desktop.screenMode);
    }

    Pcmanfm m_desktop;
    std::string m_configFile;
    std::string m_section;
    std::string m_fileKey;
    std::string m_modeKey;
};

// sway's command language takes a quoted word with backslash escapes.
std::string swayWord(const std::string& text) {
    std::string word = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            word += '\\';
        word += c;
    }
    return word + "\"";
}

class SwayBackend final : public WallpaperBackend {
public:
    std::string name() const override { return "swaymsg"; }
    bool available() override {
        const char* socket = std::getenv("SWAYSOCK");
        return socket != nullptr && *socket != '\0' && !findExecutable("swaymsg").empty();
    }
    // sway does not tell the background of its outputs.
    std::optional<DesktopWallpaper> current() override { return std::nullopt; }
    bool show(const std::string& file, WallpaperStyle style) override {
        return succeeds({"swaymsg", "output", "*", "bg", swayWord(file), modeOf(style)});
    }

private:
    static const char* modeOf(WallpaperStyle style) { return commandMode(style, "fill"); }
};

std::string sessionProfile(const char* fallback) {
    const char* session = std::getenv("DESKTOP_SESSION");
    return session != nullptr && *session != '\0' &&
                   std::string(session).find('/') == std::string::npos
               ? session
               : fallback;
}

} // namespace

std::unique_ptr<WallpaperBackend> makePcmanfmBackend(DesktopFamily family) {
    if (family == DesktopFamily::Lxde)
        return std::make_unique<PcmanfmBackend>(
            Pcmanfm{"LXDE (pcmanfm)", "pcmanfm", "crop"},
            xdgConfigHome() + "/pcmanfm/" + sessionProfile("LXDE") + "/desktop-items-0.conf", "*",
            "wallpaper", "wallpaper_mode");
    return std::make_unique<PcmanfmBackend>(Pcmanfm{"LXQt (pcmanfm-qt)", "pcmanfm-qt", "zoom"},
                                            xdgConfigHome() + "/pcmanfm-qt/lxqt/settings.conf",
                                            "Desktop", "Wallpaper", "WallpaperMode");
}

std::unique_ptr<WallpaperBackend> makeSwayBackend() {
    return std::make_unique<SwayBackend>();
}

} // namespace zbpg::platform

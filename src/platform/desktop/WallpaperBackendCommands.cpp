// The desktops whose wallpaper is set by a command: the desktop managers of LXQt and LXDE
// (pcmanfm-qt, pcmanfm). sway's is in WallpaperBackendSway.cpp.
#include "platform/desktop/DesktopCommands.h"
#include "platform/desktop/SessionBus.h"
#include "platform/desktop/WallpaperBackend.h"
#include "platform/os/Processes.h"

#include <cstdlib>
#include <string_view>
#include <utility>

namespace zbpg::platform {
namespace {

// How long a desktop manager gets to take a change, and then to save it.
constexpr int kCommandSeconds = 10;
constexpr int kSaveMilliseconds = 3000;

struct Pcmanfm {
    const char* name;
    const char* program;
    std::string configFile; // below a configuration folder
    const char* section;
    const char* fileKey;
    const char* modeKey;
    const char* colourKey;
    // The modes its configuration holds; a word it does not know shows the colour alone.
    std::vector<StyleWord> savedModes;
    // The modes its command line shows. A style without a word here is not passed: the
    // desktop manager keeps showing the mode it has.
    std::vector<StyleWord> commandModes;
    // Whether the mode the command line asked for is what it saves.
    bool savesCommandMode;
};

// A word the desktop manager does not know shows the colour alone.
WallpaperStyle styleOfMode(const std::vector<StyleWord>& modes, const std::string& word) {
    return styleOfWord(modes, word).value_or(WallpaperStyle::ColourOnly);
}

class PcmanfmBackend final : public WallpaperBackend {
public:
    explicit PcmanfmBackend(Pcmanfm desktop) : m_desktop(std::move(desktop)) {}

    std::string name() const override { return m_desktop.name; }
    bool available() override {
        // pcmanfm-qt tells the running desktop manager over the session bus; without a bus
        // that answers it waits for good, or ends in success having told nobody.
        if (std::string_view(m_desktop.program) == "pcmanfm-qt" && !sessionBusAnswers())
            return false;
        return !findExecutable(m_desktop.program).empty();
    }

    // What the desktop manager starts from: its profile's configuration, or the system's while
    // the user has none.
    std::optional<DesktopWallpaper> current() override {
        for (const auto& path : configFilesNamed(m_desktop.configFile)) {
            const auto text = readConfigFile(path);
            if (!text)
                continue;
            const auto file = iniValue(*text, m_desktop.section, m_desktop.fileKey);
            if (!file)
                return std::nullopt;
            const auto mode = iniValue(*text, m_desktop.section, m_desktop.modeKey);
            const auto colour = iniValue(*text, m_desktop.section, m_desktop.colourKey);
            return DesktopWallpaper{*file, styleOfMode(m_desktop.savedModes, mode.value_or("")),
                                    colour ? colourOfHexText(*colour) : std::nullopt};
        }
        return std::nullopt;
    }

    bool show(const std::string& file, WallpaperStyle style) override {
        std::vector<std::string> command{m_desktop.program, "--set-wallpaper=" + file};
        const char* mode = wordOfStyle(m_desktop.commandModes, style);
        if (mode != nullptr)
            command.push_back(std::string("--wallpaper-mode=") + mode);
        // The command also succeeds when no desktop took the change (none runs, or it runs
        // without its desktop): the desktop manager's saved configuration tells.
        return commandSucceeds(command, kCommandSeconds) &&
               holdsWithin([&] { return saved(file, mode); }, kSaveMilliseconds);
    }

private:
    bool saved(const std::string& file, const char* mode) const {
        const auto text = readConfigFile(configFilesNamed(m_desktop.configFile).front());
        if (!text || iniValue(*text, m_desktop.section, m_desktop.fileKey) != file)
            return false;
        return !m_desktop.savesCommandMode || mode == nullptr ||
               iniValue(*text, m_desktop.section, m_desktop.modeKey) == mode;
    }

    Pcmanfm m_desktop;
};

std::string sessionProfile(const char* fallback) {
    const char* session = std::getenv("DESKTOP_SESSION");
    return session != nullptr && *session != '\0' &&
                   std::string(session).find('/') == std::string::npos
               ? session
               : fallback;
}

// pcmanfm-qt 1.2 shows the modes stretch, fit, center and tile at once when its command line
// names them (it ignores zoom and color), but saves the mode it had before, whatever the command
// line said: the user's own mode stays what the next login shows. A picture made for the screen
// is fitted: exact on the primary screen, whole on the others.
Pcmanfm lxqtDesktop() {
    return {"LXQt (pcmanfm-qt)",
            "pcmanfm-qt",
            "pcmanfm-qt/lxqt/settings.conf",
            "Desktop",
            "Wallpaper",
            "WallpaperMode",
            "BgColor",
            {{"center", WallpaperStyle::Center},
             {"tile", WallpaperStyle::Tile},
             {"stretch", WallpaperStyle::Stretch},
             {"fit", WallpaperStyle::Fit},
             {"zoom", WallpaperStyle::Cover},
             {"none", WallpaperStyle::ColourOnly}},
            {{"center", WallpaperStyle::Center},
             {"tile", WallpaperStyle::Tile},
             {"stretch", WallpaperStyle::Stretch},
             {"fit", WallpaperStyle::Fit},
             {"fit", WallpaperStyle::Screen}},
            false};
}

// pcmanfm shows and saves every mode its command line names; "screen" stretches the picture
// over all monitors together. A picture made for the screen is cropped to cover: exact on the
// primary screen, undistorted on the others.
Pcmanfm lxdeDesktop() {
    std::vector<StyleWord> modes{
        {"center", WallpaperStyle::Center},    {"tile", WallpaperStyle::Tile},
        {"stretch", WallpaperStyle::Stretch},  {"fit", WallpaperStyle::Fit},
        {"crop", WallpaperStyle::Cover},       {"screen", WallpaperStyle::Span},
        {"color", WallpaperStyle::ColourOnly}, {"crop", WallpaperStyle::Screen}};
    return {"LXDE (pcmanfm)",
            "pcmanfm",
            "pcmanfm/" + sessionProfile("LXDE") + "/desktop-items-0.conf",
            "*",
            "wallpaper",
            "wallpaper_mode",
            "desktop_bg",
            modes,
            modes,
            true};
}

} // namespace

std::unique_ptr<WallpaperBackend> makePcmanfmBackend(DesktopFamily family) {
    return std::make_unique<PcmanfmBackend>(family == DesktopFamily::Lxde ? lxdeDesktop()
                                                                          : lxqtDesktop());
}

} // namespace zbpg::platform

// sway and its kin: the wallpaper is set with swaymsg, and sway shows it through swaybg. sway
// cannot be asked what it shows, but the swaybg it runs carries the files and modes on its
// command line, and at login sway starts from the "output … bg" lines of its configuration.
#include "platform/desktop/DesktopCommands.h"
#include "platform/desktop/WallpaperBackend.h"
#include "platform/desktop/WallpaperValues.h"
#include "platform/os/Processes.h"
#include "platform/os/RegularFile.h"
#include "platform/os/XdgPaths.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <map>
#include <sstream>
#include <utility>

namespace zbpg::platform {
namespace {

constexpr int kCommandSeconds = 10;
// swaybg is started again with every change; sway starts it before it answers, but a loaded
// machine may take a while to run it.
constexpr int kSwaybgMilliseconds = 3000;
constexpr std::size_t kMaxProcessTextBytes = 1024 * 1024;

// sway's background modes and the program's styles, both ways: a mode gives its style, a style
// the first mode that names it. A picture made for the screen fills: exact on the primary
// screen, undistorted on the others.
constexpr std::array<StyleWord, 8> kModes{{
    {"center", WallpaperStyle::Center},
    {"tile", WallpaperStyle::Tile},
    {"stretch", WallpaperStyle::Stretch},
    {"fill", WallpaperStyle::Cover},
    {"fit", WallpaperStyle::Fit},
    {"solid_color", WallpaperStyle::ColourOnly},
    {"fill", WallpaperStyle::Span},
    {"fill", WallpaperStyle::Screen},
}};

WallpaperStyle styleOfMode(const std::string& mode) {
    return styleOfWord(kModes, mode).value_or(WallpaperStyle::Stretch); // swaybg's own default
}

const char* modeOfStyle(WallpaperStyle style) {
    const char* mode = wordOfStyle(kModes, style);
    return mode != nullptr ? mode : "fill";
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string fileNameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The background of each output a swaybg command line or a configuration names ("*" for every
// output without one of its own), in the order they are named.
class OutputBackgrounds final {
public:
    void set(const std::string& output, const std::string& picture, const std::string& mode,
             const std::string& colour) {
        DesktopWallpaper& wallpaper = of(output);
        wallpaper.style = styleOfMode(mode);
        // With solid_color the word in the picture's place is the colour.
        const bool solid = wallpaper.style == WallpaperStyle::ColourOnly;
        wallpaper.file = solid ? std::string() : picture;
        wallpaper.background = colourOfHexText(solid ? picture : colour);
    }
    // The background of every output that has none of its own, else the first named: the
    // program shows its picture on every output alike.
    std::optional<DesktopWallpaper> shown() const {
        const DesktopWallpaper* first = nullptr;
        for (const auto& [name, wallpaper] : m_outputs) {
            if (wallpaper.file.empty() && !wallpaper.background)
                continue;
            if (name == "*")
                return wallpaper;
            if (first == nullptr)
                first = &wallpaper;
        }
        return first != nullptr ? std::optional(*first) : std::nullopt;
    }

private:
    DesktopWallpaper& of(const std::string& output) {
        for (auto& [name, wallpaper] : m_outputs)
            if (name == output)
                return wallpaper;
        return m_outputs.emplace_back(output, DesktopWallpaper{}).second;
    }

    std::vector<std::pair<std::string, DesktopWallpaper>> m_outputs;
};

// ---- swaybg's command line -----------------------------------------------------------------

std::vector<std::string> nulSeparated(const std::string& text) {
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\0', start);
        if (end == std::string::npos)
            end = text.size();
        words.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

// swaybg's options: -o/--output starts an output's group, -i/--image, -m/--mode and -c/--color
// belong to it (before any -o, to every output); "-iFILE" and "--image=FILE" as getopt takes
// them.
std::optional<DesktopWallpaper> wallpaperOfSwaybg(const std::vector<std::string>& arguments) {
    struct Group {
        std::string output, image, mode, colour;
    };
    std::vector<Group> groups{{"*", {}, {}, {}}};
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        std::string name = option, value;
        if (option.rfind("--", 0) == 0) {
            if (const auto equals = option.find('='); equals != std::string::npos) {
                name = option.substr(0, equals);
                value = option.substr(equals + 1);
            }
        } else if (option.size() > 2 && option.front() == '-') {
            name = option.substr(0, 2);
            value = option.substr(2);
        }
        if (value.empty() && i + 1 < arguments.size())
            value = arguments[++i];
        Group& group = groups.back();
        if (name == "-o" || name == "--output")
            groups.push_back({value, {}, {}, {}});
        else if (name == "-i" || name == "--image")
            group.image = value;
        else if (name == "-m" || name == "--mode")
            group.mode = value;
        else if (name == "-c" || name == "--color")
            group.colour = value;
    }
    OutputBackgrounds outputs;
    for (const auto& group : groups) {
        if (!group.image.empty())
            outputs.set(group.output, group.image, group.mode, group.colour);
        else if (!group.colour.empty()) // a colour alone
            outputs.set(group.output, group.colour, "solid_color", "");
    }
    return outputs.shown();
}

// When the process started, in clock ticks after boot; 0 when it cannot be read.
unsigned long long startTimeOf(const std::string& process) {
    const auto stat = readConfigFile(process + "/stat");
    if (!stat)
        return 0;
    // The fields after the command's name, which may hold anything up to its last ")".
    std::istringstream fields(stat->substr(stat->rfind(')') + 1));
    std::string field;
    for (int number = 3; number <= 22 && fields >> field; ++number)
        if (number == 22)
            return std::strtoull(field.c_str(), nullptr, 10);
    return 0;
}

// The wallpaper the newest swaybg of this sway shows: one started with this session's SWAYSOCK
// in its environment (sway's own, or one started from inside it), so that another user's or
// another session's sway does not count. An exited swaybg has no command line any more.
std::optional<DesktopWallpaper> swaybgWallpaper() {
    const std::string socket = "SWAYSOCK=" + environment("SWAYSOCK");
    DIR* processes = ::opendir("/proc");
    if (processes == nullptr)
        return std::nullopt;
    std::optional<DesktopWallpaper> newest;
    unsigned long long newestStart = 0;
    while (const dirent* entry = ::readdir(processes)) {
        if (entry->d_name[0] < '1' || entry->d_name[0] > '9')
            continue; // not a process
        const std::string process = std::string("/proc/") + entry->d_name;
        const auto commandLine = readRegularFile(process + "/cmdline", kMaxProcessTextBytes);
        if (!commandLine)
            continue;
        const auto arguments = nulSeparated(*commandLine);
        if (arguments.empty() || fileNameOf(arguments.front()) != "swaybg")
            continue;
        const auto variables = readRegularFile(process + "/environ", kMaxProcessTextBytes);
        if (!variables)
            continue;
        const auto settings = nulSeparated(*variables);
        if (std::find(settings.begin(), settings.end(), socket) == settings.end())
            continue;
        const unsigned long long start = startTimeOf(process);
        if (auto shown = wallpaperOfSwaybg(arguments); shown && (!newest || start >= newestStart)) {
            newest = std::move(shown);
            newestStart = start;
        }
    }
    ::closedir(processes);
    return newest;
}

// ---- sway's configuration ------------------------------------------------------------------

// The words of a configuration line: blanks separate, '…' and "…" quote, a backslash escapes
// the next character; a "#" at the start of a word starts a comment unless it is a colour.
std::vector<std::string> configWords(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    char quote = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quote != 0) {
            if (c == quote)
                quote = 0;
            else if (c == '\\' && quote == '"' && i + 1 < line.size())
                word += line[++i];
            else
                word += c;
        } else if (c == ' ' || c == '\t') {
            if (inWord)
                words.push_back(std::exchange(word, {}));
            inWord = false;
        } else if (c == '#' && !inWord && words.empty()) {
            break;
        } else {
            inWord = true;
            if (c == '"' || c == '\'')
                quote = c;
            else if (c == '\\' && i + 1 < line.size())
                word += line[++i];
            else
                word += c;
        }
    }
    if (inWord)
        words.push_back(word);
    return words;
}

// sway replaces "$name" by what "set $name …" gave it.
class ConfigVariables final {
public:
    void set(const std::string& name, const std::string& value) { m_values[name] = value; }
    std::string expanded(std::string word) const {
        // Backwards through the names in order, so that "$wallpaper" is replaced before "$wall"
        // could take part of its place.
        for (auto it = m_values.rbegin(); it != m_values.rend(); ++it)
            for (std::size_t at = word.find(it->first); at != std::string::npos;
                 at = word.find(it->first, at + it->second.size()))
                word.replace(at, it->first.size(), it->second);
        return word;
    }

private:
    std::map<std::string, std::string> m_values;
};

// sway expands a picture's path as a shell would, "~" and "$NAME" or "${NAME}" from the
// environment; a relative path is taken in the configuration's folder.
std::string expandedPath(const std::string& path, const std::string& configFolder) {
    const auto isNameCharacter = [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
    };
    std::string result;
    std::size_t i = 0;
    if (path == "~" || path.rfind("~/", 0) == 0) {
        result = homeFolder();
        i = 1;
    }
    while (i < path.size()) {
        const bool braced = path.compare(i, 2, "${") == 0;
        if (path[i] != '$') {
            result += path[i++];
            continue;
        }
        std::size_t end = i + (braced ? 2 : 1);
        while (end < path.size() && isNameCharacter(path[end]))
            ++end;
        const std::string name = path.substr(i + (braced ? 2 : 1), end - i - (braced ? 2 : 1));
        if (name.empty() || (braced && (end >= path.size() || path[end] != '}'))) {
            result += path[i++];
            continue;
        }
        result += environment(name.c_str());
        i = end + (braced ? 1 : 0);
    }
    if (!result.empty() && result.front() != '/')
        result = configFolder + "/" + result;
    return result;
}

// The first configuration sway would read, as it looks for one.
std::optional<std::pair<std::string, std::string>> swayConfiguration() {
    const std::string home = homeFolder(), config = xdgConfigHome();
    for (const std::string& path :
         {home + "/.sway/config", config + "/sway/config", home + "/.i3/config",
          config + "/i3/config", std::string("/etc/sway/config"), std::string("/etc/i3/config")})
        if (auto text = readConfigFile(path))
            return std::pair{path, std::move(*text)};
    return std::nullopt;
}

// The wallpaper the configuration's "output NAME bg FILE MODE [COLOUR]" lines give, also inside
// an "output NAME { … }" block; later lines change what earlier ones set, as in sway.
std::optional<DesktopWallpaper> configuredWallpaper() {
    const auto configuration = swayConfiguration();
    if (!configuration)
        return std::nullopt;
    const std::string folder = configuration->first.substr(0, configuration->first.rfind('/'));
    ConfigVariables variables;
    OutputBackgrounds outputs;
    std::string block; // the output whose block the lines are in
    std::istringstream lines(configuration->second);
    for (std::string line; std::getline(lines, line);) {
        auto words = configWords(line);
        if (words.empty())
            continue;
        if (words.size() >= 3 && words[0] == "set" && words[1].front() == '$') {
            std::string value = words[2];
            for (std::size_t i = 3; i < words.size(); ++i)
                value += " " + words[i];
            variables.set(words[1], value);
            continue;
        }
        for (auto& word : words)
            word = variables.expanded(word);
        std::string output = block;
        std::size_t next = 0;
        if (words[0] == "}") {
            block.clear();
            continue;
        }
        if (words[0] == "output" && words.size() >= 2) {
            output = words[1];
            next = 2;
            if (words.back() == "{")
                block = output;
        }
        if (output.empty())
            continue;
        for (std::size_t i = next; i + 1 < words.size(); ++i) {
            if (words[i] != "bg" && words[i] != "background")
                continue;
            const std::string mode = i + 2 < words.size() ? words[i + 2] : "";
            const std::string colour = i + 3 < words.size() ? words[i + 3] : "";
            // With solid_color the word in the picture's place is the colour.
            const std::string picture =
                mode == "solid_color" ? words[i + 1] : expandedPath(words[i + 1], folder);
            outputs.set(output, picture, mode, colour);
            break;
        }
    }
    return outputs.shown();
}

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

std::string colourWord(unsigned colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06X", colour & 0xFFFFFFu);
    return text;
}

class SwayBackend final : public WallpaperBackend {
public:
    std::string name() const override { return "swaymsg"; }
    bool available() override {
        return !environment("SWAYSOCK").empty() && !findExecutable("swaymsg").empty();
    }
    // What swaybg shows; before sway has started one, what its configuration will show.
    std::optional<DesktopWallpaper> current() override {
        if (auto shown = swaybgWallpaper())
            return shown;
        return configuredWallpaper();
    }
    bool show(const std::string& file, WallpaperStyle style) override {
        const bool solid = file.empty() || style == WallpaperStyle::ColourOnly;
        const std::string picture =
            solid ? colourWord(recordedBackgroundColour().value_or(0)) : swayWord(file);
        const std::string mode = solid ? "solid_color" : modeOfStyle(style);
        // sway takes a picture it cannot read and shows nothing new: the swaybg it runs tells.
        const std::string expected = solid ? std::string() : file;
        return commandSucceeds({"swaymsg", "output", "*", "bg", picture, mode}, kCommandSeconds) &&
               holdsWithin(
                   [&] {
                       const auto shown = swaybgWallpaper();
                       return shown && shown->file == expected;
                   },
                   kSwaybgMilliseconds);
    }
};

} // namespace

std::unique_ptr<WallpaperBackend> makeSwayBackend() {
    return std::make_unique<SwayBackend>();
}

} // namespace zbpg::platform

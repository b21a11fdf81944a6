// The settings of a large installation loaded and saved through the options, against the same
// keys written one store access a key (a whole-file rewrite per key):
//   options_bench                       wallpaper lists of 500, 1,000 and 2,000 entries with
//                                       application lists of a twentieth of that, side by side
//   options_bench draw-settings <ini>   writes the settings of the logon-run benchmark: the six
//                                       frames, the three lines and a typed ten-line message

#include "options/OptionsStore.h"
#include "platform/os/RegularFile.h"
#include "platform/store/ProfileFile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

template <typename Step> double medianSeconds(int rounds, Step step) {
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Clock::now();
        step();
        times.push_back(secondsSince(start));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

std::string sampleText(const std::string& stem, int i, std::size_t length) {
    std::string text = stem + std::to_string(i);
    text.resize(length, 'x');
    return text;
}

zbpg::Options largeOptions(int wallpapers, int applications) {
    zbpg::Options options = zbpg::factoryOptions();
    for (int i = 0; i < wallpapers; ++i) {
        options.wallpaper.stat.lines.push_back(i % 3 ? "1" : "0");
        options.wallpaper.file.lines.push_back(sampleText("/home/user/Pictures/wallpaper-", i, 60));
        options.wallpaper.rows.push_back({options.wallpaper.file.lines.back(), i % 3 != 0});
    }
    for (auto& list : options.appLists) {
        for (int i = 0; i < applications; ++i) {
            for (std::size_t field = 0; field < list.fields.size(); ++field)
                list.fields[field].lines.push_back(field == 0 ? "1" : sampleText("value", i, 20));
            list.rows.push_back({list.field(zbpg::AppEntryField::Cmd).lines.back(), true});
        }
    }
    return options;
}

using Key = std::pair<std::string, std::pair<std::string, std::string>>; // section, key, value

std::vector<Key> keysOf(const std::string& content) {
    std::vector<Key> keys;
    std::istringstream lines(content);
    std::string line, section;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.starts_with('[') && line.ends_with(']'))
            section = line.substr(1, line.size() - 2);
        else if (const auto equals = line.find('='); equals != std::string::npos)
            keys.push_back({section, {line.substr(0, equals), line.substr(equals + 1)}});
    }
    return keys;
}

void runSizes(const std::string& folder) {
    const std::string iniPath = folder + "/bench.ini";
    const std::string baselinePath = folder + "/per-key.ini";
    std::printf("%-9s %-6s %6s %10s %10s %12s %12s %12s %9s\n", "entries", "apps", "keys",
                "save ms", "load ms", "save us/key", "load us/key", "per-key ms", "save/per");
    for (const int wallpapers : {500, 1000, 2000}) {
        const int applications = wallpapers / 20;
        const zbpg::Options options = largeOptions(wallpapers, applications);
        std::remove(iniPath.c_str());
        zbpg::TRegManager settings;
        zbpg::openSettings(settings, iniPath);
        const double save = medianSeconds(5, [&] { zbpg::saveOptions(settings, options); });
        const double load = medianSeconds(5, [&] {
            zbpg::Options loaded = zbpg::factoryOptions();
            if (!zbpg::loadOptions(settings, loaded, {1920, 1080}).empty() || loaded != options)
                std::exit(1);
        });
        const auto keys = keysOf(*zbpg::platform::readRegularFile(iniPath, 64 << 20));
        std::remove(baselinePath.c_str());
        const zbpg::platform::ProfileFile perKey(baselinePath);
        const auto start = Clock::now();
        for (const auto& [section, entry] : keys)
            (void)perKey.write(section, entry.first, entry.second);
        const double baseline = secondsSince(start);
        std::printf("%-9d %-6d %6zu %10.2f %10.2f %12.2f %12.2f %12.1f %8.4f\n", wallpapers,
                    applications, keys.size(), save * 1e3, load * 1e3, save * 1e6 / keys.size(),
                    load * 1e6 / keys.size(), baseline * 1e3, save / baseline);
    }
    std::remove(iniPath.c_str());
    std::remove(baselinePath.c_str());
}

int writeDrawSettings(const std::string& iniPath) {
    zbpg::TRegManager settings;
    zbpg::openSettings(settings, iniPath);
    zbpg::Options options = zbpg::factoryOptions();
    options.freeMessage.draw = true;
    for (int i = 1; i <= 10; ++i)
        options.freeMessage.input.push_back("Message line " + std::to_string(i) +
                                            ": the backup runs at 22:00 tonight");
    options.freeMessage.left = 40;
    options.freeMessage.top = 700;
    zbpg::saveOptions(settings, options);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "draw-settings")
        return writeDrawSettings(argv[2]);
    std::string folder = std::filesystem::temp_directory_path() / "zbpg-bench-XXXXXX";
    if (::mkdtemp(folder.data()) == nullptr)
        return 1;
    runSizes(folder);
    ::rmdir(folder.c_str());
    return 0;
}

// Writes and reads back a list control and a string list of 500, 1,000 and 2,000 lines of
// 60 bytes through the settings manager, and the same keys written and read one store access
// a key (a whole-file rewrite per key), and prints the times side by side.

#include "platform/store/ProfileFile.h"
#include "settings/HexLines.h"
#include "settings/RegMng.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::vector<std::string> sampleLines(int count) {
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) {
        std::string line = "/home/user/Pictures/wallpaper-" + std::to_string(i);
        line.resize(60, 'x');
        lines.push_back(line);
    }
    return lines;
}

struct Timing {
    double write = 0;
    double read = 0;
};

Timing throughManager(const std::string& iniPath, int count, bool asControl) {
    std::remove(iniPath.c_str());
    zbpg::TRegManager manager;
    manager.SetRegType(zbpg::rtIni);
    manager.SetIniFileName(iniPath);
    manager.RegItems().Add(zbpg::TRegItem("WPFile", "Wallpaper", "WPFile"));
    zbpg::ListControlDescription control;
    control.name = "ListBoxWPFile";
    control.lines = sampleLines(count);
    std::vector<std::string> lines = control.lines;

    Timing timing;
    auto start = Clock::now();
    if (asControl)
        manager.ItemFiler("WPFile").WriteComponent(control);
    else
        manager.ItemFiler("WPFile").WriteStrings(lines);
    timing.write = secondsSince(start);

    start = Clock::now();
    zbpg::ListControlDescription readControl;
    readControl.name = "ListBoxWPFile";
    std::vector<std::string> readLines;
    if (asControl)
        manager.ItemFiler("WPFile").ReadComponent(readControl);
    else
        manager.ItemFiler("WPFile").ReadStrings(readLines);
    timing.read = secondsSince(start);
    if ((asControl ? readControl.lines : readLines) != control.lines) {
        std::fprintf(stderr, "round trip lost lines\n");
        std::exit(1);
    }
    return timing;
}

// The same keys, each one a profile access of its own: read, change, rewrite the whole file.
Timing perKeyRewrite(const std::string& iniPath, int count, bool asControl) {
    std::remove(iniPath.c_str());
    const zbpg::platform::ProfileFile ini(iniPath);
    zbpg::ListControlDescription control;
    control.name = "ListBoxWPFile";
    control.lines = sampleLines(count);
    const auto values =
        asControl ? zbpg::encodeHexLines(zbpg::encodeComponentStream(control)) : control.lines;
    const std::string countKey = asControl ? "WPFile_c" : "WPFile_ItemCount";
    const std::string itemPrefix = asControl ? "WPFile_d" : "WPFile_Item";

    Timing timing;
    auto start = Clock::now();
    (void)ini.read("Wallpaper", countKey, "0");
    bool ok = ini.write("Wallpaper", countKey, std::to_string(values.size()));
    for (std::size_t i = 0; i < values.size(); ++i)
        ok = ini.write("Wallpaper", itemPrefix + std::to_string(i), values[i]) && ok;
    timing.write = secondsSince(start);

    start = Clock::now();
    const int stored = std::atoi(ini.read("Wallpaper", countKey, "0").c_str());
    std::size_t bytes = 0;
    for (int i = 0; i < stored; ++i)
        bytes += ini.read("Wallpaper", itemPrefix + std::to_string(i), "").size();
    timing.read = secondsSince(start);
    if (!ok || bytes == 0) {
        std::fprintf(stderr, "baseline failed\n");
        std::exit(1);
    }
    return timing;
}

} // namespace

int main() {
    char folder[] = "/tmp/zbpg-bench-XXXXXX";
    if (::mkdtemp(folder) == nullptr)
        return 1;
    const std::string iniPath = std::string(folder) + "/bench.ini";

    std::printf("%-13s %6s %12s %12s %12s %12s %9s\n", "form", "lines", "write ms", "read ms",
                "base write", "base read", "speed-up");
    for (const bool asControl : {true, false}) {
        for (const int count : {500, 1000, 2000}) {
            const Timing ours = throughManager(iniPath, count, asControl);
            const Timing base = perKeyRewrite(iniPath, count, asControl);
            const double speedUp = (base.write + base.read) / (ours.write + ours.read);
            std::printf("%-13s %6d %12.2f %12.2f %12.2f %12.2f %8.1fx\n",
                        asControl ? "control" : "string list", count, ours.write * 1e3,
                        ours.read * 1e3, base.write * 1e3, base.read * 1e3, speedUp);
        }
    }
    std::remove(iniPath.c_str());
    ::rmdir(folder);
    return 0;
}

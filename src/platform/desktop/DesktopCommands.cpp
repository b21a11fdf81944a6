#include "platform/desktop/DesktopCommands.h"

#include "platform/os/Processes.h"
#include "platform/os/RegularFile.h"
#include "platform/os/XdgPaths.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace zbpg::platform {
namespace {

constexpr std::size_t kMaxConfigBytes = 1024 * 1024;
constexpr auto kPollInterval = std::chrono::milliseconds(20);

} // namespace

bool commandSucceeds(const std::vector<std::string>& arguments, int seconds) {
    return runWithDeadline(arguments, std::chrono::seconds(seconds)) == 0;
}

bool holdsWithin(const std::function<bool()>& condition, int milliseconds) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(kPollInterval);
    }
    return true;
}

std::optional<std::string> readConfigFile(const std::string& path) {
    return readRegularFile(path, kMaxConfigBytes);
}

std::vector<std::string> configFilesNamed(const std::string& relativePath) {
    std::vector<std::string> files{xdgConfigHome() + "/" + relativePath};
    const char* dirs = std::getenv("XDG_CONFIG_DIRS");
    std::string list = dirs != nullptr && *dirs != '\0' ? dirs : "/etc/xdg";
    std::size_t start = 0;
    while (start <= list.size()) {
        const auto end = std::min(list.find(':', start), list.size());
        // Only absolute folders count, as the base directory rules have it.
        if (end > start && list[start] == '/')
            files.push_back(list.substr(start, end - start) + "/" + relativePath);
        start = end + 1;
    }
    return files;
}

std::optional<std::string> iniValue(const std::string& text, const std::string& section,
                                    const std::string& key) {
    bool inSection = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
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

std::optional<unsigned> colourOfHexText(const std::string& text) {
    if (text.size() != 7 || text.front() != '#' ||
        !std::all_of(text.begin() + 1, text.end(),
                     [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }))
        return std::nullopt;
    return static_cast<unsigned>(std::stoul(text.substr(1), nullptr, 16));
}

} // namespace zbpg::platform

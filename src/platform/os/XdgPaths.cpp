#include "platform/os/XdgPaths.h"

#include "platform/os/RegularFile.h"
#include "text/Texts.h"

#include <cctype>
#include <cstdlib>
#include <pwd.h>
#include <sstream>
#include <unistd.h>

namespace zbpg::platform {
namespace {

std::string absoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    if (value != nullptr && value[0] == '/')
        return value;
    return {};
}

// The value of "XDG_<name>_DIR=\"…\"" in user-dirs.dirs, with "$HOME" put in; empty when the
// file does not name it. The file is written by a tool and holds nothing but such lines.
std::string userDirsEntry(const std::string& name) {
    constexpr std::size_t kMaxUserDirsBytes = 64 * 1024;
    const auto text = readRegularFile(xdgConfigHome() + "/user-dirs.dirs", kMaxUserDirsBytes);
    if (!text)
        return {};
    const std::string key = "XDG_" + name + "_DIR=\"";
    std::istringstream lines(*text);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(key, 0) != 0 || line.size() < key.size() + 1 || line.back() != '"')
            continue;
        std::string value = line.substr(key.size(), line.size() - key.size() - 1);
        if (value.rfind("$HOME", 0) == 0)
            value = homeFolder() + value.substr(5);
        return value.empty() || value[0] != '/' ? std::string() : value;
    }
    return {};
}

std::string usualUserFolder(const std::string& name) {
    std::string folder = name;
    for (std::size_t i = 1; i < folder.size(); ++i)
        folder[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(folder[i])));
    return homeFolder() + "/" + folder;
}

} // namespace

std::string homeFolder() {
    if (auto home = absoluteVariable("HOME"); !home.empty())
        return home;
    if (const passwd* entry = ::getpwuid(::geteuid()); entry != nullptr && entry->pw_dir)
        return entry->pw_dir;
    return "/";
}

std::string xdgConfigHome() {
    auto folder = absoluteVariable("XDG_CONFIG_HOME");
    return folder.empty() ? homeFolder() + "/.config" : folder;
}

std::string xdgCacheHome() {
    auto folder = absoluteVariable("XDG_CACHE_HOME");
    return folder.empty() ? homeFolder() + "/.cache" : folder;
}

std::string xdgDataHome() {
    auto folder = absoluteVariable("XDG_DATA_HOME");
    return folder.empty() ? homeFolder() + "/.local/share" : folder;
}

std::vector<std::string> xdgConfigDirs() {
    std::vector<std::string> folders;
    const char* list = std::getenv("XDG_CONFIG_DIRS");
    std::istringstream entries(list != nullptr ? list : "");
    for (std::string folder; std::getline(entries, folder, ':');)
        if (!folder.empty() && folder[0] == '/') // relative entries are invalid and ignored
            folders.push_back(folder);
    if (folders.empty())
        folders.emplace_back("/etc/xdg");
    return folders;
}

std::string xdgUserFolder(const std::string& name) {
    auto folder = userDirsEntry(name);
    return folder.empty() ? usualUserFolder(name) : folder;
}

std::string appConfigFolder() {
    return xdgConfigHome() + "/" + texts::kProgramName;
}

std::string appCacheFolder() {
    return xdgCacheHome() + "/" + texts::kProgramName;
}

} // namespace zbpg::platform

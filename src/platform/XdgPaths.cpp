#include "platform/XdgPaths.h"

#include "text/Texts.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace zbpg::platform {
namespace {

std::string absoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    if (value != nullptr && value[0] == '/')
        return value;
    return {};
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

std::string appConfigFolder() {
    return xdgConfigHome() + "/" + texts::kProgramName;
}

std::string appCacheFolder() {
    return xdgCacheHome() + "/" + texts::kProgramName;
}

} // namespace zbpg::platform

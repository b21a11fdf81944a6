#include "common/zbpg_common.h"

#include "platform/Registry.h"
#include "platform/XdgPaths.h"

#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace zbpg {
namespace {

constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kStartupValue = "Startup";

} // namespace

int GetPathKind(const std::string& path) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0)
        return pkNothing;
    return S_ISDIR(info.st_mode) ? pkFolder : pkFile;
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

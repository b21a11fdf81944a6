#include "platform/os/XdgPaths.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <utility>

namespace zbpg::platform {
namespace {

TEST(XdgPaths, TheMachinesConfigurationFoldersAreTheAbsoluteEntriesElseEtcXdg) {
    const std::pair<const char*, std::vector<std::string>> lists[] = {
        {"", {"/etc/xdg"}},
        {"relative", {"/etc/xdg"}},
        {"relative:/site::/etc/xdg", {"/site", "/etc/xdg"}}};
    for (const auto& [variable, folders] : lists) {
        ::setenv("XDG_CONFIG_DIRS", variable, 1);
        EXPECT_EQ(xdgConfigDirs(), folders) << variable;
    }
    ::unsetenv("XDG_CONFIG_DIRS");
    EXPECT_EQ(xdgConfigDirs(), std::vector<std::string>{"/etc/xdg"});
}

} // namespace
} // namespace zbpg::platform

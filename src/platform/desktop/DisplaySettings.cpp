#include "platform/desktop/DisplaySettings.h"

#include "platform/os/Processes.h"

#include <array>
#include <string>
#include <vector>

namespace zbpg::platform {

bool startDisplaySettings() {
    const std::array<std::vector<std::string>, 5> tools{{
        {"gnome-control-center", "display"},
        {"xfce4-display-settings"},
        {"lxqt-config-monitor"},
        {"lxrandr"},
        {"arandr"},
    }};
    for (auto arguments : tools) {
        const std::string program = findExecutable(arguments.front());
        if (program.empty())
            continue;
        arguments.front() = program;
        return startDetached(arguments, "");
    }
    return false;
}

} // namespace zbpg::platform

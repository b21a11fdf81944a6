#pragma once

#include "platform/os/SystemInfo.h"

namespace zbpg::test {

// System information that is the same on every machine, so that what is drawn is too.
// Installs itself for its lifetime.
class FixedSystemInfo final : public platform::SystemInfoService {
public:
    FixedSystemInfo() { platform::setSystemInfoService(this); }
    ~FixedSystemInfo() override { platform::setSystemInfoService(nullptr); }
    FixedSystemInfo(const FixedSystemInfo&) = delete;
    FixedSystemInfo& operator=(const FixedSystemInfo&) = delete;

    std::string loginUserName() override { return "zorbel"; }
    std::string hostName() override { return host; }
    std::string localIPv4Address() override { return address; }
    std::string host = "paneglyph-host";
    std::string address = "192.0.2.10";
};

} // namespace zbpg::test

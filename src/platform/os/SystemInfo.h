#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zbpg::platform {

// The three values of the system-information lines. The draw run and the settings window ask
// the installed service, so that a picture drawn with fixed values can be compared anywhere;
// the fallback asks this computer (the functions below).
class SystemInfoService {
public:
    virtual ~SystemInfoService() = default;
    virtual std::string loginUserName() = 0;
    virtual std::string hostName() = 0;
    virtual std::string localIPv4Address() = 0;
};

SystemInfoService& systemInfoService();
// Installs a service (not owned) or, with nullptr, returns to this computer's values.
void setSystemInfoService(SystemInfoService* service);

// The name of the user the program runs as (the effective user), or empty.
std::string loginUserName();

// The computer's host name, or empty.
std::string hostName();

// The IPv4 address to show for this computer, in dotted-decimal form, or empty.
std::string localIPv4Address();

// An address of a network interface, host byte order.
struct InterfaceAddress {
    std::string interfaceName;
    std::uint32_t address = 0;
    bool up = false;
};

// The choice behind localIPv4Address, apart from the system calls: the first address that
// resolving the host name gave that is neither loopback (127.0.0.0/8) nor link-local
// (169.254.0.0/16); else the first address of an interface that is up and neither loopback
// nor link-local, preferring the interface of the default route; else a loopback address if
// one was found; else empty. Debian-style systems resolve the host name to 127.0.1.1 first,
// which nobody wants to read on the desktop.
std::string chooseIPv4Address(const std::vector<std::uint32_t>& resolved,
                              const std::vector<InterfaceAddress>& interfaces,
                              const std::string& defaultRouteInterface);

// "192.168.0.10" for 0xC0A8000A.
std::string dottedIPv4(std::uint32_t address);

// The interface of the default IPv4 route in a routing table as /proc/net/route gives it, or
// empty.
std::string defaultRouteInterface(const std::string& routeTable);

} // namespace zbpg::platform

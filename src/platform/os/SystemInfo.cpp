#include "platform/os/SystemInfo.h"

#include "base/ServiceSlot.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <charconv>
#include <fstream>
#include <ifaddrs.h>
#include <limits>
#include <net/if.h>
#include <net/route.h>
#include <netdb.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sstream>
#include <sys/socket.h>
#include <unistd.h>

namespace zbpg::platform {

namespace {

bool isLoopback(std::uint32_t address) {
    return (address >> 24) == 127;
}

bool isLinkLocal(std::uint32_t address) {
    return (address >> 16) == 0xA9FE;
}

bool isUsable(std::uint32_t address) {
    return !isLoopback(address) && !isLinkLocal(address);
}

// Strict: the whole field must be a number in the given base, so the header line never passes.
bool parseNumber(const std::string& text, int base, unsigned long& value) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value, base);
    return !text.empty() && result.ec == std::errc() && result.ptr == end;
}

std::vector<std::uint32_t> resolveHostIPv4(const std::string& host) {
    std::vector<std::uint32_t> addresses;
    if (host.empty())
        return addresses;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM; // one entry per address rather than one per socket type
    addrinfo* list = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &list) != 0)
        return addresses;
    for (const addrinfo* entry = list; entry; entry = entry->ai_next) {
        if (entry->ai_family != AF_INET || !entry->ai_addr)
            continue;
        const auto* inet = reinterpret_cast<const sockaddr_in*>(entry->ai_addr);
        const std::uint32_t address = ntohl(inet->sin_addr.s_addr);
        if (std::find(addresses.begin(), addresses.end(), address) == addresses.end())
            addresses.push_back(address);
    }
    ::freeaddrinfo(list);
    return addresses;
}

std::vector<InterfaceAddress> interfaceIPv4Addresses() {
    std::vector<InterfaceAddress> result;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0)
        return result;
    for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET)
            continue;
        const auto* inet = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
        InterfaceAddress item;
        item.interfaceName = entry->ifa_name ? entry->ifa_name : "";
        item.address = ntohl(inet->sin_addr.s_addr);
        item.up = (entry->ifa_flags & IFF_UP) != 0;
        result.push_back(std::move(item));
    }
    ::freeifaddrs(list);
    return result;
}

std::string readRouteTable() {
    std::ifstream file("/proc/net/route");
    if (!file)
        return {};
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

class HostSystemInfo final : public SystemInfoService {
public:
    std::string loginUserName() override { return platform::loginUserName(); }
    std::string hostName() override { return platform::hostName(); }
    std::string localIPv4Address() override { return platform::localIPv4Address(); }
};

HostSystemInfo g_host;
ServiceSlot<SystemInfoService> g_slot(g_host);

} // namespace

SystemInfoService& systemInfoService() {
    return g_slot.get();
}

void setSystemInfoService(SystemInfoService* service) {
    g_slot.install(service);
}

std::string loginUserName() {
    const long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    for (;;) {
        const int error = ::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found);
        if (error == ERANGE && buffer.size() < 1024 * 1024) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (error != 0 || !found || !found->pw_name)
            return {};
        return found->pw_name;
    }
}

std::string hostName() {
    char buffer[256] = {};
    if (::gethostname(buffer, sizeof buffer - 1) != 0)
        return {};
    buffer[sizeof buffer - 1] = '\0'; // gethostname need not terminate a truncated name
    return buffer;
}

std::string localIPv4Address() {
    return chooseIPv4Address(resolveHostIPv4(hostName()), interfaceIPv4Addresses(),
                             defaultRouteInterface(readRouteTable()));
}

std::string chooseIPv4Address(const std::vector<std::uint32_t>& resolved,
                              const std::vector<InterfaceAddress>& interfaces,
                              const std::string& defaultRouteInterface) {
    const auto usableResolved = std::find_if(resolved.begin(), resolved.end(), isUsable);
    if (usableResolved != resolved.end())
        return dottedIPv4(*usableResolved);

    const InterfaceAddress* firstUsable = nullptr;
    for (const auto& item : interfaces) {
        if (!item.up || !isUsable(item.address))
            continue;
        if (!defaultRouteInterface.empty() && item.interfaceName == defaultRouteInterface)
            return dottedIPv4(item.address);
        if (!firstUsable)
            firstUsable = &item;
    }
    if (firstUsable)
        return dottedIPv4(firstUsable->address);

    const auto loopbackResolved = std::find_if(resolved.begin(), resolved.end(), isLoopback);
    if (loopbackResolved != resolved.end())
        return dottedIPv4(*loopbackResolved);
    for (const auto& item : interfaces)
        if (item.up && isLoopback(item.address))
            return dottedIPv4(item.address);
    return {};
}

std::string dottedIPv4(std::uint32_t address) {
    return std::to_string(address >> 24) + '.' + std::to_string((address >> 16) & 0xFF) + '.' +
           std::to_string((address >> 8) & 0xFF) + '.' + std::to_string(address & 0xFF);
}

std::string defaultRouteInterface(const std::string& routeTable) {
    // Columns: Iface Destination Gateway Flags RefCnt Use Metric Mask ... The kernel writes
    // Destination, Gateway, Flags and Mask in hex and Metric in decimal.
    std::istringstream lines(routeTable);
    std::string line;
    std::string best;
    unsigned long bestMetric = std::numeric_limits<unsigned long>::max();
    bool haveBest = false;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string iface, destination, gateway, flags, refCount, use, metric, mask;
        if (!(fields >> iface >> destination >> gateway >> flags >> refCount >> use >> metric >>
              mask))
            continue;
        unsigned long destinationValue = 0, flagsValue = 0, metricValue = 0, maskValue = 0;
        if (!parseNumber(destination, 16, destinationValue) ||
            !parseNumber(flags, 16, flagsValue) || !parseNumber(metric, 10, metricValue) ||
            !parseNumber(mask, 16, maskValue))
            continue;
        if (destinationValue != 0 || maskValue != 0 || (flagsValue & RTF_UP) == 0)
            continue;
        if (!haveBest || metricValue < bestMetric) {
            best = iface;
            bestMetric = metricValue;
            haveBest = true;
        }
    }
    return best;
}

} // namespace zbpg::platform

#include "platform/os/SystemInfo.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <sstream>
#include <unistd.h>

namespace zbpg::platform {
namespace {

constexpr std::uint32_t ip(unsigned a, unsigned b, unsigned c, unsigned d) {
    return (a << 24) | (b << 16) | (c << 8) | d;
}

// Four decimal numbers 0..255 separated by dots, without leading zeros.
bool isDottedQuad(const std::string& text) {
    std::istringstream in(text);
    std::string part;
    int parts = 0;
    while (std::getline(in, part, '.')) {
        if (part.empty() || part.size() > 3 || (part.size() > 1 && part[0] == '0'))
            return false;
        for (const char c : part)
            if (c < '0' || c > '9')
                return false;
        if (std::stoi(part) > 255)
            return false;
        ++parts;
    }
    return parts == 4 && text.back() != '.';
}

const std::vector<InterfaceAddress> kInterfaces = {
    {"lo", ip(127, 0, 0, 1), true},
    {"eth0", ip(192, 168, 1, 7), true},
    {"wlan0", ip(10, 1, 2, 3), true},
};

TEST(ChooseIPv4Address, TakesFirstResolvedAddressThatIsNotLoopback) {
    EXPECT_EQ(chooseIPv4Address({ip(127, 0, 1, 1), ip(10, 0, 0, 5), ip(192, 168, 1, 2)},
                                kInterfaces, "eth0"),
              "10.0.0.5");
}

TEST(ChooseIPv4Address, PrefersDefaultRouteInterfaceWhenResolvingGivesLoopbackOnly) {
    EXPECT_EQ(chooseIPv4Address({ip(127, 0, 1, 1)}, kInterfaces, "wlan0"), "10.1.2.3");
    EXPECT_EQ(chooseIPv4Address({ip(127, 0, 1, 1)}, kInterfaces, ""), "192.168.1.7");
    EXPECT_EQ(chooseIPv4Address({ip(127, 0, 1, 1)}, kInterfaces, "tun9"), "192.168.1.7");
}

TEST(ChooseIPv4Address, SkipsInterfacesThatAreDownOrLinkLocal) {
    const std::vector<InterfaceAddress> interfaces = {
        {"eth0", ip(192, 168, 1, 7), false},
        {"eth1", ip(169, 254, 3, 4), true},
        {"wlan0", ip(10, 1, 2, 3), true},
    };
    EXPECT_EQ(chooseIPv4Address({}, interfaces, "eth0"), "10.1.2.3");
    EXPECT_EQ(chooseIPv4Address({}, interfaces, "eth1"), "10.1.2.3");
}

TEST(ChooseIPv4Address, ResolvedLinkLocalFallsThroughToInterfaces) {
    EXPECT_EQ(chooseIPv4Address({ip(169, 254, 0, 9)}, kInterfaces, "eth0"), "192.168.1.7");
}

TEST(ChooseIPv4Address, FallsBackToLoopbackPreferringResolved) {
    const std::vector<InterfaceAddress> loopbackOnly = {{"lo", ip(127, 0, 0, 1), true}};
    EXPECT_EQ(chooseIPv4Address({ip(127, 0, 1, 1)}, loopbackOnly, "lo"), "127.0.1.1");
    EXPECT_EQ(chooseIPv4Address({}, loopbackOnly, ""), "127.0.0.1");
    EXPECT_EQ(chooseIPv4Address({}, {{"lo", ip(127, 0, 0, 1), false}}, ""), "");
}

TEST(ChooseIPv4Address, EmptyWhenNothingFound) {
    EXPECT_EQ(chooseIPv4Address({}, {}, ""), "");
    EXPECT_EQ(chooseIPv4Address({ip(169, 254, 1, 1)}, {{"eth0", ip(169, 254, 2, 2), true}}, "eth0"),
              "");
}

TEST(DottedIPv4, WritesDecimalWithoutLeadingZeros) {
    EXPECT_EQ(dottedIPv4(0xC0A8000A), "192.168.0.10");
    EXPECT_EQ(dottedIPv4(0), "0.0.0.0");
    EXPECT_EQ(dottedIPv4(0xFFFFFFFF), "255.255.255.255");
    EXPECT_EQ(dottedIPv4(ip(10, 0, 0, 5)), "10.0.0.5");
}

const char* const kRouteTable =
    "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n"
    "wlan0\t00000000\t0101A8C0\t0003\t0\t0\t600\t00000000\t0\t0\t0\n"
    "eth0\t0001A8C0\t00000000\t0001\t0\t0\t100\t00FFFFFF\t0\t0\t0\n"
    "eth0\t00000000\t0101A8C0\t0003\t0\t0\t100\t00000000\t0\t0\t0\n";

TEST(DefaultRouteInterface, TakesDefaultRouteWithLowestMetric) {
    EXPECT_EQ(defaultRouteInterface(kRouteTable), "eth0");
}

TEST(DefaultRouteInterface, FirstWinsOnEqualMetric) {
    const std::string table = "Iface\tDestination\tGateway\tFlags\tRefCnt\tUse\tMetric\tMask\n"
                              "wwan0\t00000000\t01010A0A\t0003\t0\t0\t50\t00000000\n"
                              "eth1\t00000000\t0101A8C0\t0003\t0\t0\t50\t00000000\n";
    EXPECT_EQ(defaultRouteInterface(table), "wwan0");
}

TEST(DefaultRouteInterface, SkipsRoutesThatAreNotUp) {
    const std::string table = "Iface\tDestination\tGateway\tFlags\tRefCnt\tUse\tMetric\tMask\n"
                              "eth0\t00000000\t0101A8C0\t0002\t0\t0\t0\t00000000\n"
                              "wlan0\t00000000\t0101A8C0\t0003\t0\t0\t600\t00000000\n";
    EXPECT_EQ(defaultRouteInterface(table), "wlan0");
}

TEST(DefaultRouteInterface, EmptyWithoutDefaultRoute) {
    EXPECT_EQ(defaultRouteInterface(""), "");
    EXPECT_EQ(
        defaultRouteInterface("Iface\tDestination\tGateway\tFlags\tRefCnt\tUse\tMetric\tMask\n"
                              "eth0\t0001A8C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\n"),
        "");
}

TEST(SystemInfo, ReportsTheRunningUserAndHost) {
    const std::string user = loginUserName();
    ASSERT_FALSE(user.empty());
    const passwd* entry = ::getpwuid(::geteuid());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(user, entry->pw_name);
    EXPECT_FALSE(hostName().empty());
}

// Every Linux machine has its loopback interface up, so there is always an address to report.
TEST(SystemInfo, LocalAddressIsADottedQuad) {
    ASSERT_TRUE(isDottedQuad("10.0.0.5"));
    ASSERT_FALSE(isDottedQuad("10.0.05"));
    ASSERT_FALSE(isDottedQuad("10.0.0.256"));
    const std::string address = localIPv4Address();
    EXPECT_TRUE(isDottedQuad(address)) << address;
}

} // namespace
} // namespace zbpg::platform

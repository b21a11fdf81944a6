#include "platform/desktop/WallpaperBackend.h"

#include <array>
#include <cctype>
#include <cstdlib>
#include <string_view>
#include <utility>

namespace zbpg::platform {
namespace {

std::string lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

} // namespace

DesktopFamily desktopFamilyOf(const std::string& name) {
    // GNOME's relatives keep its background settings; "ubuntu:GNOME" and the like name GNOME
    // second.
    static const std::array<std::pair<const char*, DesktopFamily>, 20> kNames{{
        {"gnome", DesktopFamily::Gnome},
        {"gnome-classic", DesktopFamily::Gnome},
        {"gnome-flashback", DesktopFamily::Gnome},
        {"budgie", DesktopFamily::Gnome},
        {"budgie-desktop", DesktopFamily::Gnome},
        {"unity", DesktopFamily::Gnome},
        {"pantheon", DesktopFamily::Gnome},
        {"x-cinnamon", DesktopFamily::Cinnamon},
        {"cinnamon", DesktopFamily::Cinnamon},
        {"mate", DesktopFamily::Mate},
        {"xfce", DesktopFamily::Xfce},
        {"xfce4", DesktopFamily::Xfce},
        {"kde", DesktopFamily::Plasma},
        {"plasma", DesktopFamily::Plasma},
        {"plasmawayland", DesktopFamily::Plasma},
        {"plasmax11", DesktopFamily::Plasma},
        {"lxqt", DesktopFamily::Lxqt},
        {"lxde", DesktopFamily::Lxde},
        {"lubuntu", DesktopFamily::Lxde},
        {"sway", DesktopFamily::Sway},
    }};
    const std::string key = lower(name);
    for (const auto& [known, family] : kNames)
        if (key == known)
            return family;
    return DesktopFamily::Other;
}

DesktopFamily sessionDesktopFamily() {
    std::string list = environment("XDG_CURRENT_DESKTOP");
    std::size_t start = 0;
    while (start <= list.size()) {
        const auto end = std::min(list.find(':', start), list.size());
        if (const auto family = desktopFamilyOf(list.substr(start, end - start));
            family != DesktopFamily::Other)
            return family;
        start = end + 1;
    }
    for (const char* fallback : {"XDG_SESSION_DESKTOP", "DESKTOP_SESSION"}) {
        std::string name = environment(fallback);
        // DESKTOP_SESSION may be a path to the session file.
        if (const auto slash = name.find_last_of('/'); slash != std::string::npos)
            name = name.substr(slash + 1);
        if (const auto family = desktopFamilyOf(name); family != DesktopFamily::Other)
            return family;
    }
    return DesktopFamily::Other;
}

bool isWaylandSession() {
    const std::string type = lower(environment("XDG_SESSION_TYPE"));
    if (!type.empty())
        return type == "wayland";
    return !environment("WAYLAND_DISPLAY").empty();
}

std::string pathOfFileUri(const std::string& uri) {
    if (!uri.empty() && uri.front() == '/')
        return uri;
    constexpr std::string_view kScheme = "file://";
    if (uri.compare(0, kScheme.size(), kScheme) != 0)
        return {};
    std::string path;
    // "file://localhost/…" and "file:///…" both name a local file.
    std::size_t i = uri.find('/', kScheme.size());
    if (i == std::string::npos)
        return {};
    for (; i < uri.size(); ++i) {
        if (uri[i] == '%' && i + 2 < uri.size() && hexDigit(uri[i + 1]) >= 0 &&
            hexDigit(uri[i + 2]) >= 0) {
            path += static_cast<char>(hexDigit(uri[i + 1]) * 16 + hexDigit(uri[i + 2]));
            i += 2;
        } else {
            path += uri[i];
        }
    }
    return path;
}

std::string fileUriOf(const std::string& path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || std::string_view("/-._~").find(c) != std::string_view::npos) {
            uri += c;
        } else {
            uri += '%';
            uri += kHex[byte >> 4];
            uri += kHex[byte & 15];
        }
    }
    return uri;
}

std::optional<WallpaperStyle> styleOfWord(std::span<const StyleWord> words, std::string_view word) {
    for (const auto& named : words)
        if (word == named.word)
            return named.style;
    return std::nullopt;
}

const char* wordOfStyle(std::span<const StyleWord> words, WallpaperStyle style) {
    for (const auto& named : words)
        if (style == named.style)
            return named.word;
    return nullptr;
}

} // namespace zbpg::platform

#pragma once

#include "platform/desktop/ChangeSubscription.h"

#include <QSocketNotifier>
#include <cstdint>
#include <memory>
#include <vector>

struct xcb_connection_t;

namespace zbpg::platform {

// The session's display as a watching process sees it, over a connection of its own that also
// tells when the display goes away, as it does when the login session ends. On an X server:
// the root window's wallpaper (_XROOTPMAP_ID, ESETROOT_PMAP_ID, which every wallpaper setter
// sets) and its resources ("Xft.dpi" in RESOURCE_MANAGER) change. On Wayland only the
// compositor's end is told: Xwayland's root window shows nothing, and Xwayland may come and go
// within the session. Both are told through the event loop of the thread that made it.
class DisplayWatch final {
public:
    DisplayWatch(ChangeCallback changed, ChangeCallback gone);
    ~DisplayWatch();
    DisplayWatch(const DisplayWatch&) = delete;
    DisplayWatch& operator=(const DisplayWatch&) = delete;

    // Whether a display is watched: none without one that takes the connection.
    bool watching() const { return m_notifier != nullptr; }

private:
    void watchX();
    void watchWayland();
    void readX();
    void readWayland();

    ChangeCallback m_changed;
    ChangeCallback m_gone;
    xcb_connection_t* m_x = nullptr;
    std::vector<std::uint32_t> m_atoms; // the root window's properties told of
    int m_wayland = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace zbpg::platform

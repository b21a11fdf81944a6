#include "platform/desktop/qt/DisplayWatch.h"

#include "platform/desktop/WallpaperBackend.h"
#include "platform/desktop/WaylandCompositor.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace zbpg::platform {
namespace {

// The root window's properties whose change changes what the desktop shows under the drawing or
// the density its text is drawn at.
constexpr const char* kWatchedProperties[] = {"_XROOTPMAP_ID", "ESETROOT_PMAP_ID",
                                              "RESOURCE_MANAGER"};

std::uint32_t internAtom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr);
    const std::uint32_t atom = reply != nullptr ? reply->atom : std::uint32_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

} // namespace

DisplayWatch::DisplayWatch(ChangeCallback changed, ChangeCallback gone)
    : m_changed(std::move(changed)), m_gone(std::move(gone)) {
    if (isWaylandSession())
        watchWayland();
    else
        watchX();
}

DisplayWatch::~DisplayWatch() {
    m_notifier.reset();
    if (m_x != nullptr)
        xcb_disconnect(m_x);
    if (m_wayland >= 0)
        ::close(m_wayland);
}

void DisplayWatch::watchX() {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0')
        return;
    m_x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(m_x)) {
        xcb_disconnect(m_x);
        m_x = nullptr;
        return;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_x)).data;
    // Event masks belong to each client: this one's takes nothing from anybody else's.
    const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(m_x, screen->root, XCB_CW_EVENT_MASK, &mask);
    for (const char* name : kWatchedProperties)
        m_atoms.push_back(internAtom(m_x, name));
    m_notifier =
        std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(m_x), QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { readX(); });
    readX(); // what came with the replies above waits in the connection's queue, not the socket
}

void DisplayWatch::readX() {
    bool changed = false;
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_x)) {
        if ((event->response_type & 0x7F) == XCB_PROPERTY_NOTIFY) {
            const auto* property = reinterpret_cast<const xcb_property_notify_event_t*>(event);
            changed = changed ||
                      std::find(m_atoms.begin(), m_atoms.end(), property->atom) != m_atoms.end();
        }
        std::free(event);
    }
    if (xcb_connection_has_error(m_x)) {
        m_notifier->setEnabled(false);
        m_gone();
        return;
    }
    if (changed)
        m_changed();
}

void DisplayWatch::watchWayland() {
    const std::string path = waylandSocketPath();
    sockaddr_un address{};
    if (path.empty() || path.size() >= sizeof address.sun_path)
        return;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    m_wayland = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    // A client that asks nothing is told nothing: the socket is quiet until the compositor ends.
    if (m_wayland < 0 ||
        ::connect(m_wayland, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (m_wayland >= 0)
            ::close(m_wayland);
        m_wayland = -1;
        return;
    }
    m_notifier = std::make_unique<QSocketNotifier>(m_wayland, QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { readWayland(); });
}

void DisplayWatch::readWayland() {
    char bytes[256];
    for (;;) {
        const ssize_t length = ::recv(m_wayland, bytes, sizeof bytes, MSG_DONTWAIT);
        if (length > 0 || (length < 0 && errno == EINTR))
            continue;
        if (length < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        m_notifier->setEnabled(false);
        m_gone();
        return;
    }
}

} // namespace zbpg::platform

#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace zbpg::platform {

// The session's Wayland compositor, reached through the socket WAYLAND_DISPLAY names: a path,
// or a name in XDG_RUNTIME_DIR. Empty without one.
std::string waylandSocketPath();

// How long a compositor may take to answer. One answers within milliseconds; one that has not
// by then is taken for none.
inline constexpr std::chrono::milliseconds kCompositorTimeout(3000);

// Whether a compositor takes a connection there and answers a round trip within
// kCompositorTimeout: Qt's Wayland platform would wait for good for one that does not.
bool waylandCompositorAnswers();

// The compositor's process and the time it started, as "<pid>:<start>": together they name
// this compositor for the life of the boot, so the compositor of the next login differs even
// where the login has no session id of its own. Nothing when no compositor listens.
std::optional<std::string> waylandCompositorIdentity();

} // namespace zbpg::platform

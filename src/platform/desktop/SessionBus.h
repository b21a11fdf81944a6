#pragma once

#include "platform/desktop/ChangeSubscription.h"

#include <chrono>

namespace zbpg::platform {

// How long the session bus may take to take a connection. A bus answers within milliseconds; one
// that has not answered by then is taken for none, and the picture goes the next way.
inline constexpr std::chrono::milliseconds kBusTimeout(3000);
// How long a desktop may take to answer a call: longer, since the bus may have to start the
// desktop's settings service for it first.
inline constexpr std::chrono::milliseconds kBusCallTimeout(5000);

// Whether the session bus (DBUS_SESSION_BUS_ADDRESS, else the user's bus in XDG_RUNTIME_DIR)
// takes a connection and answers it within kBusTimeout. A bus that accepts and never answers
// would keep every library that connects to it waiting for good, so nothing connects to it
// before this has said yes. Asked once a process for each address: a silent bus costs the time
// only once.
bool sessionBusAnswers();

// Tells once when the session bus goes away, as it does when the login session ends. Nothing
// when the bus does not answer.
std::unique_ptr<ChangeSubscription> watchSessionBusEnd(ChangeCallback ended);

} // namespace zbpg::platform

#pragma once

#include <functional>
#include <memory>

namespace zbpg::platform {

// A subscription to signals of change: its callback is told of them while it lives, and never
// after. The desktops' signals arrive through GLib's default main context, which the program's
// event loop runs (Qt's event loop does so here), on the thread that subscribed.
class ChangeSubscription {
public:
    virtual ~ChangeSubscription() = default;
};

using ChangeCallback = std::function<void()>;

} // namespace zbpg::platform

#include "platform/desktop/qt/DisplayWatch.h"

#include "support/SilentSocket.h"
#include "support/TempFolder.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

namespace zbpg::platform {
namespace {

bool toldWithin(const bool& told, int milliseconds) {
    const QDeadlineTimer deadline(milliseconds);
    while (!told && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return told;
}

// A compositor that takes the connection and says nothing, as one says nothing to a client that
// asks nothing: its end is the session's.
TEST(DisplayWatch, OnWaylandTellsWhenTheCompositorEndsAndOfNothingBefore) {
    test::TempFolder folder;
    auto compositor = std::make_unique<test::SilentSocket>(folder.file("wayland-zbpg"));
    ::setenv("XDG_SESSION_TYPE", "wayland", 1);
    ::setenv("WAYLAND_DISPLAY", compositor->path().c_str(), 1);
    bool changed = false, gone = false;
    const DisplayWatch watch([&changed] { changed = true; }, [&gone] { gone = true; });
    ASSERT_TRUE(watch.watching());
    EXPECT_FALSE(toldWithin(gone, 300));
    compositor.reset();
    EXPECT_TRUE(toldWithin(gone, 5000));
    EXPECT_FALSE(changed);
}

TEST(DisplayWatch, WatchesNothingWithoutADisplay) {
    ::unsetenv("WAYLAND_DISPLAY");
    ::unsetenv("DISPLAY");
    ::unsetenv("XDG_SESSION_TYPE");
    EXPECT_FALSE(DisplayWatch([] {}, [] {}).watching());
}

} // namespace
} // namespace zbpg::platform

#include "platform/desktop/qt/DisplayWatch.h"

#include "support/SilentSocket.h"
#include "support/TempFolder.h"

#include <QTest>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

namespace zbpg::platform {
namespace {

// A compositor says nothing to a client that asks nothing: its end is the session's.
TEST(DisplayWatch, OnWaylandTellsWhenTheCompositorEndsAndOfNothingBefore) {
    test::TempFolder folder;
    auto compositor = std::make_unique<test::SilentSocket>(folder.file("wayland-zbpg"));
    ::setenv("XDG_SESSION_TYPE", "wayland", 1);
    ::setenv("WAYLAND_DISPLAY", compositor->path().c_str(), 1);
    bool gone = false;
    const DisplayWatch watch([] { ADD_FAILURE() << "nothing changed"; }, [&gone] { gone = true; });
    ASSERT_TRUE(watch.watching());
    QTest::qWait(300);
    EXPECT_FALSE(gone);
    compositor.reset();
    EXPECT_TRUE(QTest::qWaitFor([&gone] { return gone; }, 5000));
}

} // namespace
} // namespace zbpg::platform

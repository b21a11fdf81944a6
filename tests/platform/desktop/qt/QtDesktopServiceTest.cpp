#include "platform/desktop/qt/QtDesktopService.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

namespace zbpg::platform {
namespace {

// The tests run on Qt's offscreen platform, whose one screen is 800 by 800 pixels; the
// service must report that screen, not the 1024 by 768 the headless service answers.
TEST(QtDesktopService, ReportsTheOffscreenPlatformsScreen) {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("offscreen"));
    QtDesktopService desktop;
    EXPECT_EQ(desktop.screenWidth(), 800);
    EXPECT_EQ(desktop.screenHeight(), 800);
}

} // namespace
} // namespace zbpg::platform

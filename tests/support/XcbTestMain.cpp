#include "support/QtSettingsFolder.h"
#include "support/TestEnvironment.h"
#include "text/qt/QtConvert.h"

#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

// Tests of real windows on an X server (run under xvfb-run): the pointer and the windows are the
// server's, with the program's font substitutions.
int main(int argc, char** argv) {
    zbpg::test::TestEnvironment environment(zbpg::test::followTheHomeWithQtSettings);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    QApplication application(argc, argv);
    zbpg::installFontSubstitutions();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "support/QtSettingsFolder.h"
#include "support/TestEnvironment.h"
#include "text/qt/QtConvert.h"

#include <QApplication>
#include <gtest/gtest.h>

// Widget tests: a headless application with the program's font substitutions.
int main(int argc, char** argv) {
    zbpg::test::TestEnvironment environment(zbpg::test::followTheHomeWithQtSettings);
    QApplication application(argc, argv);
    zbpg::installFontSubstitutions();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

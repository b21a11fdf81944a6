#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    zbpg::test::TempFolder home;
    zbpg::test::prepareTestEnvironment(home);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

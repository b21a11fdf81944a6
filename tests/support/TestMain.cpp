#include "platform/MessageService.h"
#include "support/TempFolder.h"

#include <cstdlib>
#include <gtest/gtest.h>

// Tests never touch the real home folder: each test process gets its own.
int main(int argc, char** argv) {
    zbpg::test::TempFolder home;
    ::setenv("HOME", home.path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", home.file(".config").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", home.file(".cache").c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

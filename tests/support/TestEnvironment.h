#pragma once

#include "support/TempFolder.h"

#include <cstdlib>

namespace zbpg::test {

// Points HOME and the XDG folders into the given folder (tests never touch the real home)
// and makes Qt draw offscreen. The session's desktop is forgotten, so that no test reaches the
// wallpaper of the desktop it runs on.
inline void prepareTestEnvironment(const TempFolder& home) {
    for (const char* name :
         {"XDG_CURRENT_DESKTOP", "XDG_SESSION_DESKTOP", "DESKTOP_SESSION", "SWAYSOCK"})
        ::unsetenv(name);
    ::setenv("HOME", home.path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", home.file(".config").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", home.file(".cache").c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

} // namespace zbpg::test

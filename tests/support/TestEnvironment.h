#pragma once

#include "support/TempFolder.h"

#include <functional>

namespace zbpg::test {

// Made first in every test main, before anything reads the environment (a QApplication, the
// first test). The process, and then each test on its own, gets a fresh temporary folder as
// HOME and as every XDG folder, so that tests never touch the real home and never see what an
// earlier test left there; whatever a test changes in the environment is undone after it. Qt
// draws offscreen, and the session's desktop is forgotten, so that no test reaches the
// wallpaper of the desktop it runs on. forEachHome is called whenever HOME has moved, for the
// libraries that take their folders from it only once.
class TestEnvironment final {
public:
    explicit TestEnvironment(std::function<void()> forEachHome = {});

private:
    TempFolder m_processHome;
};

} // namespace zbpg::test

#pragma once

#include "app/Application.h"

#include <memory>
#include <string>

namespace zbpg {

// Where Qt is to show the program's windows, decided before Qt starts: Qt ends the process with
// an abort when no platform it tries finds its display, and waits for good on a compositor that
// takes the connection and never answers.
struct QtPlatform {
    // Whether windows can be seen: a display answers, or the user's QT_QPA_PLATFORM names a
    // platform that shows them.
    bool onScreen = false;
    // What QT_QPA_PLATFORM is to say: the platform of the one display that answers ("wayland",
    // "xcb"), or the user's own choice; empty when every display named answers, where Qt's own
    // preference stands.
    std::string request;
    // The displays the session names (WAYLAND_DISPLAY, DISPLAY), as "wayland-1, :0", and those
    // of them that do not answer.
    std::string named;
    std::string unanswered;
};

// Looks at the displays the session names and asks each whether it answers.
QtPlatform chooseQtPlatform();

// Starts Qt on the platform (offscreen when it is not on a screen). A start that fails all the
// same, say for want of Qt's plugin for the display, ends the program with
// "ディスプレイ %s に表示できません。" on standard error and status 1 instead of Qt's abort.
std::unique_ptr<Application> startApplication(int& argc, char** argv, const QtPlatform& chosen);

} // namespace zbpg

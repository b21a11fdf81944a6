#pragma once

#include "common/ProgramFiles.h"

#include <string>
#include <vector>

namespace zbpg {

// How the program starts, from the first argument of its command line (further ones are
// ignored): no argument shows the settings window; "-OnlyDraw", exactly so, is the logon run;
// "-Watch" the logon run that then keeps its drawing true (Watch.h); "--help" and "--version"
// print the usage or the version and end; anything else is refused with a message.
enum class StartMode { Settings, OnlyDraw, Watch, WrongOption, Help, Version };
StartMode startModeOf(const std::vector<std::string>& arguments);

// A start without the settings window: the stored settings are read, then the logon run
// waits the configured seconds and draws once, or a wrong option is refused. True when the
// program is to end now; false when the settings window is to be shown instead (the settings
// could not be read, which the window reports as it reads them, or the run failed, which has
// been reported). A logon run's errors go to standard error first, before any message box.
bool runWithoutWindow(StartMode mode, const ProgramFiles& files);

// The whole program: returns the process exit code, which is not 0 after a logon run that did
// not draw, also when the settings window was shown after it.
int runProgram(int argc, char** argv);

} // namespace zbpg

#pragma once

#include <string>

namespace zbpg {

class TFormMain;

// The settings file: the program file's path with ".ini" in place of its extension, or, when
// the program's folder cannot be written (an installed program), the same name in the user's
// configuration folder.
std::string iniFilePathFor(const std::string& programPath);

// The help pages shipped with the program: "help/index.html" beside the program file, or in
// the shared data folder of an installed program.
std::string helpFilePathFor(const std::string& programPath);

// Where the program keeps its files.
struct ProgramFiles {
    std::string iniFile;
    std::string helpFile;
    std::string startUpLink; // the shortcut that registers the program at logon

    static ProgramFiles forProgram(const std::string& programPath);
};

// The window creation steps that come before the window is shown: help file, Startup button,
// settings file, bounds, stored settings, screen size, enabling rules, a clean changed state.
// A settings error ends the steps there and is shown by the general error report.
void prepareMainWindow(TFormMain& window, const ProgramFiles& files);

// The whole program: returns the process exit code.
int runProgram(int argc, char** argv);

} // namespace zbpg

#pragma once

#include <string>
#include <vector>

namespace zbpg {

class TFormMain;

// The settings file: the program file's path with ".ini" in place of its extension, or, when
// the program's folder cannot be written (an installed program), the same name in the user's
// configuration folder.
std::string iniFilePathFor(const std::string& programPath);

// The composed picture of a run: "ZorbelPaneglyphTmp.bmp" beside the program, or in the
// program's cache folder when the program's folder cannot be written.
std::string tmpBitmapPathFor(const std::string& programPath);

// The help pages shipped with the program: "help/index.html" beside the program file, or in
// the shared data folder of an installed program.
std::string helpFilePathFor(const std::string& programPath);

// Where the program keeps its files.
struct ProgramFiles {
    std::string programFile;
    std::string iniFile;
    std::string helpFile;
    std::string startUpLink;   // the shortcut that registers the program at logon
    std::string tmpBitmapFile; // the composed picture of a run, while it is applied

    static ProgramFiles forProgram(const std::string& programPath);
};

// The window creation steps that come before the window is shown: help file, Startup button,
// settings file, bounds, stored settings, screen size, enabling rules, a clean changed state.
// A settings error ends the steps there, is shown by the general error report and gives false.
bool prepareMainWindow(TFormMain& window, const ProgramFiles& files);

// The mode decision of the window creation for the command line's first argument: "-OnlyDraw"
// waits the configured seconds and draws once; any other argument is refused with a message.
// True when the program is to end now; false when the settings window is to be shown (no
// argument, or a run that failed).
bool runCommandLineMode(TFormMain& window, const std::vector<std::string>& arguments);

// The whole program: returns the process exit code.
int runProgram(int argc, char** argv);

} // namespace zbpg

#pragma once

#include <string>

namespace zbpg {

// The settings file: the program file's path with ".ini" in place of its extension, or, when
// the program's folder cannot be written (an installed program), the same name in the user's
// configuration folder.
std::string iniFilePathFor(const std::string& programPath);

// The settings an installation gives every user: for an installed program (whose settings file
// is the user's own), the file beside the program, read until the user's own file exists; else
// none.
std::string seedIniFilePathFor(const std::string& programPath);

// What the composed picture of a run is named after (each run has a file of its own, see
// platform::RunFile): "ZorbelPaneglyphTmp.bmp" beside the program, or in the program's cache
// folder when the program's folder cannot be written.
std::string tmpBitmapPathFor(const std::string& programPath);

// The picture the wallpaper rotation converts the chosen image into and shows as the clean
// wallpaper: "ZorbelPaneglyph.bmp", beside the program or in the cache folder as above.
std::string wallpaperBitmapPathFor(const std::string& programPath);

// The help pages shipped with the program: "help/index.html" beside the program file, or in
// the shared data folder of an installed program.
std::string helpFilePathFor(const std::string& programPath);

// Where the program keeps its files.
struct ProgramFiles {
    std::string programFile;
    std::string iniFile;
    std::string helpFile;
    std::string startUpLink;         // the shortcut that registers the program at logon; empty
                                     // when there is no Startup folder
    std::string tmpBitmapFile;       // what a run's composed picture is named after
    std::string seedIniFile;         // read while iniFile does not exist; empty for none
    std::string wallpaperBitmapFile; // the rotation's converted picture, the clean wallpaper
    std::string startUpLinkProblem;  // why there is no startUpLink when the Startup folder
                                     // could not be read (the registry file's error); else empty

    static ProgramFiles forProgram(const std::string& programPath);
};

} // namespace zbpg

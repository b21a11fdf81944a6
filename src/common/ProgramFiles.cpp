#include "common/ProgramFiles.h"

#include "base/Error.h"
#include "common/zbpg_common.h"
#include "platform/os/AtomicFile.h"
#include "platform/os/Shortcut.h"
#include "platform/os/XdgPaths.h"
#include "text/Texts.h"

#include <unistd.h>

namespace zbpg {
namespace {

bool folderIsWritable(const std::string& folder) {
    return !folder.empty() && ::access(folder.c_str(), W_OK) == 0;
}

// A picture file the program writes: beside the program, or in the cache folder of an
// installed program, whose folder the user cannot write.
std::string pictureFilePathFor(const std::string& programPath, const char* name) {
    const std::string folder = ExtractFileDir(programPath);
    if (folderIsWritable(folder))
        return folder + name;
    (void)platform::makeFolders(platform::appCacheFolder());
    return platform::appCacheFolder() + "/" + name;
}

} // namespace

std::string iniFilePathFor(const std::string& programPath) {
    const std::string beside = ChangeFileExt(programPath, texts::kIniExtension);
    if (folderIsWritable(ExtractFileDir(programPath)))
        return beside;
    const std::string folder = platform::appConfigFolder();
    // The settings file is written there without further ado.
    (void)platform::makeFolders(folder);
    return folder + "/" + texts::kProgramName + texts::kIniExtension;
}

std::string seedIniFilePathFor(const std::string& programPath) {
    const std::string beside = ChangeFileExt(programPath, texts::kIniExtension);
    return iniFilePathFor(programPath) == beside ? std::string() : beside;
}

std::string tmpBitmapPathFor(const std::string& programPath) {
    return pictureFilePathFor(programPath, texts::kTmpBitmapFileName);
}

std::string wallpaperBitmapPathFor(const std::string& programPath) {
    return pictureFilePathFor(programPath, texts::kWallpaperBitmapFileName);
}

std::string helpFilePathFor(const std::string& programPath) {
    const std::string folder = ExtractFileDir(programPath);
    const std::string beside = folder + texts::kHelpPage;
    if (GetPathKind(beside) == PathKind::File)
        return beside;
    return folder + "../share/" + texts::kProgramName + "/" + texts::kHelpPage;
}

ProgramFiles ProgramFiles::forProgram(const std::string& programPath) {
    // Without a Startup folder there is no link: never one in the root folder. A registry file
    // that cannot be read is for the window to report; the program goes on without the link.
    std::string startup;
    std::string startUpLinkProblem;
    try {
        startup = GetStartupFolder();
    } catch (const Error& error) {
        startUpLinkProblem = error.what();
    }
    const std::string link =
        startup.empty() ? std::string()
                        : startup + "/" + texts::kProgramName + platform::kShortcutExtension;
    return {programPath,
            iniFilePathFor(programPath),
            helpFilePathFor(programPath),
            link,
            tmpBitmapPathFor(programPath),
            seedIniFilePathFor(programPath),
            wallpaperBitmapPathFor(programPath),
            startUpLinkProblem};
}

} // namespace zbpg

#include "app/Program.h"

#include "app/Application.h"
#include "common/QtConvert.h"
#include "common/zbpg_common.h"
#include "platform/MessageService.h"
#include "platform/XdgPaths.h"
#include "platform/qt/QtDesktopService.h"
#include "platform/qt/QtDialogService.h"
#include "platform/qt/QtMessageService.h"
#include "ui/Main.h"

#include <QPushButton>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace zbpg {
namespace {

constexpr const char* kProgramName = "ZorbelPaneglyph";

bool folderIsWritable(const std::string& folder) {
    return !folder.empty() && ::access(folder.c_str(), W_OK) == 0;
}

bool hasDisplay() {
    const char* platformName = std::getenv("QT_QPA_PLATFORM");
    if (platformName && *platformName)
        return true;
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

} // namespace

std::string iniFilePathFor(const std::string& programPath) {
    const std::string beside = ChangeFileExt(programPath, ".ini");
    if (folderIsWritable(ExtractFileDir(programPath)))
        return beside;
    const std::string folder = platform::appConfigFolder();
    return folder + "/" + kProgramName + ".ini";
}

std::string helpFilePathFor(const std::string& programPath) {
    const std::string folder = ExtractFileDir(programPath);
    const std::string beside = folder + "help/index.html";
    if (GetPathKind(beside) == pkFile)
        return beside;
    return folder + "../share/" + kProgramName + "/help/index.html";
}

ProgramFiles ProgramFiles::forProgram(const std::string& programPath) {
    return {iniFilePathFor(programPath), helpFilePathFor(programPath),
            GetStartupFolder() + "/" + kProgramName + ".desktop"};
}

void prepareMainWindow(TFormMain& window, const ProgramFiles& files) {
    window.setHelpFile(files.helpFile);
    window.setStartUpLink(files.startUpLink);
    window.UpdateStartUpButton();
    window.setIniFile(files.iniFile);
    window.applyScreenBounds();
    try {
        window.LoadSettings();
    } catch (const std::exception& error) {
        platform::showErrorReport(error.what());
        return;
    }
    window.showScreenSize();
    window.applyEnablingRules();
    window.ButtonSave->setEnabled(false);
}

int runProgram(int argc, char** argv) {
    if (!hasDisplay()) {
        std::fprintf(stderr, "%s: 設定画面を表示するにはディスプレイ (X11) が必要です。\n",
                     kProgramName);
        return 1;
    }
    Application application(argc, argv);
    installFontSubstitutions();
    platform::QtMessageService messages;
    platform::QtDialogService dialogs;
    platform::QtDesktopService desktop;
    platform::setMessageService(&messages);
    platform::setDialogService(&dialogs);
    platform::setDesktopService(&desktop);

    int result = 0;
    {
        TFormMain window;
        prepareMainWindow(window, ProgramFiles::forProgram(GetModuleFileName()));
        window.show();
        result = application.exec();
    }
    platform::setDesktopService(nullptr);
    platform::setDialogService(nullptr);
    platform::setMessageService(nullptr);
    return result;
}

} // namespace zbpg

#include "app/Program.h"

#include "app/Application.h"
#include "common/QtConvert.h"
#include "common/zbpg_common.h"
#include "controls/EditUpDown.h"
#include "platform/AtomicFile.h"
#include "platform/MessageService.h"
#include "platform/Processes.h"
#include "platform/Shortcut.h"
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

// Whether windows can be seen and used: Qt's headless platforms show nothing.
bool hasDisplay() {
    const std::string platformName =
        std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "";
    if (platformName == "offscreen" || platformName == "minimal")
        return false;
    if (!platformName.empty())
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
    platform::makeFolders(folder); // the settings file is written there without further ado
    return folder + "/" + kProgramName + ".ini";
}

std::string tmpBitmapPathFor(const std::string& programPath) {
    const std::string folder = ExtractFileDir(programPath);
    if (folderIsWritable(folder))
        return folder + "ZorbelPaneglyphTmp.bmp";
    platform::makeFolders(platform::appCacheFolder());
    return platform::appCacheFolder() + "/ZorbelPaneglyphTmp.bmp";
}

std::string helpFilePathFor(const std::string& programPath) {
    const std::string folder = ExtractFileDir(programPath);
    const std::string beside = folder + "help/index.html";
    if (GetPathKind(beside) == pkFile)
        return beside;
    return folder + "../share/" + kProgramName + "/help/index.html";
}

ProgramFiles ProgramFiles::forProgram(const std::string& programPath) {
    return {programPath, iniFilePathFor(programPath), helpFilePathFor(programPath),
            GetStartupFolder() + "/" + kProgramName + platform::kShortcutExtension,
            tmpBitmapPathFor(programPath)};
}

bool prepareMainWindow(TFormMain& window, const ProgramFiles& files) {
    window.setProgramFile(files.programFile);
    window.FTmpBitmapFile = files.tmpBitmapFile;
    window.setHelpFile(files.helpFile);
    window.setStartUpLink(files.startUpLink);
    window.UpdateStartUpButton();
    window.setIniFile(files.iniFile);
    window.applyScreenBounds();
    try {
        window.LoadSettings();
    } catch (const std::exception& error) {
        platform::showErrorReport(error.what());
        return false;
    }
    window.showScreenSize();
    window.applyEnablingRules();
    window.ButtonSave->setEnabled(false);
    return true;
}

bool runCommandLineMode(TFormMain& window, const std::vector<std::string>& arguments) {
    if (arguments.empty())
        return false;
    if (arguments.front() != "-OnlyDraw") {
        platform::messageService().show({kProgramName, "起動オプションが違います。",
                                         platform::MessageIcon::Error,
                                         platform::MessageButtons::Ok});
        return true;
    }
    window.FOnlyDraw = true;
    const int seconds = window.EditUpDownStartUp->Position();
    if (seconds > 0)
        platform::sleepMilliseconds(seconds * 1000);
    try {
        window.DrawDesktop();
    } catch (const std::exception& error) {
        platform::showErrorReport(error.what());
        window.ButtonSave->setEnabled(false);
        return false; // the settings window stays open, as after any failed run
    }
    return true;
}

namespace {

// The on-screen services for the life of the program; without a display, messages go to
// standard error, since nobody could close a message box there.
class InstalledServices {
public:
    explicit InstalledServices(bool onScreen) {
        if (onScreen)
            platform::setMessageService(&m_messages);
        platform::setDialogService(&m_dialogs);
        platform::setDesktopService(&m_desktop);
    }
    ~InstalledServices() {
        platform::setDesktopService(nullptr);
        platform::setDialogService(nullptr);
        platform::setMessageService(nullptr);
    }
    InstalledServices(const InstalledServices&) = delete;
    InstalledServices& operator=(const InstalledServices&) = delete;

private:
    platform::QtMessageService m_messages;
    platform::QtDialogService m_dialogs;
    platform::QtDesktopService m_desktop;
};

} // namespace

int runProgram(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + std::min(argc, 1), argv + argc);
    const bool onlyDraw = !arguments.empty() && arguments.front() == "-OnlyDraw";
    const bool display = hasDisplay();
    if (!display) {
        if (!onlyDraw) {
            std::fprintf(stderr, "%s: 設定画面を表示するにはディスプレイ (X11) が必要です。\n",
                         kProgramName);
            return 1;
        }
        // Without any display a logon run still draws: its result is the kept picture (and the
        // X server's root window, when there is one to reach).
        if (!std::getenv("QT_QPA_PLATFORM"))
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    Application application(argc, argv);
    installFontSubstitutions();
    const InstalledServices services(display);
    TFormMain window;
    const bool prepared = prepareMainWindow(window, ProgramFiles::forProgram(GetModuleFileName()));
    if (prepared && runCommandLineMode(window, arguments))
        return 0;
    if (!display)
        return 1; // the run failed, and there is no screen for the settings window
    window.show();
    return application.exec();
}

} // namespace zbpg

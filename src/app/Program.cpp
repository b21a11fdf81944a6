#include "app/Program.h"

#include "app/Application.h"
#include "app/QtPlatform.h"
#include "app/Watch.h"
#include "common/zbpg_common.h"
#include "draw/DrawRun.h"
#include "options/OptionsStore.h"
#include "platform/desktop/qt/QtDesktopService.h"
#include "platform/dialogs/MessageService.h"
#include "platform/dialogs/qt/QtDialogService.h"
#include "platform/dialogs/qt/QtMessageService.h"
#include "platform/os/Processes.h"
#include "platform/os/SessionLog.h"
#include "rotation/NextWallpaper.h"
#include "text/Texts.h"
#include "text/qt/QtConvert.h"
#include "ui/Main.h"
#include "ui/pages/PageWidgets.h"

#include <QIcon>
#include <cstdio>
#include <cstdlib>

namespace zbpg {
namespace {

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

// The on-screen services for the life of the program; without a display, messages go to
// standard error, since nobody could close a message box there.
class InstalledServices final {
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

// A logon run has nobody watching it: its failure goes to standard error, which the session
// keeps in its log, before a message box waits for someone to close it. Without a display the
// message service writes there itself.
void reportFailedRun(const std::string& text) {
    if (hasDisplay())
        platform::tellOnStandardError(text);
    platform::showErrorReport(text);
}

// Whether the user reads Japanese: the locale that names the language of messages (LC_ALL,
// else LC_MESSAGES, else LANG) is a Japanese one.
bool messagesInJapanese() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (const char* locale = std::getenv(variable); locale != nullptr && *locale)
            return std::string(locale).rfind("ja", 0) == 0;
    return false;
}

// What --help and --version print; they need no display.
void printCommandLineAnswer(StartMode mode) {
    const std::string text =
        mode == StartMode::Version
            ? formatMessage(texts::kVersionLine, ZBPG_VERSION)
            : (messagesInJapanese() ? texts::kUsageJapanese : texts::kUsageEnglish);
    std::fputs(text.c_str(), stdout);
}

} // namespace

StartMode startModeOf(const std::vector<std::string>& arguments) {
    if (arguments.empty())
        return StartMode::Settings;
    const std::string& first = arguments.front();
    if (first == texts::kOnlyDrawOption)
        return StartMode::OnlyDraw;
    if (first == texts::kWatchOption)
        return StartMode::Watch;
    if (first == texts::kHelpOption)
        return StartMode::Help;
    if (first == texts::kVersionOption)
        return StartMode::Version;
    return StartMode::WrongOption;
}

bool runWithoutWindow(StartMode mode, const ProgramFiles& files) {
    TRegManager settings;
    openSettings(settings, files.iniFile, files.seedIniFile);
    Options options = factoryOptions();
    if (const auto messages = loadOptions(settings, options, currentScreen()); !messages.empty()) {
        // The window reads the same file and shows each message; a logon run's log gets them
        // first, and without a display, where no window follows, only there.
        if (mode == StartMode::OnlyDraw) {
            for (const std::string& message : messages)
                platform::tellOnStandardError(message);
        }
        return false;
    }
    if (mode == StartMode::WrongOption) {
        (void)platform::messageService().show({texts::kProgramName, texts::kWrongStartOption,
                                               platform::MessageIcon::Error,
                                               platform::MessageButtons::Ok});
        return true;
    }
    if (options.drawing.startUpWaitSec > 0)
        platform::sleepMilliseconds(options.drawing.startUpWaitSec * 1000);
    try {
        DrawRun(options, true, files.tmpBitmapFile,
                {settings, wallpaperRandom(), files.wallpaperBitmapFile})
            .DrawDesktop();
    } catch (const std::exception& error) {
        reportFailedRun(error.what());
        return false; // the settings window stays open, as after any failed run
    }
    return true;
}

int runProgram(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + std::min(argc, 1), argv + argc);
    const StartMode mode = startModeOf(arguments);
    if (mode == StartMode::Help || mode == StartMode::Version) {
        printCommandLineAnswer(mode);
        return 0;
    }
    const QtPlatform qtPlatform = chooseQtPlatform();
    // A display the session names that does not answer is told also to a logon run's log:
    // the run goes on without it.
    if (!qtPlatform.unanswered.empty())
        platform::tellOnStandardError(
            formatMessage(texts::kDisplayUnreachable, qtPlatform.unanswered));
    const bool display = qtPlatform.onScreen;
    if (!display && mode != StartMode::OnlyDraw && mode != StartMode::Watch) {
        if (qtPlatform.unanswered.empty())
            platform::tellOnStandardError(texts::kNeedsDisplay);
        return 1;
    }
    // Without any display a logon run still draws offscreen: its result is the kept picture
    // (and the X server's root window, when there is one to reach).
    const auto application = startApplication(argc, argv, qtPlatform);
    installFontSubstitutions();
    const InstalledServices services(display);
    const ProgramFiles files = ProgramFiles::forProgram(GetModuleFileName());
    if (mode == StartMode::Watch)
        return runWatch(files);
    if (mode != StartMode::Settings && runWithoutWindow(mode, files))
        return 0;
    if (!display)
        return 1; // the run failed, and there is no screen for the settings window
    // The installed program's icon from the theme (a build tree's program goes without), looked
    // up only for the window: a logon run shows none.
    QApplication::setWindowIcon(QIcon::fromTheme(texts::kApplicationId));
    TFormMain window(files);
    (void)window.FormCreate(); // a settings error has been reported; the window shows anyway
    window.show();
    const int status = application->exec();
    // A logon run that did not draw ends in failure however the window is then closed, so that
    // whatever started it can tell.
    return mode == StartMode::OnlyDraw ? 1 : status;
}

} // namespace zbpg

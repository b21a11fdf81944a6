#include "app/Watch.h"

#include "base/Error.h"
#include "draw/DrawWatch.h"
#include "options/OptionsStore.h"
#include "platform/desktop/SessionBus.h"
#include "platform/desktop/qt/DesktopPicture.h"
#include "platform/desktop/qt/DisplayWatch.h"
#include "platform/desktop/qt/SessionDesktop.h"
#include "platform/os/AtomicFile.h"
#include "platform/os/ChangeNotices.h"
#include "platform/os/InstanceLock.h"
#include "platform/os/SessionLog.h"
#include "platform/os/XdgPaths.h"
#include "rotation/NextWallpaper.h"
#include "text/Texts.h"
#include "ui/pages/PageWidgets.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QSocketNotifier>
#include <cstdlib>
#include <optional>
#include <poll.h>

namespace zbpg {
namespace {

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const auto& name : names)
        text += (text.empty() ? "" : "、") + name;
    return text;
}

// In the user's runtime folder, which lives as long as the user's sessions; one name per login
// session, told by the mark the desktop pictures carry.
std::string lockFilePath() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string folder = runtime != nullptr && *runtime == '/' ? runtime : "";
    if (folder.empty()) {
        folder = platform::appCacheFolder();
        (void)platform::makeFolders(folder);
    }
    return folder + "/" + texts::kWatchLockPrefix + platform::DesktopPicture::sessionMark() +
           ".lock";
}

// The stored options; nothing, with the messages told, when they cannot all be read.
std::optional<Options> readOptions(TRegManager& settings) {
    Options options = factoryOptions();
    const auto messages = loadOptions(settings, options, currentScreen());
    for (const auto& message : messages)
        platform::tellOnStandardError(message);
    if (!messages.empty())
        return std::nullopt;
    return options;
}

// Waits the start-up seconds; false when the session asked the process to end meanwhile.
bool waitUnlessAskedToEnd(int seconds, platform::TerminationRequests& requests) {
    pollfd entry{requests.descriptor(), POLLIN, 0};
    return seconds <= 0 || ::poll(&entry, 1, seconds * 1000) <= 0 || !requests.takeRequest();
}

// Everything that tells the watch of a change, or of the session's end, through the event loop.
class WatchedSession final {
public:
    WatchedSession(DrawWatch& watch, platform::TerminationRequests& requests)
        : m_display([&watch] { watch.noteChange(); }, end),
          m_termination(requests.descriptor(), QSocketNotifier::Read) {
        const auto changed = [&watch] { watch.noteChange(); };
        watchDescriptor(m_addresses.descriptor(), QSocketNotifier::Read, texts::kDrawnAddress,
                        [this, changed] {
                            if (m_addresses.takeNotices())
                                changed();
                        });
        // The host-name file is always readable: only its exceptional condition tells.
        watchDescriptor(m_hostName.descriptor(), QSocketNotifier::Exception, texts::kDrawnComputer,
                        changed);
        m_wallpaper = platform::SessionDesktop().watchChosenWallpaper(changed);
        m_bus = platform::watchSessionBusEnd(end);
        QObject::connect(&m_termination, &QSocketNotifier::activated, [&requests] {
            if (requests.takeRequest())
                end();
        });
        watchPrimaryScreen(changed);
        QObject::connect(qGuiApp, &QGuiApplication::primaryScreenChanged, &m_context,
                         [this, changed] {
                             watchPrimaryScreen(changed);
                             changed();
                         });
    }

private:
    // Queued: an end told before the event loop runs (a display gone at once) still ends it.
    static void end() {
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                  Qt::QueuedConnection);
    }

    void watchDescriptor(int descriptor, QSocketNotifier::Type type, const char* what,
                         const std::function<void()>& told) {
        if (descriptor < 0) {
            platform::tellOnStandardError(formatMessage(texts::kWatchCannotWatch, what));
            return;
        }
        auto& notifier =
            m_notifiers.emplace_back(std::make_unique<QSocketNotifier>(descriptor, type));
        QObject::connect(notifier.get(), &QSocketNotifier::activated, told);
    }

    void watchPrimaryScreen(const std::function<void()>& changed) {
        for (const auto& connection : m_screenConnections)
            QObject::disconnect(connection);
        m_screenConnections.clear();
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (screen == nullptr)
            return;
        m_screenConnections = {
            QObject::connect(screen, &QScreen::geometryChanged, &m_context, changed),
            QObject::connect(screen, &QScreen::physicalDotsPerInchChanged, &m_context, changed),
            QObject::connect(screen, &QScreen::logicalDotsPerInchChanged, &m_context, changed)};
    }

    QObject m_context; // ends the connections to Qt's objects with the session
    platform::AddressChanges m_addresses;
    platform::HostNameChanges m_hostName;
    platform::DisplayWatch m_display;
    QSocketNotifier m_termination;
    std::vector<std::unique_ptr<QSocketNotifier>> m_notifiers;
    std::unique_ptr<platform::ChangeSubscription> m_wallpaper;
    std::unique_ptr<platform::ChangeSubscription> m_bus;
    std::vector<QMetaObject::Connection> m_screenConnections;
};

} // namespace

int runWatch(const ProgramFiles& files) {
    platform::TerminationRequests requests;
    std::unique_ptr<platform::InstanceLock> lock;
    try {
        lock = platform::InstanceLock::take(lockFilePath());
    } catch (const std::exception& error) {
        platform::tellOnStandardError(error.what());
        return 1;
    }
    if (!lock) {
        platform::tellOnStandardError(texts::kWatchAlreadyRunning);
        return 1;
    }
    TRegManager settings;
    openSettings(settings, files.iniFile, files.seedIniFile);
    std::optional<Options> options = readOptions(settings);
    if (!options)
        return 1;
    if (!waitUnlessAskedToEnd(options->drawing.startUpWaitSec, requests))
        return 0;
    const auto rotation = [&] {
        return RotationContext{settings, wallpaperRandom(), files.wallpaperBitmapFile};
    };
    bool drawn = false;
    try {
        DrawRun(*options, true, files.tmpBitmapFile, rotation()).DrawDesktop();
        drawn = true;
    } catch (const std::exception& error) {
        platform::tellOnStandardError(error.what());
    }
    DrawWatch watch(
        {[&] {
             if (auto now = readOptions(settings))
                 options = std::move(now);
             return *options;
         },
         [&](const Options& now) { redrawOnCleanWallpaper(now, files.tmpBitmapFile, rotation()); },
         [](const std::vector<std::string>& differences) {
             platform::tellOnStandardError(
                 formatMessage(texts::kWatchRedrawn, joined(differences)));
         },
         platform::tellOnStandardError, platform::releaseIdleMemory},
        // Without a drawing (the desktop was not there yet) any change draws again.
        drawn ? drawnValuesNow(*options) : DrawnValues{});
    const WatchedSession session(watch, requests);
    platform::tellOnStandardError(texts::kWatchStarted);
    platform::releaseIdleMemory();
    return QCoreApplication::exec();
}

} // namespace zbpg

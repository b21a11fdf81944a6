// Each desktop's wallpaper backend against the desktop's own tool or interface: GSettings with
// its key file backend (GSETTINGS_BACKEND=keyfile), xfconf's daemon, a stand-in for the Plasma
// shell, and recording stand-ins for pcmanfm, pcmanfm-qt and swaymsg. Runs on a session bus of
// its own (dbus-run-session); the home folder is the test's temporary one.
#include "platform/desktop/WallpaperBackend.h"

#include "base/ScopeExit.h"
#include "platform/desktop/SessionBus.h"
#include "platform/desktop/WallpaperValues.h"
#include "platform/desktop/qt/DesktopPicture.h"
#include "platform/desktop/qt/PlasmaBackend.h"
#include "platform/desktop/qt/QtDesktopService.h"
#include "platform/desktop/qt/SessionDesktop.h"
#include "platform/os/Processes.h"
#include "platform/os/XdgPaths.h"
#include "support/Commands.h"
#include "support/ParamNames.h"
#include "support/SilentSocket.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QImage>
#include <QProcess>
#include <QThread>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gio/gio.h>
#include <gtest/gtest.h>

namespace zbpg::platform {
namespace {

namespace fs = std::filesystem;

// Lets GLib see what another process changed (Qt's event loop runs GLib's).
bool eventually(const std::function<bool()>& condition, int milliseconds = 5000) {
    const QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents();
        QThread::msleep(20);
    }
    return true;
}

std::string pictureIn(const test::TempFolder& folder, const std::string& name = "wall.png") {
    QImage picture(8, 6, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    const std::string path = folder.file(name);
    EXPECT_TRUE(picture.save(QString::fromStdString(path)));
    return path;
}

// ---- the session's desktop -----------------------------------------------------------------

TEST(SessionDesktopFamily, TheFirstKnownNameWinsThenTheFallbacksInOrder) {
    ::setenv("XDG_CURRENT_DESKTOP", "i3:Budgie:GNOME", 1);
    ::setenv("DESKTOP_SESSION", "/usr/share/xsessions/plasma", 1);
    EXPECT_EQ(sessionDesktopFamily(), DesktopFamily::Gnome);
    ::setenv("XDG_CURRENT_DESKTOP", "", 1);
    ::setenv("XDG_SESSION_DESKTOP", "xfce", 1);
    EXPECT_EQ(sessionDesktopFamily(), DesktopFamily::Xfce);
    ::unsetenv("XDG_SESSION_DESKTOP");
    EXPECT_EQ(sessionDesktopFamily(), DesktopFamily::Plasma);
    ::unsetenv("XDG_CURRENT_DESKTOP");
    ::unsetenv("DESKTOP_SESSION");
}

TEST(FileUris, HoldAnyPathAndComeBackUnchanged) {
    const std::string path = "/home/zoë/My Pictures/a%b#1.png";
    EXPECT_EQ(fileUriOf(path), "file:///home/zo%C3%AB/My%20Pictures/a%25b%231.png");
    EXPECT_EQ(pathOfFileUri(fileUriOf(path)), path);
    EXPECT_EQ(pathOfFileUri(path), path);
    EXPECT_EQ(pathOfFileUri("https://example.org/a.png"), "");
}

// ---- the user's own style, taken and given back --------------------------------------------

// A style chosen in the desktop's settings (its word, style and registry stretch value) is taken
// as the user's, a drawing is shown over it, and "元に戻す" shows the recorded wallpaper again.
struct StyleWord {
    const char* word;
    WallpaperStyle style;
    const char* stretched;
};

void takeDrawOverAndGiveBack(const char* session, const std::string& file,
                             const StyleWord& chosenStyle) {
    ::setenv("XDG_CURRENT_DESKTOP", session, 1);
    const ScopeExit unset([] { ::unsetenv("XDG_CURRENT_DESKTOP"); });
    QtDesktopService desktop;
    const auto chosen = desktop.chosenWallpaper();
    ASSERT_TRUE(chosen && chosen->file == file);
    EXPECT_EQ(chosen->style, chosenStyle.style);
    ASSERT_TRUE(recordChosenWallpaper(*chosen));
    EXPECT_EQ(readWallpaperValue(WallpaperValue::WallpaperStyle), chosenStyle.stretched);
    ASSERT_TRUE(desktop.showScreenPicture(
        DesktopPicture::screenPictureOf(QImage(8, 6, QImage::Format_RGB32))));
    ASSERT_TRUE(desktop.showWallpaper(recordedWallpaper()));
}

// ---- GSettings -----------------------------------------------------------------------------

// GLib takes its folders once, when first asked, and GSettings keeps its one key file in the
// configuration folder of then: it is taken in the process's home before the first test, whose
// home goes after it. gsettings is run on that key file, and every test starts from the
// schemas' defaults.
class GLibFolders final : public ::testing::Environment {
    void SetUp() override { (void)g_get_user_config_dir(); }
};
const auto* const kGLibFolders = ::testing::AddGlobalTestEnvironment(new GLibFolders);

std::string gsettings(const std::string& words) {
    return "XDG_CONFIG_HOME='" + std::string(g_get_user_config_dir()) + "' gsettings " + words;
}

class GSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* schema : {"org.gnome.desktop.background", "org.gnome.desktop.interface",
                                   "org.cinnamon.desktop.background", "org.mate.background"})
            resetToDefaults(schema);
    }
    static void resetToDefaults(const char* schemaId) {
        GSettings* settings = g_settings_new(schemaId);
        GSettingsSchema* schema = nullptr;
        g_object_get(settings, "settings-schema", &schema, nullptr);
        gchar** keys = g_settings_schema_list_keys(schema);
        for (gchar** key = keys; *key != nullptr; ++key)
            g_settings_reset(settings, *key);
        g_strfreev(keys);
        g_settings_schema_unref(schema);
        g_settings_sync();
        g_object_unref(settings);
    }

    test::TempFolder m_folder;
};

struct GSettingsDesktop {
    DesktopFamily family;
    const char* schema;
    const char* key;
    bool uri;
    const char* session; // as XDG_CURRENT_DESKTOP names it
    StyleWord own;       // a style the user chooses there
};

class GSettingsBackendTest : public GSettingsTest,
                             public ::testing::WithParamInterface<GSettingsDesktop> {
protected:
    std::string get(const char* key) const {
        return test::commandOutput(gsettings(std::string("get ") + GetParam().schema + " " + key));
    }
    std::string quoted(const std::string& path) const {
        return "'" + (GetParam().uri ? fileUriOf(path) : path) + "'";
    }
};

TEST_P(GSettingsBackendTest, ShowsTheFileAndTellsWhatTheUserChoseWithGsettings) {
    const auto backend = makeGSettingsBackend(GetParam().family);
    ASSERT_TRUE(backend->available());
    EXPECT_TRUE(backend->show("", WallpaperStyle::ColourOnly)) << "no picture, also on MATE";
    const std::string file = pictureIn(m_folder, "a b.png");
    ASSERT_TRUE(backend->show(file, WallpaperStyle::Screen));
    EXPECT_EQ(get(GetParam().key), quoted(file));
    EXPECT_EQ(get("picture-options"), "'zoom'");

    const std::string chosen = pictureIn(m_folder, "chosen.png");
    ASSERT_EQ(test::runCommand(
                  gsettings(std::string("set ") + GetParam().schema + " " + GetParam().key + " \"" +
                            quoted(chosen) + "\"") +
                  " && " +
                  gsettings(std::string("set ") + GetParam().schema + " picture-options wallpaper"))
                  .status,
              0);
    ASSERT_TRUE(eventually([&] { return backend->current()->file == chosen; }));
    EXPECT_EQ(backend->current()->style, WallpaperStyle::Tile);

    const std::string own = GetParam().own.word;
    ASSERT_EQ(test::runCommand(
                  gsettings("set " + std::string(GetParam().schema) + " picture-options " + own))
                  .status,
              0);
    ASSERT_TRUE(eventually([&] { return backend->current()->style == GetParam().own.style; }));
    takeDrawOverAndGiveBack(GetParam().session, chosen, GetParam().own);
    EXPECT_EQ(get("picture-options"), "'" + own + "'") << "the user's own style is back";
    EXPECT_EQ(get(GetParam().key), quoted(chosen));
}

INSTANTIATE_TEST_SUITE_P(
    Desktops, GSettingsBackendTest,
    ::testing::Values(
        GSettingsDesktop{DesktopFamily::Gnome, "org.gnome.desktop.background", "picture-uri", true,
                         "GNOME", StyleWord{"zoom", WallpaperStyle::Cover, "2"}},
        GSettingsDesktop{DesktopFamily::Cinnamon, "org.cinnamon.desktop.background", "picture-uri",
                         true, "X-Cinnamon", StyleWord{"none", WallpaperStyle::ColourOnly, "0"}},
        GSettingsDesktop{DesktopFamily::Mate, "org.mate.background", "picture-filename", false,
                         "MATE", StyleWord{"scaled", WallpaperStyle::Fit, "2"}}),
    [](const auto& desktop) { return test::nameOf(desktop.param.schema); });

class GnomeBackend : public GSettingsTest {};

TEST_F(GnomeBackend, ShowsBothVariantsTellsTheDarkOneInDarkModeAndKeepsTheUsersPair) {
    const auto backend = makeGSettingsBackend(DesktopFamily::Gnome);
    const std::string file = pictureIn(m_folder);
    ASSERT_TRUE(backend->show(file, WallpaperStyle::Center));
    const std::string getDark = gsettings("get org.gnome.desktop.background picture-uri-dark");
    EXPECT_EQ(test::commandOutput(getDark), "'" + fileUriOf(file) + "'");

    const std::string dark = pictureIn(m_folder, "dark.png");
    ASSERT_EQ(test::runCommand(gsettings("set org.gnome.desktop.background picture-uri-dark '" +
                                         fileUriOf(dark) + "'") +
                               " && " +
                               gsettings("set org.gnome.desktop.interface color-scheme "
                                         "prefer-dark"))
                  .status,
              0);
    EXPECT_TRUE(eventually([&] { return backend->current()->file == dark; }));
    ASSERT_EQ(test::runCommand(gsettings("reset org.gnome.desktop.interface color-scheme")).status,
              0);
    EXPECT_TRUE(eventually([&] { return backend->current()->file == file; }));

    // A drawing covers both; putting either of the user's pair back brings the pair back.
    ASSERT_TRUE(backend->show(pictureIn(m_folder, "drawing.png"), WallpaperStyle::Screen));
    ASSERT_TRUE(backend->show(dark, WallpaperStyle::Stretch));
    EXPECT_EQ(test::commandOutput(gsettings("get org.gnome.desktop.background picture-uri")),
              "'" + fileUriOf(file) + "'");
    EXPECT_EQ(test::commandOutput(getDark), "'" + fileUriOf(dark) + "'");
}

// ---- xfconf --------------------------------------------------------------------------------

TEST(XfconfBackend, SetsEveryBackdropsImageAndStyleAndGivesTheUsersStyleBack) {
    // The daemon writes its files as it ends: it is ended while the test's home is still there.
    const ScopeExit endTheDaemon([] {
        test::runCommand("daemon=$(dbus-send --session --print-reply=literal "
                         "--dest=org.freedesktop.DBus /org/freedesktop/DBus "
                         "org.freedesktop.DBus.GetConnectionUnixProcessID string:org.xfce.Xfconf "
                         "| awk '{print $2}') && kill $daemon && "
                         "while kill -0 $daemon 2>/dev/null; do sleep 0.05; done");
    });
    // The daemon the bus starts must keep its files in the test's home, not the user's.
    ASSERT_EQ(test::runCommand("dbus-update-activation-environment HOME XDG_CONFIG_HOME "
                               "XDG_CACHE_HOME XDG_DATA_HOME")
                  .status,
              0);
    test::TempFolder folder;
    const std::string old = pictureIn(folder, "old.png");
    const std::string base = "xfconf-query -c xfce4-desktop -p /backdrop/screen0/";
    const auto backend = makeXfconfBackend();
    int told = 0;
    const auto watch = backend->watchChanges([&told] { ++told; });
    (void)test::runCommand("xfconf-query -c xfce4-desktop -p /desktop-icons/zbpg -n -t int -s 1");
    EXPECT_FALSE(eventually([&told] { return told > 0; }, 500)) << "not the wallpaper";
    for (const char* monitor : {"monitor0", "monitorHDMI-1"})
        ASSERT_EQ(test::runCommand(base + monitor + "/workspace0/last-image -n -t string -s " +
                                   old + " && " + base + monitor +
                                   "/workspace0/image-style -n -t int -s 2")
                      .status,
                  0);
    EXPECT_TRUE(eventually([&told] { return told > 0; })) << "the user's backdrops are told";
    ASSERT_TRUE(backend->available());
    EXPECT_EQ(backend->current()->file, old);
    EXPECT_EQ(backend->current()->style, WallpaperStyle::Tile);

    ASSERT_TRUE(backend->show("/new picture.png", WallpaperStyle::Screen));
    for (const char* monitor : {"monitor0", "monitorHDMI-1"}) {
        EXPECT_EQ(test::commandOutput(base + monitor + "/workspace0/last-image"),
                  "/new picture.png");
        EXPECT_EQ(test::commandOutput(base + monitor + "/workspace0/image-style"), "5");
    }

    // The user's own zoomed picture: 5 again after a drawing and "元に戻す".
    const std::string style = base + "monitor0/workspace0/image-style";
    ASSERT_EQ(test::runCommand(base + "monitor0/workspace0/last-image -s " + old + " && " + style +
                               " -s 5")
                  .status,
              0);
    takeDrawOverAndGiveBack("XFCE", old, {"5", WallpaperStyle::Cover, "2"});
    EXPECT_EQ(test::commandOutput(style), "5");
}

// ---- Plasma --------------------------------------------------------------------------------

TEST(PlasmaBackend, AsksTheShellToSetTheImageOfEveryDesktop) {
    test::TempFolder folder;
    const std::string record = folder.file("scripts"), answer = folder.file("answer");
    test::writeFile(answer, "org.kde.image\nfile:///home/u/a%20b.jpg\n6\n");
    const char* standIn = std::getenv("ZBPG_PLASMA_STANDIN");
    ASSERT_NE(standIn, nullptr);
    QProcess shell;
    shell.start(QString::fromLocal8Bit(standIn),
                {QString::fromStdString(record), QString::fromStdString(answer)});
    ASSERT_TRUE(shell.waitForStarted());
    const auto backend = makePlasmaBackend();
    ASSERT_TRUE(eventually([&] { return backend->available(); }));

    const auto current = backend->current();
    ASSERT_TRUE(current);
    EXPECT_EQ(current->file, "/home/u/a b.jpg");
    EXPECT_EQ(current->style, WallpaperStyle::Center);

    ASSERT_TRUE(backend->show("/c/\"d\".png", WallpaperStyle::Screen));
    const std::string scripts = test::readFile(record);
    const std::string show = scripts.substr(scripts.rfind("----\n", scripts.size() - 6) + 5);
    for (const char* step :
         {"for (var i = 0; i < all.length; ++i)", "all[i].wallpaperPlugin = \"org.kde.image\"",
          "all[i].writeConfig(\"Image\", \"file:///c/%22d%22.png\")"})
        EXPECT_NE(show.find(step), std::string::npos) << show;
    shell.kill();
    shell.waitForFinished();
}

TEST(PlasmaBackend, TellsOfEachNewVersionOfItsAppletsFileAndOfNothingElseInTheFolder) {
    const std::string folder = xdgConfigHome();
    fs::create_directories(folder);
    int told = 0;
    const auto watch = makePlasmaBackend()->watchChanges([&told] { ++told; });
    const std::string file = folder + "/plasma-org.kde.plasma.desktop-appletsrc";
    for (const char* version : {"[Containments][1]\n", "[Containments][2]\n"}) {
        // As KConfig saves: a new file renamed over the old one.
        test::writeFile(file + ".new", version);
        fs::rename(file + ".new", file);
        EXPECT_TRUE(eventually([&told] { return told > 0; })) << version;
        told = 0;
    }
    test::writeFile(folder + "/kdeglobals", "[General]\n");
    EXPECT_FALSE(eventually([&told] { return told > 0; }, 500)) << "another program's file";
}

// ---- a session bus that takes connections and never answers --------------------------------

TEST(SilentSessionBus, EveryBusBackendTakesItForNoneAndItCostsTheTimeOnce) {
    test::TempFolder folder;
    const test::SilentSocket silent(folder.file("bus"));
    const std::string real = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    ::setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + silent.path()).c_str(), 1);
    // pcmanfm-qt, there to be started, would ask the running desktop manager over that bus.
    const test::RecordingCommands pcmanfmQt(folder, {"pcmanfm-qt"});
    const auto start = std::chrono::steady_clock::now();
    for (const char* desktop : {"XFCE", "KDE", "LXQt", "XFCE"}) {
        ::setenv("XDG_CURRENT_DESKTOP", desktop, 1);
        EXPECT_EQ(SessionDesktop().kind(), SessionDesktop::Kind::None) << desktop;
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, kBusTimeout * 2);
    ::setenv("DBUS_SESSION_BUS_ADDRESS", real.c_str(), 1);
    EXPECT_TRUE(sessionBusAnswers()) << "the real bus is asked for itself";
}

// ---- LXQt and LXDE --------------------------------------------------------------------------

// LXQt's own desktop manager, headless, with its profile in the test's home. pcmanfm-qt 1.2 shows
// the mode its command line names but saves the one it had, so the user's own mode stays.
class Lxqt : public ::testing::TestWithParam<StyleWord> {
protected:
    void TearDown() override {
        if (m_desktop.state() != QProcess::NotRunning &&
            test::runCommand("pcmanfm-qt --quit").status == 0)
            m_desktop.waitForFinished(40000); // its timeout ends it within that in any case
    }
    static std::string settings() { return xdgConfigHome() + "/pcmanfm-qt/lxqt/settings.conf"; }

    QProcess m_desktop;
    test::TempFolder m_folder;
};

TEST_P(Lxqt, ShowsTheDrawingAndGivesTheUsersWallpaperBackInItsSavedMode) {
    const std::string mine = pictureIn(m_folder), drawing = pictureIn(m_folder, "drawing.png");
    fs::create_directories(fs::path(settings()).parent_path());
    test::writeFile(settings(), "[Desktop]\nWallpaper=" + mine +
                                    "\nWallpaperMode=" + GetParam().word + "\nBgColor=#102030\n");
    const auto backend = makePcmanfmBackend(DesktopFamily::Lxqt);
    EXPECT_FALSE(backend->show(drawing, WallpaperStyle::Screen)) << "without its desktop";
    m_desktop.start("timeout", {"30", "pcmanfm-qt", "--desktop", "--profile=lxqt"});
    ASSERT_TRUE(eventually([] {
        return QDBusConnection::sessionBus().interface()->isServiceRegistered(
            "org.pcmanfm.PCManFM");
    }));
    EXPECT_EQ(backend->current(), (DesktopWallpaper{mine, GetParam().style, 0x102030}));
    ASSERT_TRUE(backend->show(drawing, WallpaperStyle::Screen));
    ASSERT_TRUE(backend->show(mine, GetParam().style));
    TearDown(); // as the next login finds it
    EXPECT_EQ(test::commandOutput("grep -x 'Wallpaper=.*\\|WallpaperMode=.*' " + settings()),
              "Wallpaper=" + mine + "\nWallpaperMode=" + GetParam().word);
}

INSTANTIATE_TEST_SUITE_P(Modes, Lxqt,
                         ::testing::Values(StyleWord{"zoom", WallpaperStyle::Cover, "2"},
                                           StyleWord{"fit", WallpaperStyle::Fit, "2"},
                                           StyleWord{"none", WallpaperStyle::ColourOnly, "0"}),
                         [](const auto& mode) { return std::string(mode.param.word); });

TEST(Lxde, IsToldTheFileAndModeAndReadsThemBackAsItSavesThem) {
    test::TempFolder folder;
    const std::string config = xdgConfigHome() + "/pcmanfm/LXDE/desktop-items-0.conf";
    fs::create_directories(fs::path(config).parent_path());
    test::RecordingCommands commands(folder, {"pcmanfm"});
    test::writeFile(
        folder.file("bin/pcmanfm"),
        test::readFile(folder.file("bin/pcmanfm")) +
            "printf '[*]\\nwallpaper_mode=%s\\nwallpaper=%s\\n' \"${2#*=}\" \"${1#*=}\" > " +
            config + "\n");
    const auto backend = makePcmanfmBackend(DesktopFamily::Lxde);
    ASSERT_TRUE(backend->show("/a b.png", WallpaperStyle::Span));
    EXPECT_EQ(commands.words(), "--set-wallpaper=/a b.png\n--wallpaper-mode=screen\n");
    EXPECT_EQ(backend->current(), (DesktopWallpaper{"/a b.png", WallpaperStyle::Span, {}}));
}

// ---- sway -----------------------------------------------------------------------------------

class Sway : public ::testing::Test {
protected:
    Sway() { ::setenv("XDG_CURRENT_DESKTOP", "sway", 1); }
    ~Sway() override { ::unsetenv("XDG_CURRENT_DESKTOP"); }

    test::TempFolder m_folder;
    test::SwayStandIns m_sway{m_folder};
    std::string m_mine = pictureIn(m_folder, "my wall.png");
};

TEST_F(Sway, BeforeSwaybgRunsTheConfigurationTellsTheWallpaper) {
    fs::create_directories(xdgConfigHome() + "/sway");
    test::writeFile(xdgConfigHome() + "/sway/config",
                    "# the user's own\nset $pictures " + m_folder.path() +
                        "\noutput * bg \"$pictures/my wall.png\" fit #102030\n"
                        "output HDMI-A-1 {\n    bg ~/other.png center\n}\n");
    SessionDesktop desktop;
    EXPECT_EQ(desktop.chosenWallpaper(), (DesktopWallpaper{m_mine, WallpaperStyle::Fit, 0x102030}));
    EXPECT_EQ(desktop.paintDesktop(QSize(16, 6)).value().pixel(1, 3), qRgb(0x10, 0x20, 0x30))
        << "beside the fitted picture, not black";
}

TEST_F(Sway, SwaybgTellsWhatIsShownAndTheProgramsPictureIsNotTheUsers) {
    SessionDesktop desktop;
    ASSERT_TRUE(desktop.showScreenPicture(QImage(8, 6, QImage::Format_RGB32)));
    EXPECT_FALSE(desktop.chosenWallpaper());
    // The user's own, set later, as sway runs swaybg: every output's, then one output's.
    ASSERT_EQ(
        test::runCommand(m_sway.swaybg("-o '*' -i '" + m_mine + "' -m fill -o HDMI-A-1 -i /o.png"))
            .status,
        0);
    EXPECT_EQ(desktop.chosenWallpaper(), (DesktopWallpaper{m_mine, WallpaperStyle::Cover, {}}));
    EXPECT_EQ(desktop.paintDesktop(QSize(16, 6)).value().pixel(0, 0), QColor(Qt::darkCyan).rgb());

    fs::remove(m_folder.file("bin/swaybg")); // one that cannot show anything
    test::writeFile(m_folder.file("bin/swaybg"), "#!/bin/sh\nexit 1\n");
    fs::permissions(m_folder.file("bin/swaybg"), fs::perms::owner_all);
    EXPECT_FALSE(makeSwayBackend()->show(m_mine, WallpaperStyle::Center));
    EXPECT_EQ(m_sway.words(), "output\n*\nbg\n\"" + m_mine + "\"\ncenter\n");
}

// ---- the pictures a desktop is shown -------------------------------------------------------

TEST_F(Sway, EachPictureHasANewNameAndOnlyTheShownOneStays) {
    ::setenv("XDG_SESSION_ID", "first", 1);
    SessionDesktop desktop;
    ASSERT_EQ(desktop.kind(), SessionDesktop::Kind::Desktop);
    const std::string drawn = pictureIn(m_folder, "drawn.bmp");
    std::vector<std::string> shown;
    for (int run = 0; run < 2; ++run) {
        ASSERT_TRUE(desktop.showScreenPicture(QImage(QString::fromStdString(drawn))));
        const std::string words = m_sway.words();
        shown.push_back(words.substr(words.find('"') + 1));
        shown.back().erase(shown.back().find('"'));
    }
    EXPECT_NE(shown[0], shown[1]);
    EXPECT_TRUE(SessionDesktop::isProgramPicture(shown[1]));
    EXPECT_TRUE(SessionDesktop::isProgramPicture(appCacheFolder() + "/.//" +
                                                 fs::path(shown[1]).filename().string()));
    EXPECT_FALSE(fs::exists(shown[0]));
    EXPECT_EQ(std::distance(fs::directory_iterator(appCacheFolder()), fs::directory_iterator()), 1);
    EXPECT_FALSE(desktop.chosenWallpaper()) << "swaybg shows the program's picture";
    EXPECT_TRUE(desktop.paintDesktop(QSize(8, 6))) << "this session's picture";

    ::setenv("XDG_SESSION_ID", "second", 1); // a new login session starts clean
    EXPECT_FALSE(desktop.paintDesktop(QSize(8, 6)));
    ::unsetenv("XDG_SESSION_ID");
}

} // namespace
} // namespace zbpg::platform

// The built program in login sessions of their own: each run gets an X server of its own
// (xvfb-run), so that the next run really is a new session. GNOME's settings live in a key file
// of the test's home (GSETTINGS_BACKEND=keyfile), changed with gsettings as a user would.
#include "platform/os/XdgPaths.h"
#include "platform/store/Registry.h"
#include "support/Commands.h"
#include "support/ParamNames.h"
#include "support/SilentSocket.h"

#include <QImage>
#include <filesystem>
#include <gtest/gtest.h>

namespace zbpg {
namespace {

namespace fs = std::filesystem;

const QRgb kFrame = qRgb(255, 0, 0);

// Red frames, 640 * 480 and 1600 * 1200 unless told otherwise, and no system information.
std::string framesOnly(const std::string& frameLines = "") {
    return "[MonitorFrame]\r\nMFSZ2=0\r\nMFSZ3=0\r\nMFSZ4=0\r\nMFSZ5=0\r\nMFColor=255\r\n" +
           frameLines + "[SystemInfo]\r\nSIUserDraw=0\r\nSICompDraw=0\r\nSIIPAddrDraw=0\r\n";
}

class LoginSession : public ::testing::Test {
protected:
    void SetUp() override {
        const char* built = std::getenv("ZBPG_PROGRAM");
        ASSERT_NE(built, nullptr) << "ZBPG_PROGRAM names the built program";
        fs::copy_file(built, m_folder.file("ZorbelPaneglyph"));
        ::unsetenv("QT_QPA_PLATFORM"); // the program sees the X server as in a user's session
    }
    void TearDown() override { ::setenv("QT_QPA_PLATFORM", "offscreen", 1); }

    // One login session on a new X server of the size given, with a session bus of its own:
    // the commands of the session's start, the logon run, then the commands given for after it.
    void logOn(const std::string& screen, const std::string& settings,
               const std::string& sessionStart = "true", int status = 0,
               const std::string& afterRun = "true") {
        test::writeFile(m_folder.file("ZorbelPaneglyph.ini"), settings);
        test::writeFile(m_folder.file("session.sh"),
                        sessionStart + " && ./ZorbelPaneglyph -OnlyDraw && " + afterRun + "\n");
        const std::string command = "cd '" + m_folder.path() +
                                    "' && xvfb-run -a -s '-noreset -screen 0 " + screen +
                                    "' dbus-run-session sh session.sh";
        const auto run = test::runCommand(command, 60);
        m_output = run.output;
        ASSERT_EQ(run.status, status) << command << "\n" << run.output;
    }
    std::string picture(QRgb colour, const std::string& name) const {
        QImage image(1024, 768, QImage::Format_RGB32);
        image.fill(colour);
        const std::string path = m_folder.file(name);
        EXPECT_TRUE(image.save(QString::fromStdString(path)));
        return path;
    }

    test::TempFolder m_folder;
    std::string m_output; // of the last session
};

// The picture GNOME is told to show, light and dark alike.
QImage gnomePicture() {
    const std::string light =
        test::commandOutput("gsettings get org.gnome.desktop.background picture-uri");
    EXPECT_EQ(test::commandOutput("gsettings get org.gnome.desktop.background picture-uri-dark"),
              light);
    const std::string prefix = "'file://";
    return QImage(
        QString::fromStdString(light.substr(prefix.size(), light.size() - prefix.size() - 1)));
}

void chooseInGnome(const std::string& file) {
    ASSERT_EQ(
        test::runCommand("gsettings set org.gnome.desktop.background picture-uri 'file://" + file +
                         "' && gsettings set org.gnome.desktop.background picture-options zoom")
            .status,
        0);
}

TEST_F(LoginSession, GnomeShowsTheDrawingOnTheUsersWallpaperAndEachSessionStartsClean) {
    ::setenv("XDG_CURRENT_DESKTOP", "GNOME", 1);
    const QRgb first = qRgb(40, 60, 90), second = qRgb(10, 120, 30);
    const std::string users = picture(first, "users.png");
    chooseInGnome(users);

    logOn("1024x768x24", framesOnly()); // the 640 * 480 frame at the top left
    QImage shown = gnomePicture();
    ASSERT_EQ(shown.size(), QSize(1024, 768));
    EXPECT_EQ(shown.pixel(0, 100), kFrame);
    EXPECT_EQ(shown.pixel(700, 500), first);
    const auto recorded =
        platform::Registry::currentUser().readValue("Control Panel\\Desktop", "Wallpaper");
    ASSERT_TRUE(recorded);
    EXPECT_EQ(recorded->text, users) << "the user's own wallpaper is kept";

    logOn("1024x768x24", framesOnly("MFPositionLT=0\r\nMFPositionRB=1\r\n"));
    shown = gnomePicture();
    EXPECT_EQ(shown.pixel(1022, 500), kFrame) << "the new drawing";
    EXPECT_EQ(shown.pixel(0, 100), first) << "without the last session's";
    EXPECT_EQ(
        std::distance(fs::directory_iterator(platform::appCacheFolder()), fs::directory_iterator()),
        1);

    chooseInGnome(picture(second, "another.png"));
    logOn("1024x768x24", framesOnly());
    shown = gnomePicture();
    EXPECT_EQ(shown.pixel(0, 100), kFrame);
    EXPECT_EQ(shown.pixel(700, 500), second) << "drawn on the wallpaper chosen since";
    ::unsetenv("XDG_CURRENT_DESKTOP");
}

// LXQt's desktop manager, started as LXQt does, with "none" saved (as after a change from its
// command line) shows its colour alone at login: the logon run must show its drawing there.
TEST_F(LoginSession, LxqtShowsTheDrawingAtLoginOnTheColourItShows) {
    const std::string profile = platform::xdgConfigHome() + "/pcmanfm-qt/lxqt";
    fs::create_directories(profile);
    test::writeFile(profile + "/settings.conf", "[Desktop]\nWallpaperMode=none\nWallpaper=" +
                                                    picture(qRgb(40, 60, 90), "users.png") +
                                                    "\nBgColor=#000000\n");
    logOn("1024x768x24", framesOnly(),
          "export XDG_CURRENT_DESKTOP=LXQt\n"
          "timeout 30 pcmanfm-qt --desktop --profile=lxqt >/dev/null 2>&1 &\n"
          "for i in $(seq 100); do dbus-send --session --print-reply --dest=org.freedesktop.DBus "
          "/org/freedesktop/DBus org.freedesktop.DBus.NameHasOwner string:org.pcmanfm.PCManFM "
          "| grep -q true && break; sleep 0.1; done",
          0, "\"$ZBPG_SCREEN_GRAB\" shown.png 0 100 ff0000 10 && pcmanfm-qt --quit && wait");
    const QImage shown(QString::fromStdString(m_folder.file("shown.png")));
    EXPECT_EQ(shown.pixel(0, 100), kFrame);
    EXPECT_EQ(shown.pixel(700, 500), qRgb(0, 0, 0)) << "drawn on the colour, not the picture";
}

TEST_F(LoginSession, OnWaylandXwaylandsRootWindowShowsNothingAndTheRunSaysSo) {
    // Without Qt's windows, so that the failed run ends rather than showing the settings.
    logOn("1024x768x24", framesOnly(), "export XDG_SESSION_TYPE=wayland QT_QPA_PLATFORM=offscreen",
          1);
}

// A session bus that never answers, also for GNOME's settings through dconf; pcmanfm-qt would
// wait on it for good. Each desktop told over the bus is passed over within seconds, and the run
// shows its picture the next way, on the X root window, and says so.
class SilentBusSession : public LoginSession, public ::testing::WithParamInterface<const char*> {};

TEST_P(SilentBusSession, TheRunShowsItsPictureTheNextWayWithinSeconds) {
    const test::SilentSocket bus(m_folder.file("bus"));
    test::writeFile(m_folder.file("pcmanfm-qt"), "#!/bin/sh\nexec sleep 120\n");
    fs::permissions(m_folder.file("pcmanfm-qt"), fs::perms::owner_all);
    logOn("1024x768x24", framesOnly(),
          "export PATH=$PWD:$PATH XDG_CURRENT_DESKTOP=" + std::string(GetParam()) +
              " DBUS_SESSION_BUS_ADDRESS=unix:path=" + bus.path() +
              "; unset GSETTINGS_BACKEND; exec 2>&1");
    EXPECT_NE(m_output.find("の壁紙設定を使えません。壁紙は X のルートウィンドウ で表示します。"),
              std::string::npos)
        << m_output;
    EXPECT_TRUE(fs::exists(platform::appCacheFolder() + "/desktop.png"));
}

INSTANTIATE_TEST_SUITE_P(Desktops, SilentBusSession,
                         ::testing::Values("GNOME", "KDE", "XFCE", "MATE", "X-Cinnamon", "LXQt"),
                         [](const auto& desktop) { return test::nameOf(desktop.param); });

// sway on a headless output, Qt on Wayland without X; each login starts sway anew under the same
// display name and without a session id. sway refuses root: the session is nobody's then, with
// its home in run, and its settings are the machine's (in xdg), as nobody cannot write the
// program's folder.
constexpr const char* kSwayLogin =
    R"sh(cd "$(dirname "$0")" && unset DISPLAY XDG_SESSION_ID || exit 1
[ "$(id -u)" = 0 ] && chown -R nobody run && as="setpriv --reuid=65534 --regid=65534 --clear-groups"
session="env -i PATH=$PATH HOME=$PWD/run XDG_RUNTIME_DIR=$PWD/run XDG_CONFIG_DIRS=$PWD/xdg"
# A sanitized build's settings go along.
session="$session ${ASAN_OPTIONS:+ASAN_OPTIONS=$ASAN_OPTIONS}"
session="$session ${LSAN_OPTIONS:+LSAN_OPTIONS=$LSAN_OPTIONS}"
session="$session ${UBSAN_OPTIONS:+UBSAN_OPTIONS=$UBSAN_OPTIONS}"
$as $session WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    sway -c run/config > sway.log 2>&1 & sway=$!
for i in $(seq 100); do ls run/*.sock > /dev/null 2>&1 && break; sleep 0.1; done
$as $session WAYLAND_DISPLAY=$(echo "$PWD"/run/wayland-?) SWAYSOCK=$(echo "$PWD"/run/*.sock) \
    XDG_CURRENT_DESKTOP=sway XDG_SESSION_TYPE=wayland ./ZorbelPaneglyph -OnlyDraw
status=$? && kill $sway && wait $sway
exit $status)sh";

TEST_F(LoginSession, OnSwayQtDrawsOnWaylandAtTheOutputsSizeAndEachLoginStartsClean) {
    test::writeFile(m_folder.file("login.sh"), kSwayLogin);
    fs::create_directories(m_folder.file("run"));
    test::writeFile(m_folder.file("run/config"), "output * resolution 1024x768\n");
    fs::permissions(m_folder.path(), fs::perms::others_exec, fs::perm_options::add);
    fs::create_directories(m_folder.file("xdg/ZorbelPaneglyph"));
    for (const std::string frames : {"", "MFPositionLT=0\r\nMFPositionRB=1\r\n"}) {
        test::writeFile(m_folder.file("xdg/ZorbelPaneglyph/ZorbelPaneglyph.ini"),
                        framesOnly(frames));
        const auto run = test::runCommand("sh '" + m_folder.file("login.sh") + "' 2>&1", 60);
        ASSERT_EQ(run.status, 0) << run.output << test::readFile(m_folder.file("sway.log"));
    }
    // The one picture kept for sway, the one it was told last: the second login's own.
    const QImage shown(QString::fromStdString(
        fs::directory_iterator(m_folder.file("run/.cache/ZorbelPaneglyph"))->path().string()));
    ASSERT_EQ(shown.size(), QSize(1024, 768));
    EXPECT_EQ(shown.pixel(1022, 500), kFrame) << "the new drawing";
    EXPECT_NE(shown.pixel(0, 100), kFrame) << "without the last login's";
}

// A 3840x2160 screen scaled to 200%, by the X resources every toolkit reads or by Qt's own
// factor: the drawing covers the screen's own pixels, and its text is twice the size, as the
// desktop's own texts are.
class HighDensityScreen : public LoginSession, public ::testing::WithParamInterface<const char*> {};

TEST_P(HighDensityScreen, TheDrawingCoversTheScreensOwnPixels) {
    logOn("3840x2160x24", framesOnly("MFSZ1=0\r\n"), GetParam()); // only 1600 * 1200
    const QImage shown(QString::fromStdString(platform::appCacheFolder() + "/desktop.png"));
    ASSERT_EQ(shown.size(), QSize(3840, 2160));
    for (const QPoint p : {QPoint(0, 600), QPoint(1598, 600), QPoint(800, 0), QPoint(800, 1198)})
        EXPECT_EQ(shown.pixel(p), kFrame) << p.x() << "," << p.y();
    EXPECT_NE(shown.pixel(1599, 600), kFrame);
    // The label's rows, just inside the frame's top edge at its right end.
    int rows = 0;
    for (int y = 1; y < 60; ++y)
        for (int x = 1300; x < 1590; ++x)
            if (shown.pixel(x, y) != shown.pixel(1500, 700)) {
                ++rows;
                break;
            }
    EXPECT_GE(rows, 16) << "an 11-pixel label at twice the density";
    EXPECT_LT(rows, 30);
}

INSTANTIATE_TEST_SUITE_P(Scalings, HighDensityScreen,
                         ::testing::Values("echo Xft.dpi: 192 | xrdb -nocpp -merge",
                                           "export QT_SCALE_FACTOR=2"),
                         [](const auto& scaling) {
                             return std::string(scaling.param).starts_with("echo")
                                        ? "XResources"
                                        : "QtScaleFactor";
                         });

} // namespace
} // namespace zbpg

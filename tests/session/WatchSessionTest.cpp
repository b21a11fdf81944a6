// The built program's "-Watch" in login sessions of its own: an X server and a session bus per
// session, started here so that each can be ended on its own. The host name and the address
// change inside namespaces of the test's own (unshare), which needs root: without it those
// tests are skipped.
#include "support/Commands.h"
#include "support/ParamNames.h"

#include <QImage>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace zbpg {
namespace {

namespace fs = std::filesystem;

// What every session script starts with: its X server and session bus, and the watch.
constexpr const char* kSessionScript = R"sh(cd "$(dirname "$0")" || exit 1
unset XAUTHORITY WAYLAND_DISPLAY XDG_SESSION_TYPE XDG_CURRENT_DESKTOP XDG_SESSION_DESKTOP
picture="$XDG_CACHE_HOME/ZorbelPaneglyph/desktop.png"
# Whatever is left running when the script ends, also after a failed step, ends with it.
watch= bus= xvfb=
trap 'kill $watch $bus $xvfb 2>/dev/null' EXIT
start_session() { # the screen, as Xvfb takes it
    rm -f display bus
    Xvfb -displayfd 5 -ac -noreset -nolisten tcp -screen 0 "$1" 5>display >/dev/null 2>&1 &
    xvfb=$!
    for i in $(seq 100); do [ -s display ] && break; sleep 0.1; done
    export DISPLAY=:$(cat display)
    dbus-daemon --session --nofork --address=unix:path=$PWD/bus >/dev/null 2>&1 & bus=$!
    for i in $(seq 100); do [ -S bus ] && break; sleep 0.1; done
    export DBUS_SESSION_BUS_ADDRESS=unix:path=$PWD/bus
}
end_session() { kill $bus $xvfb 2>/dev/null; wait $bus $xvfb 2>/dev/null; }
told() { grep -c "$1" log; }
wait_for() { # the text, and how often the log is to hold it
    for i in $(seq 150); do [ "$(told "$1")" -ge "${2:-1}" ] && return 0; sleep 0.1; done
    return 1
}
start_watch() { ./ZorbelPaneglyph -Watch >/dev/null 2>>log & watch=$!; wait_for 見張って; }
cpu_ticks() { awk '{print $14 + $15}' /proc/$watch/stat; }
)sh";

constexpr const char* kRedrawn = "が変わったので描き直しました。";

std::string countOf(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return std::to_string(count);
}

class WatchSession : public ::testing::Test {
protected:
    void SetUp() override {
        const char* built = std::getenv("ZBPG_PROGRAM");
        ASSERT_NE(built, nullptr) << "ZBPG_PROGRAM names the built program";
        fs::copy_file(built, m_folder.file("ZorbelPaneglyph"));
        ::unsetenv("QT_QPA_PLATFORM"); // the program sees the X server as in a user's session
    }
    void TearDown() override { ::setenv("QT_QPA_PLATFORM", "offscreen", 1); }

    // Runs the session script with the lines given, inside the namespaces named (unshare's
    // options), and returns how it ended; the watch's standard error is in log.
    int runSession(const std::string& settings, const std::string& lines,
                   const std::string& namespaces = "") {
        test::writeFile(m_folder.file("ZorbelPaneglyph.ini"), settings);
        test::writeFile(m_folder.file("session.sh"), std::string(kSessionScript) + lines);
        const std::string command = (namespaces.empty() ? "" : "unshare " + namespaces + " ") +
                                    "sh '" + m_folder.file("session.sh") + "' 2>&1";
        const auto run = test::runCommand(command, 90);
        m_output = run.output + test::readFile(m_folder.file("log"));
        return run.status;
    }
    static bool namespacesWork(const std::string& namespaces) {
        return test::runCommand("unshare " + namespaces + " true 2>/dev/null").status == 0;
    }

    test::TempFolder m_folder;
    std::string m_output;
};

// The settings of the drawings: one line or the frames, in red where the frames are.
const std::string kOnlyTheComputerName = "[MonitorFrame]\r\nMonitorFrameDraw=0\r\n[SystemInfo]\r\n"
                                         "SIUserDraw=0\r\nSIIPAddrDraw=0\r\nSICompLeft=20\r\n";
const std::string kOnlyTheAddress = "[MonitorFrame]\r\nMonitorFrameDraw=0\r\n[SystemInfo]\r\n"
                                    "SIUserDraw=0\r\nSICompDraw=0\r\nSIIPAddrLeft=20\r\n";
const std::string kFramesAtTheBottomRight =
    "[MonitorFrame]\r\nMFSZ2=0\r\nMFSZ3=0\r\nMFSZ4=0\r\nMFSZ5=0\r\nMFColor=255\r\n"
    "MFPositionLT=0\r\nMFPositionRB=1\r\n[SystemInfo]\r\nSIUserDraw=0\r\nSICompDraw=0\r\n"
    "SIIPAddrDraw=0\r\n";

// The address rule takes a resolved host name first: "localhost" resolves to loopback, which it
// passes over for the veth interface.
constexpr const char* kVeth = "hostname localhost && ip link add zbpg0 type veth peer name zbpg1 "
                              "&& ip link set zbpg0 up && ip addr add 10.11.12.13/24 dev zbpg0\n";

struct DrawnChange {
    const char* name;
    const char* namespaces; // what unshare makes the session's own; empty for none
    std::string settings;
    std::string before; // commands before the session starts
    std::string change; // while the watch runs
    std::string after;  // the same change, for the reference session
    const char* told;   // the name the log gives the change
    const char* referenceScreen;
};

void PrintTo(const DrawnChange& change, std::ostream* out) {
    *out << change.name;
}

class WatchedChange : public WatchSession, public ::testing::WithParamInterface<DrawnChange> {};

// The watch redraws once, within seconds, and its picture is the one a logon run in a new session
// draws with the new value: one layer of drawing, nothing of the old one left.
TEST_P(WatchedChange, RedrawsOnceAsANewSessionWouldDraw) {
    const DrawnChange& change = GetParam();
    if (*change.namespaces && !namespacesWork(change.namespaces))
        GTEST_SKIP() << "unshare " << change.namespaces << " needs root (or CAP_SYS_ADMIN)";
    const int status = runSession(change.settings,
                                  change.before +
                                      "start_session 1024x768x24\n"
                                      "start_watch || exit 10\n" +
                                      change.change +
                                      "\nwait_for 描き直しました || exit 11\n"
                                      "sleep 4 # the check the watch's own redraw causes\n"
                                      "cp \"$picture\" redrawn.png && kill $watch && wait $watch\n"
                                      "end_session\n" +
                                      change.after + "\nstart_session " + change.referenceScreen +
                                      "\n./ZorbelPaneglyph -OnlyDraw && cp \"$picture\" "
                                      "reference.png\nend_session\n",
                                  change.namespaces);
    ASSERT_EQ(status, 0) << "10: the watch did not start, 11: no redraw\n" << m_output;
    EXPECT_EQ(countOf(m_output, kRedrawn), "1") << m_output;
    EXPECT_NE(m_output.find(std::string(change.told) + " " + kRedrawn), std::string::npos)
        << m_output;
    const QImage redrawn(QString::fromStdString(m_folder.file("redrawn.png")));
    const QImage reference(QString::fromStdString(m_folder.file("reference.png")));
    ASSERT_FALSE(reference.isNull());
    EXPECT_EQ(redrawn.size(), reference.size());
    EXPECT_TRUE(redrawn == reference) << "the redrawn picture differs from a new session's";
}

INSTANTIATE_TEST_SUITE_P(
    Changes, WatchedChange,
    ::testing::Values(
        DrawnChange{"HostName", "--uts", kOnlyTheComputerName, "hostname zbpg-before\n",
                    "hostname zbpg-after", "hostname zbpg-after", "コンピュータ名", "1024x768x24"},
        DrawnChange{"Address", "--net --uts", kOnlyTheAddress, kVeth,
                    "ip addr del 10.11.12.13/24 dev zbpg0 && "
                    "ip addr add 10.11.12.14/24 dev zbpg0",
                    "", "IP アドレス", "1024x768x24"},
        DrawnChange{"ScreenSize", "", kFramesAtTheBottomRight, "",
                    "xrandr --newmode 800x600 0 800 0 0 0 600 0 0 0 && "
                    "xrandr --addmode screen 800x600 && xrandr --output screen --mode 800x600",
                    "", "画面", "800x600x24"}),
    [](const auto& change) { return std::string(change.param.name); });

struct WallpaperChoice {
    const char* name;
    std::string before; // the session's desktop, and the user's wallpaper before
    std::string choose; // the user's new wallpaper, in the colour 2a5c3a
    std::string shown;  // prints the picture the desktop shows afterwards
};

void PrintTo(const WallpaperChoice& choice, std::ostream* out) {
    *out << choice.name;
}

class ChosenWallpaper : public WatchSession,
                        public ::testing::WithParamInterface<WallpaperChoice> {};

// A wallpaper the user chooses with the desktop's own tools becomes the clean wallpaper, and the
// drawing is redrawn on it.
TEST_P(ChosenWallpaper, IsAdoptedAndDrawnOn) {
    for (const auto& [name, colour] : {std::pair{"first.png", QColor(Qt::darkBlue)},
                                       std::pair{"chosen.png", QColor(0x2a, 0x5c, 0x3a)}}) {
        QImage picture(1024, 768, QImage::Format_RGB32);
        picture.fill(colour);
        ASSERT_TRUE(picture.save(QString::fromStdString(m_folder.file(name))));
    }
    const int status = runSession(
        kOnlyTheComputerName,
        GetParam().before + "\nstart_session 1024x768x24\nstart_watch || exit 10\n" +
            GetParam().choose + "\nwait_for 描き直しました || exit 11\nsleep 4\n" +
            GetParam().shown + " > shown.txt\nkill $watch && wait $watch\nend_session\n");
    ASSERT_EQ(status, 0) << "10: the watch did not start, 11: no redraw\n" << m_output;
    EXPECT_EQ(countOf(m_output, kRedrawn), "1") << m_output;
    EXPECT_NE(m_output.find(std::string("壁紙 ") + kRedrawn), std::string::npos) << m_output;
    std::string shown = test::readFile(m_folder.file("shown.txt"));
    shown = shown.substr(0, shown.find_last_not_of("'\n") + 1);
    shown = shown.substr(shown.find('/'));
    const QImage picture(QString::fromStdString(shown));
    ASSERT_FALSE(picture.isNull()) << shown;
    EXPECT_EQ(picture.pixel(700, 500), qRgb(0x2a, 0x5c, 0x3a)) << "drawn on the chosen wallpaper";
}

INSTANTIATE_TEST_SUITE_P(
    Desktops, ChosenWallpaper,
    ::testing::Values(WallpaperChoice{"Gnome",
                                      "export XDG_CURRENT_DESKTOP=GNOME GSETTINGS_BACKEND=keyfile\n"
                                      "gsettings set org.gnome.desktop.background picture-uri "
                                      "\"'file://$PWD/first.png'\"",
                                      "gsettings set org.gnome.desktop.background picture-uri "
                                      "\"'file://$PWD/chosen.png'\"",
                                      "gsettings get org.gnome.desktop.background picture-uri"},
                      WallpaperChoice{"BareX", "", "hsetroot -full chosen.png",
                                      "echo \"$picture\""}),
    [](const auto& choice) { return std::string(choice.param.name); });

// Changes to what is not drawn make no redraw, and while nothing changes the watch takes no
// processor time and holds little memory. 20 seconds: a timer of a second or more would show.
TEST_F(WatchSession, NothingDrawnChangedNoRedrawAndNoProcessorTimeWhileIdle) {
    const bool root = namespacesWork("--net --uts");
    const int status = runSession(
        kOnlyTheAddress,
        std::string(root ? kVeth : "") + "start_session 1024x768x24\nstart_watch || exit 10\n" +
            (root ? "hostname localhost && ip addr add 192.0.2.1/32 dev lo\n" : "") +
            "xprop -root -f _ZBPG_UNWATCHED 8s -set _ZBPG_UNWATCHED x\nsleep 4\n"
            "before=$(cpu_ticks); sleep 20; echo \"ticks $before $(cpu_ticks)\"\n"
            "grep VmRSS /proc/$watch/status\nkill $watch && wait $watch\nend_session\n",
        root ? "--net --uts" : "");
    ASSERT_EQ(status, 0) << m_output;
    EXPECT_EQ(countOf(m_output, kRedrawn), "0") << m_output;
    std::istringstream figures(m_output.substr(m_output.find("ticks ")));
    std::string word, rss;
    long before = -1, after = -1, kilobytes = -1;
    figures >> word >> before >> after >> rss >> kilobytes;
    std::cout << "idle 20 s: " << after - before << " clock ticks, " << kilobytes
              << " kB resident\n";
    EXPECT_GE(before, 0) << m_output;
    EXPECT_LE(after - before, 1) << "processor time in clock ticks while nothing changed";
    EXPECT_GT(kilobytes, 0) << m_output;
    EXPECT_LT(kilobytes, 30 * 1024) << "resident while waiting";
    if (!root)
        std::cout << "the host name and the address were not changed: that needs root\n";
}

struct SessionEnd {
    const char* name;
    const char* end;
};

void PrintTo(const SessionEnd& end, std::ostream* out) {
    *out << end.name;
}

class EndedSession : public WatchSession, public ::testing::WithParamInterface<SessionEnd> {};

// The watch ends within seconds with its session, leaving no file behind; meanwhile a second
// copy in the same session ends at once and says why.
TEST_P(EndedSession, EndsTheWatchWithNothingLeft) {
    const int status = runSession(
        kOnlyTheComputerName,
        std::string("start_session 1024x768x24\nstart_watch || exit 10\n"
                    "./ZorbelPaneglyph -Watch 2>second.log; echo $? > second.status\n") +
            GetParam().end +
            "\nfor i in $(seq 50); do kill -0 $watch 2>/dev/null || break; sleep 0.1; done\n"
            "kill -0 $watch 2>/dev/null && exit 12\n"
            "ls \"$XDG_RUNTIME_DIR\" > runtime.txt\nend_session\n");
    ASSERT_EQ(status, 0) << "10: the watch did not start, 12: it outlived its session\n"
                         << m_output;
    EXPECT_EQ(test::readFile(m_folder.file("second.status")), "1\n");
    EXPECT_NE(test::readFile(m_folder.file("second.log"))
                  .find("このログインセッションでは -Watch がすでに動いています。"),
              std::string::npos);
    EXPECT_EQ(test::readFile(m_folder.file("runtime.txt")).find("ZorbelPaneglyph"),
              std::string::npos)
        << "the lock file is gone";
    EXPECT_FALSE(fs::exists(m_folder.file("ZorbelPaneglyphTmp.bmp")));
}

INSTANTIATE_TEST_SUITE_P(Ends, EndedSession,
                         ::testing::Values(SessionEnd{"AskedToEnd", "kill -TERM $watch"},
                                           SessionEnd{"DisplayGone", "kill $xvfb"},
                                           SessionEnd{"BusGone", "kill $bus"}),
                         [](const auto& end) { return std::string(end.param.name); });

} // namespace
} // namespace zbpg

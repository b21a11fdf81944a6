// "-Watch" in sessions of its own; host name and address changes need root (unshare).
#include "support/Commands.h"

#include <QImage>
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace zbpg {
namespace {

// Every session script starts so; whatever it started ends with it, also after a failed step.
constexpr const char* kSessionScript = R"sh(cd "$(dirname "$0")" || exit 1
unset XAUTHORITY WAYLAND_DISPLAY XDG_SESSION_TYPE XDG_CURRENT_DESKTOP XDG_SESSION_DESKTOP
picture="$XDG_CACHE_HOME/ZorbelPaneglyph/desktop.png" watch= bus= xvfb=
trap 'kill $watch $bus $xvfb 2>/dev/null' EXIT
start_session() {
    rm -f display bus
    Xvfb -displayfd 5 -ac -noreset -nolisten tcp -screen 0 1024x768x24 5>display >/dev/null 2>&1 &
    xvfb=$!
    for i in $(seq 100); do [ -s display ] && break; sleep 0.1; done
    export DISPLAY=:$(cat display) DBUS_SESSION_BUS_ADDRESS=unix:path=$PWD/bus
    dbus-daemon --session --nofork --address=$DBUS_SESSION_BUS_ADDRESS >/dev/null 2>&1 & bus=$!
    for i in $(seq 100); do [ -S bus ] && break; sleep 0.1; done
}
end_session() { kill $bus $xvfb; wait $bus $xvfb 2>/dev/null; }
wait_for() { for i in $(seq 150); do grep -q "$1" log && return 0; sleep 0.1; done; return 1; }
start_watch() { ./ZorbelPaneglyph -Watch >/dev/null 2>>log & watch=$!; wait_for 見張って; }
)sh";

class WatchSession : public ::testing::Test {
protected:
    void SetUp() override {
        const char* built = std::getenv("ZBPG_PROGRAM");
        ASSERT_NE(built, nullptr) << "ZBPG_PROGRAM names the built program";
        std::filesystem::copy_file(built, m_folder.file("ZorbelPaneglyph"));
        ::unsetenv("QT_QPA_PLATFORM"); // as in a user's session; the test environment puts it back
    }

    // The script's status; its output and the watch's standard error are in m_output.
    int runSession(const std::string& settings, const std::string& lines,
                   const std::string& namespaces = "") {
        test::writeFile(m_folder.file("ZorbelPaneglyph.ini"), settings);
        test::writeFile(m_folder.file("session.sh"), kSessionScript + lines);
        const auto run = test::runCommand(
            "unshare " + namespaces + " sh '" + m_folder.file("session.sh") + "' 2>&1", 90);
        m_output = run.output + test::readFile(m_folder.file("log"));
        return run.status;
    }
    static bool namespacesWork(const std::string& namespaces) {
        return test::runCommand("unshare " + namespaces + " true 2>/dev/null").status == 0;
    }

    test::TempFolder m_folder;
    std::string m_output;
};

#ifdef ZBPG_SANITIZED
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

const std::string kOnlyTheComputerName = "[MonitorFrame]\r\nMonitorFrameDraw=0\r\n[SystemInfo]\r\n"
                                         "SIUserDraw=0\r\nSIIPAddrDraw=0\r\nSICompLeft=20\r\n";
const std::string kOnlyTheAddress = "[MonitorFrame]\r\nMonitorFrameDraw=0\r\n[SystemInfo]\r\n"
                                    "SIUserDraw=0\r\nSICompDraw=0\r\nSIIPAddrLeft=20\r\n";
// "localhost" resolves to loopback, which the address rule passes over for the veth interface.
constexpr const char* kVeth = "hostname localhost && ip link add zbpg0 type veth peer name zbpg1 "
                              "&& ip link set zbpg0 up && ip addr add 10.11.12.13/24 dev zbpg0\n";
const std::string kGnome = "export XDG_CURRENT_DESKTOP=GNOME GSETTINGS_BACKEND=keyfile\n"
                           "gsettings set org.gnome.desktop.background picture-uri ";
const std::string kDesktopPng = "echo \"$picture\"";

struct DrawnChange {
    const char* name;
    const char* namespaces; // what unshare makes the session's own
    std::string settings;
    std::string before;    // before the sessions start
    std::string change;    // while the watch runs; it stays for the reference session
    const char* told;      // the name the watch gives the change
    bool madeAgain;        // in the reference session too: it lives in the X server
    std::string shownFile; // prints the picture the desktop shows
};

class WatchedChange : public WatchSession, public ::testing::WithParamInterface<DrawnChange> {};

// The watch redraws once, and its picture is the one a logon run of a new session draws after
// the change: one layer of drawing, nothing of the old one left.
TEST_P(WatchedChange, RedrawsOnceAsANewSessionWouldDraw) {
    const DrawnChange& change = GetParam();
    if (*change.namespaces && !namespacesWork(change.namespaces))
        GTEST_SKIP() << "unshare " << change.namespaces << " needs root (or CAP_SYS_ADMIN)";
    for (const auto& [name, colour] :
         {std::pair{"first.png", 0x102a5c}, {"chosen.png", 0x2a5c3a}}) {
        QImage wallpaper(1024, 768, QImage::Format_RGB32);
        wallpaper.fill(QColor::fromRgb(static_cast<QRgb>(colour)));
        ASSERT_TRUE(wallpaper.save(QString::fromStdString(m_folder.file(name))));
    }
    const std::string copyShown = "cp \"$(" + change.shownFile + ")\" ";
    const int status = runSession(
        change.settings,
        change.before + "start_session\nstart_watch || exit 10\n" + change.change +
            "\nwait_for 描き直しました || exit 11\nsleep 4 # the check of the watch's own redraw\n"
            "[ $(grep -c 描き直しました log) = 1 ] && grep -q '" +
            change.told + " が変わったので' log || exit 12\n" + copyShown +
            "redrawn.png && kill $watch && wait $watch\nend_session\nstart_session\n" +
            (change.madeAgain ? change.change : "") + "\n./ZorbelPaneglyph -OnlyDraw && " +
            copyShown + "reference.png\nend_session\n",
        change.namespaces);
    ASSERT_EQ(status, 0) << "10: the watch did not start, 11: no redraw, 12: not once as told\n"
                         << m_output;
    const QImage reference(QString::fromStdString(m_folder.file("reference.png")));
    ASSERT_FALSE(reference.isNull());
    EXPECT_TRUE(QImage(QString::fromStdString(m_folder.file("redrawn.png"))) == reference)
        << "the redrawn picture differs from a new session's";
}

INSTANTIATE_TEST_SUITE_P(
    Changes, WatchedChange,
    ::testing::Values(
        DrawnChange{"HostName", "--uts", kOnlyTheComputerName, "hostname zbpg-before\n",
                    "hostname zbpg-after", "コンピュータ名", false, kDesktopPng},
        DrawnChange{"Address", "--net --uts", kOnlyTheAddress, kVeth,
                    "ip addr del 10.11.12.13/24 dev zbpg0 && ip addr add 10.11.12.14/24 dev zbpg0",
                    "IP アドレス", false, kDesktopPng},
        DrawnChange{"ScreenSize", "",
                    "[MonitorFrame]\r\nMFPositionLT=0\r\nMFPositionRB=1\r\n[SystemInfo]\r\n"
                    "SIUserDraw=0\r\nSICompDraw=0\r\nSIIPAddrDraw=0\r\n",
                    "",
                    "xrandr --newmode 800x600 0 800 0 0 0 600 0 0 0 && "
                    "xrandr --addmode screen 800x600 && xrandr --output screen --mode 800x600",
                    "画面", true, kDesktopPng},
        // A wallpaper chosen with the desktop's own tools is the clean wallpaper from then on.
        DrawnChange{
            "GnomeWallpaper", "", kOnlyTheComputerName, kGnome + "\"'file://$PWD/first.png'\"\n",
            kGnome + "\"'file://$PWD/chosen.png'\"", "壁紙", false,
            "gsettings get org.gnome.desktop.background picture-uri | cut -c9- | tr -d \\'"},
        DrawnChange{"RootWindowWallpaper", "", kOnlyTheComputerName, "",
                    "hsetroot -full chosen.png", "壁紙", false, kDesktopPng}),
    [](const auto& change) { return std::string(change.param.name); });

// Changes to what is not drawn redraw nothing, and while nothing changes nothing wakes the watch
// and it holds little memory. Over 20 seconds a timer of a second or more would wake it twenty
// times; a few wakes are allowed for what ends once (a library's idle worker thread). Processor
// time is counted in nanoseconds (schedstat), as clock ticks charge a whole tick to a process
// that happens to run when one falls. A sanitized build only tells its figures.
TEST_F(WatchSession, RedrawsNothingForWhatIsNotDrawnAndIsIdleWhileNothingChanges) {
    const bool root = namespacesWork("--net --uts");
    const int status = runSession(
        kOnlyTheAddress,
        std::string(root ? kVeth : "") + "start_session\nstart_watch || exit 10\n" +
            (root ? "hostname localhost && ip addr add 192.0.2.1/32 dev lo\n" : "") +
            "xprop -root -f _ZBPG_UNWATCHED 8s -set _ZBPG_UNWATCHED x\nsleep 4\n"
            // Per thread, so that a thread that ends meanwhile takes nothing away.
            "each() { for t in /proc/$watch/task/*; do\n"
            "    echo \"${t##*/} $(awk \"$2\" $t/$1 2>/dev/null)\"; done; }\n"
            "cpu() { each schedstat '{print $1}'; }\n"
            "wakes() { each status '/ctxt_switches/ {s += $2} END {print s}'; }\n"
            "grown() { awk 'NR == FNR {was[$1] = $2; next} {s += $2 - was[$1]} END {print s + 0}' "
            "$1 $2; }\n"
            // A loaded machine may still be checking the changes: the idle time starts after.
            "cpu > a\nfor i in $(seq 15); do\n"
            "    sleep 1; cpu > b; [ $(grown a b) = 0 ] && break; mv b a\ndone\n"
            "grep -q 描き直しました log && exit 11\n"
            "cpu > cpu0; wakes > wakes0; sleep 20; cpu > cpu1; wakes > wakes1\n"
            "used=$(($(grown cpu0 cpu1) / 1000000)) woken=$(grown wakes0 wakes1)\n"
            "rss=$(awk '/VmRSS/ {print $2}' /proc/$watch/status)\n"
            "echo \"idle 20 s: woken $woken times, $used ms, $rss kB resident\"\n" +
            (kSanitized ? ""
                        : "[ $woken -le 4 ] || exit 12\n[ $used -lt 20 ] || exit 12\n"
                          "[ $rss -lt 30720 ] || exit 13\n"),
        root ? "--net --uts" : "");
    std::cout << m_output.substr(std::min(m_output.find("idle"), m_output.size()));
    EXPECT_EQ(status, 0) << "11: redrawn, 12: woken or busy while idle, 13: 30 MB resident\n"
                         << m_output;
}

class EndedSession : public WatchSession, public ::testing::WithParamInterface<const char*> {};

// The watch ends within seconds with its session, leaving no file behind; meanwhile a second
// copy in the same session ends at once and says why.
TEST_P(EndedSession, EndsTheWatchWithNothingLeft) {
    const int status = runSession(
        kOnlyTheComputerName,
        "start_session\nstart_watch || exit 10\n./ZorbelPaneglyph -Watch 2>second\n"
        "[ $? = 1 ] && grep -q 'このログインセッションでは -Watch がすでに動いています。' second "
        "|| exit 11\n" +
            std::string(GetParam()) +
            "\nfor i in $(seq 50); do kill -0 $watch 2>/dev/null || break; sleep 0.1; done\n"
            "kill -0 $watch 2>/dev/null && exit 12\n"
            "exit $(ls \"$XDG_RUNTIME_DIR\" . | grep -c -e -watch- -e PaneglyphTmp)\n");
    EXPECT_EQ(status, 0) << "10: the watch did not start, 11: nor did a second one end at once, "
                            "12: the watch outlived its session, else files left\n"
                         << m_output;
}

std::string nameOfEnd(const ::testing::TestParamInfo<const char*>& ended) {
    const char* names[] = {"AskedToEnd", "DisplayGone", "BusGone"};
    return names[ended.index];
}

INSTANTIATE_TEST_SUITE_P(Ends, EndedSession,
                         ::testing::Values("kill -TERM $watch", "kill $xvfb", "kill $bus"),
                         nameOfEnd);

} // namespace
} // namespace zbpg

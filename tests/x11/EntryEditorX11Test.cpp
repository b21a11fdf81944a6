// The entry editor on an X server (run under xvfb-run) whose window manager frames the windows:
// openbox, which tells a window its frame only once it has framed that window.
#include "base/ScopeExit.h"
#include "options/OptionsStore.h"
#include "support/Commands.h"
#include "support/Controls.h"
#include "ui/AppExec.h"
#include "ui/pages/AppExecPage.h"

#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <regex>

namespace zbpg {
namespace {

// Where the X server shows a window's inside; the window manager's frame lies around it.
QPoint insideOnScreen(const QWidget& window) {
    const std::string shown =
        test::runCommand("xwininfo -id " + std::to_string(window.winId())).output;
    std::smatch x, y;
    if (!std::regex_search(shown, x, std::regex("Absolute upper-left X: +(-?\\d+)")) ||
        !std::regex_search(shown, y, std::regex("Absolute upper-left Y: +(-?\\d+)")))
        return {};
    return {std::stoi(x[1]), std::stoi(y[1])};
}

bool showsInsideAt(const QWidget& window, QPoint inside) {
    for (int tries = 0; tries < 50 && insideOnScreen(window) != inside; ++tries)
        QTest::qWait(100);
    return insideOnScreen(window) == inside;
}

TEST(FramedEntryEditor, EveryShowingSitsOneTitleButtonBelowTheSettingsWindowsTop) {
    test::TempFolder folder;
    const std::string wm = folder.file("openbox.pid");
    // Without a theme, which it finds in the machine's data folders that the tests' own XDG
    // folders leave out, it does not start. It frames the windows shown once it has marked the
    // screen as its own.
    ASSERT_EQ(test::runCommand("XDG_DATA_DIRS=/usr/share timeout 60 openbox --sm-disable "
                               ">/dev/null 2>&1 &\necho $! > " +
                               wm +
                               "\nfor i in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK"
                               " | grep -q 'window id' && exit 0; sleep 0.1; done; exit 1")
                  .status,
              0);
    const ScopeExit endWm([&] { (void)test::runCommand("kill $(cat " + wm + ")"); });
    TRegManager settings;
    openSettings(settings, folder.file("ZorbelPaneglyph.ini"));
    AppExecPage window{settings};
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.frameGeometry() != window.geometry(); }));

    // The same frame around both windows: their insides lie as their frames do.
    const QPoint below = insideOnScreen(window) + QPoint(0, titleButtonHeight() + 1);
    int showings = 0;
    window.FormAppExecEnt().OnShowModal = [&](TFormAppExecEnt& dialog) {
        EXPECT_TRUE(showsInsideAt(dialog, below))
            << "showing " << ++showings << " at " << insideOnScreen(dialog).x() << ","
            << insideOnScreen(dialog).y();
        dialog.reject();
    };
    for (int showing = 0; showing < 2; ++showing)
        test::control<QToolButton>(window, "SpeedButtonAEBAdd").click();
}

} // namespace
} // namespace zbpg

// The position picker on an X server (run under xvfb-run with a 1024x768 screen): the real
// pointer is placed and moved, and the picker's window is really shown and hidden.
#include "controls/EditUpDown.h"
#include "support/Controls.h"
#include "support/FixedSystemInfo.h"
#include "support/ProgramFilesIn.h"
#include "support/RecordingDialogService.h"
#include "support/RecordingMessageService.h"
#include "support/TestEnvironment.h"
#include "text/qt/QtConvert.h"
#include "ui/Main.h"

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>

namespace zbpg {
namespace {

using test::control;

// The settings window as the program makes it, picking the login user's place, which starts at
// the factory place (810, 610).
class PickerOnX11 : public ::testing::Test {
protected:
    PickerOnX11() {
        (void)window.FormCreate();
        window.show();
        control<QToolButton>(window, "SpeedButtonSIUserPos").click();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&picker));
    }
    // Moves the real pointer and waits for the preview to follow.
    void movePointer(QPoint point) {
        QCursor::setPos(point);
        EXPECT_TRUE(QTest::qWaitFor([&] { return preview.pos() == point + QPoint(1, 1); }));
    }
    QPoint fields() const { return {left.Position(), top.Position()}; }

    test::TempFolder folder;
    test::RecordingMessageService messages;
    test::RecordingDialogService dialogs;
    test::FakeDesktopService desktop{1024, 768};
    test::FixedSystemInfo systemInfo;
    TFormMain window{test::programFilesIn(folder)};
    QWidget& picker = control<QWidget>(window, "FormWallpaper");
    QLabel& preview = control<QLabel>(picker, "ImageObj");
    TEditUpDown& left = control<TEditUpDown>(window, "EditUpDownSIUserLeft");
    TEditUpDown& top = control<TEditUpDown>(window, "EditUpDownSIUserTop");
};

TEST_F(PickerOnX11, ThePreviewFollowsThePointerAndEnterTakesItsPlace) {
    EXPECT_EQ(QCursor::pos(), QPoint(810, 610));
    EXPECT_EQ(picker.geometry(), QRect(0, 0, 1024, 768));
    movePointer({500, 300});
    EXPECT_FALSE(control<QPushButton>(window, "ButtonSave").isEnabled());
    QTest::keyClick(&picker, Qt::Key_Return);
    EXPECT_EQ(fields(), QPoint(501, 301));
    EXPECT_FALSE(picker.isVisible());
    EXPECT_TRUE(control<QPushButton>(window, "ButtonSave").isEnabled());
}

TEST_F(PickerOnX11, APlaceBeyondTheRightEdgeIsHeldAtTheLastColumn) {
    movePointer({1023, 400});
    QTest::mouseClick(&picker, Qt::LeftButton, {}, QPoint(1023, 400));
    EXPECT_EQ(fields(), QPoint(1023, 401));
}

struct Input {
    const char* name;
    std::function<void(QWidget&)> send;
    bool endsThePick;
};

void PrintTo(const Input& input, std::ostream* out) {
    *out << input.name;
}

class PickerInputs : public PickerOnX11, public ::testing::WithParamInterface<Input> {};

// Escape and the right button end the pick with the fields as they were; every other key and
// button leaves the pick going on.
TEST_P(PickerInputs, OnlyEnterAndTheLeftButtonChangeTheFields) {
    movePointer({500, 300});
    GetParam().send(picker);
    EXPECT_EQ(fields(), QPoint(810, 610));
    EXPECT_EQ(picker.isVisible(), !GetParam().endsThePick);
    QTest::keyClick(&picker, Qt::Key_Return);
    EXPECT_EQ(fields(), GetParam().endsThePick ? QPoint(810, 610) : QPoint(501, 301));
}

void key(QWidget& picker, Qt::Key key) {
    QTest::keyClick(&picker, key);
}
void click(QWidget& picker, Qt::MouseButton button) {
    QTest::mouseClick(&picker, button, {}, QPoint(500, 300));
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, PickerInputs,
    ::testing::Values(Input{"Escape", [](QWidget& w) { key(w, Qt::Key_Escape); }, true},
                      Input{"RightButton", [](QWidget& w) { click(w, Qt::RightButton); }, true},
                      Input{"MiddleButton", [](QWidget& w) { click(w, Qt::MiddleButton); }, false},
                      Input{"Space", [](QWidget& w) { key(w, Qt::Key_Space); }, false},
                      Input{"LetterA", [](QWidget& w) { key(w, Qt::Key_A); }, false}),
    [](const auto& input) { return std::string(input.param.name); });

} // namespace
} // namespace zbpg

int main(int argc, char** argv) {
    zbpg::test::TempFolder home;
    zbpg::test::prepareTestEnvironment(home);
    // The pointer and the windows are the X server's.
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    QApplication application(argc, argv);
    zbpg::installFontSubstitutions();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// The position picker on an X server (run under xvfb-run with a 1024x768 screen): the real
// pointer is placed and moved, and the picker's window is really shown and hidden.
#include "controls/EditUpDown.h"
#include "draw/Renderers.h"
#include "support/Controls.h"
#include "support/ImageChecks.h"
#include "support/ProgramFilesIn.h"
#include "support/RecordingDesktopService.h"
#include "support/RecordingDialogService.h"
#include "ui/Main.h"

#include <QCheckBox>
#include <QCursor>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace zbpg {
namespace {

using test::control;

// The settings window as the program makes it, picking the login user's place from the
// factory place (810, 610).
class PickerOnX11 : public ::testing::Test {
protected:
    PickerOnX11() {
        (void)window.FormCreate();
        pick("SpeedButtonSIUserPos");
    }
    void pick(const char* button) {
        control<QToolButton>(window, button).click();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&picker));
    }
    // Moves the real pointer and waits for the preview to follow.
    void movePointer(QPoint point) {
        QCursor::setPos(point);
        EXPECT_TRUE(QTest::qWaitFor([&] { return preview.pos() == point + QPoint(1, 1); }));
    }
    QPoint fields() const { return {left.Position(), top.Position()}; }

    test::TempFolder folder;
    test::FakeDesktopService desktop{1024, 768};
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

TEST_F(PickerOnX11, WhiteTextShowsOnEveryPickOverATransparentGround) {
    for (int round = 0; round < 2; ++round) {
        const QImage image = preview.pixmap().toImage();
        EXPECT_GT(test::countPixels(image, qRgba(255, 255, 255, 255)), 0) << round;
        EXPECT_GT(test::countPixels(image, qRgba(0, 0, 0, 0)), 0) << round;
        QTest::keyClick(&picker, Qt::Key_Escape);
        pick("SpeedButtonSIUserPos");
    }
}

TEST_F(PickerOnX11, ThreeLinesWithAnIntervalOfFiveAreThreeLineHeightsAndTenPixelsHigh) {
    QTest::keyClick(&picker, Qt::Key_Escape);
    control<QCheckBox>(window, "CheckBoxFreeMessage").setChecked(true);
    control<QPlainTextEdit>(window, "MemoFMInput").setPlainText("一行目\n\n三行目");
    control<TEditUpDown>(window, "EditUpDownFMLineInterval").SetPosition(5);
    pick("SpeedButtonFMPos");
    EXPECT_EQ(preview.height(), 3 * textHeight(factoryOptions().freeMessage.font, "一") + 10);
}

// On two monitors (see tests/CMakeLists.txt), the primary one right of the other.
TEST_F(PickerOnX11, OnTwoMonitorsItCoversThePrimaryOneOnly) {
    const QRect primary(1280, 0, 1024, 768);
    EXPECT_EQ(picker.geometry(), primary);
    EXPECT_EQ(QCursor::pos(), primary.topLeft() + QPoint(810, 610));
}

// Escape and the right button end the pick with the fields as they were; other keys and
// buttons leave the pick going on.
struct Input {
    const char* name;
    Qt::Key key;
    Qt::MouseButton button;
    bool endsThePick;
};

class PickerInputs : public PickerOnX11, public ::testing::WithParamInterface<Input> {};

TEST_P(PickerInputs, OnlyEnterAndTheLeftButtonChangeTheFields) {
    movePointer({500, 300});
    if (GetParam().key != Qt::Key_unknown)
        QTest::keyClick(&picker, GetParam().key);
    else
        QTest::mouseClick(&picker, GetParam().button, {}, QPoint(500, 300));
    EXPECT_EQ(fields(), QPoint(810, 610));
    EXPECT_EQ(picker.isVisible(), !GetParam().endsThePick);
    QTest::keyClick(&picker, Qt::Key_Return);
    EXPECT_EQ(fields(), GetParam().endsThePick ? QPoint(810, 610) : QPoint(501, 301));
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, PickerInputs,
    ::testing::Values(Input{"Escape", Qt::Key_Escape, Qt::NoButton, true},
                      Input{"RightButton", Qt::Key_unknown, Qt::RightButton, true},
                      Input{"MiddleButton", Qt::Key_unknown, Qt::MiddleButton, false},
                      Input{"LetterA", Qt::Key_A, Qt::NoButton, false}),
    [](const auto& input) { return std::string(input.param.name); });

} // namespace
} // namespace zbpg

#include "controls/EditUpDown.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

namespace zbpg {
namespace {

class EditUpDownTest : public ::testing::Test {
protected:
    void SetUp() override {
        edit.resize(80, 24);
        edit.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
        edit.setFocus();
    }

    TUpDownButton* arrows() const { return edit.UpDown(); }
    void clickArrow(bool upper) {
        const int y = upper ? arrows()->height() / 4 : arrows()->height() * 3 / 4;
        QTest::mouseClick(arrows(), Qt::LeftButton, {}, QPoint(arrows()->width() / 2, y));
    }
    void typeOver(const char* keys) {
        edit.selectAll();
        QTest::keyClicks(&edit, keys);
    }

    TEditUpDown edit;
};

TEST_F(EditUpDownTest, StartsAtZeroInZeroToHundredWithArrowsInsideTheRightEdge) {
    EXPECT_EQ(edit.text(), "0");
    EXPECT_EQ(edit.Min(), 0);
    EXPECT_EQ(edit.Max(), 100);
    EXPECT_EQ(edit.Position(), 0);
    EXPECT_EQ(edit.maxLength(), 3);
    EXPECT_TRUE(edit.alignment() & Qt::AlignRight);
    ASSERT_NE(arrows(), nullptr);
    EXPECT_EQ(arrows()->parent(), &edit);
    EXPECT_TRUE(arrows()->isVisible());
    EXPECT_EQ(arrows()->width(), 15);

    edit.resize(120, 40);
    const QRect box = arrows()->geometry();
    EXPECT_TRUE(edit.rect().contains(box));
    EXPECT_GE(box.right(), edit.width() - 4);
    EXPECT_GE(box.height(), edit.height() - 6);
    // Right-aligned text ends before the arrows begin.
    edit.SetPosition(100);
    edit.end(false);
    edit.repaint(); // the text is scrolled into place when painted
    EXPECT_LT(edit.inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x(), box.left());
}

TEST_F(EditUpDownTest, LengthLimitFollowsTheLongerBound) {
    edit.SetMax(999);
    EXPECT_EQ(edit.maxLength(), 3);
    edit.SetMax(9);
    EXPECT_EQ(edit.maxLength(), 1);
    edit.SetMin(-5);
    EXPECT_EQ(edit.maxLength(), 2);
    edit.SetMax(100);
    EXPECT_EQ(edit.maxLength(), 3);
    edit.SetMin(-1000);
    EXPECT_EQ(edit.maxLength(), 5);
    edit.SetMin(0);
    edit.SetMax(32767);
    EXPECT_EQ(edit.maxLength(), 5);
}

TEST_F(EditUpDownTest, TypedNegativeValueBecomesThePosition) {
    edit.SetMin(-5);
    typeOver("-5");
    EXPECT_EQ(edit.text(), "-5");
    EXPECT_EQ(edit.Position(), -5);
    EXPECT_EQ(arrows()->Position(), -5);
    typeOver("-6"); // below Min: stays on screen only
    EXPECT_EQ(edit.text(), "-6");
    EXPECT_EQ(edit.Position(), -5);
}

TEST_F(EditUpDownTest, OutOfRangeTextStaysWhileArrowKeyAndClickWorkFromThePosition) {
    typeOver("150");
    EXPECT_EQ(edit.text(), "150");
    EXPECT_EQ(edit.Position(), 15); // the value before the last keystroke
    QTest::keyClick(&edit, Qt::Key_Up);
    EXPECT_EQ(edit.text(), "150");
    EXPECT_EQ(edit.Position(), 15);
    clickArrow(true);
    EXPECT_EQ(edit.text(), "16");
    EXPECT_EQ(edit.Position(), 16);
}

TEST_F(EditUpDownTest, ArrowKeysStepWithinTheBounds) {
    edit.SetPosition(99);
    QTest::keyClick(&edit, Qt::Key_Up);
    EXPECT_EQ(edit.text(), "100");
    QTest::keyClick(&edit, Qt::Key_Up);
    EXPECT_EQ(edit.text(), "100");
    QTest::keyClick(&edit, Qt::Key_Down);
    EXPECT_EQ(edit.Position(), 99);
    typeOver("-"); // not a number: counts from the last position
    QTest::keyClick(&edit, Qt::Key_Down);
    EXPECT_EQ(edit.text(), "98");
    edit.SetPosition(0);
    QTest::keyClick(&edit, Qt::Key_Down);
    EXPECT_EQ(edit.text(), "0");
}

TEST_F(EditUpDownTest, PositionIsClampedAndNarrowedRangeMovesIt) {
    edit.SetPosition(810);
    EXPECT_EQ(edit.Position(), 100);
    EXPECT_EQ(edit.text(), "100");
    edit.SetMax(1000);
    EXPECT_EQ(edit.Position(), 100);
    EXPECT_EQ(edit.text(), "100");

    edit.SetPosition(80);
    edit.SetMax(50);
    EXPECT_EQ(edit.Position(), 50);
    EXPECT_EQ(edit.text(), "50");
    edit.SetMax(100);
    EXPECT_EQ(edit.Position(), 50);
    edit.SetMin(60);
    EXPECT_EQ(edit.Position(), 60);
    EXPECT_EQ(edit.text(), "60");
}

TEST_F(EditUpDownTest, ShorterLimitNeverCutsTheRewrittenPosition) {
    edit.SetPosition(50);
    typeOver("150");
    edit.SetMax(9);
    EXPECT_EQ(edit.text(), "9");
    EXPECT_EQ(edit.Position(), 9);
}

TEST_F(EditUpDownTest, RefusesLettersBackspaceEnterAndClipboardKeys) {
    edit.SetPosition(42);
    QTest::keyClicks(&edit, "a +.");
    EXPECT_EQ(edit.text(), "42");
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), "42");

    QSignalSpy returns(&edit, &QLineEdit::returnPressed);
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(returns.count(), 0);

    QApplication::clipboard()->setText("7");
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&edit, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(&edit, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), "42");
    EXPECT_EQ(QApplication::clipboard()->text(), "7");
    EXPECT_EQ(edit.Position(), 42);
}

// The editing shortcuts would change the value without typing a digit: selecting all, undo and
// redo, the clipboard keys in both their forms, deleting words and lines. Each comes with the
// text an X server gives it (a control character, or none).
TEST_F(EditUpDownTest, RefusesEveryEditingShortcut) {
    struct Shortcut {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* text;
    };
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const Shortcut refused[] = {
        {"Ctrl+A", Qt::Key_A, ctrl, "\x01"},
        {"Ctrl+Z", Qt::Key_Z, ctrl, "\x1a"},
        {"Ctrl+Y", Qt::Key_Y, ctrl, "\x19"},
        {"Ctrl+Shift+Z", Qt::Key_Z, ctrl | Qt::ShiftModifier, "\x1a"},
        {"Ctrl+X", Qt::Key_X, ctrl, "\x18"},
        {"Ctrl+V", Qt::Key_V, ctrl, "\x16"},
        {"Ctrl+C", Qt::Key_C, ctrl, "\x03"},
        {"Ctrl+Insert", Qt::Key_Insert, ctrl, ""},
        {"Shift+Insert", Qt::Key_Insert, Qt::ShiftModifier, ""},
        {"Shift+Delete", Qt::Key_Delete, Qt::ShiftModifier, "\x7f"},
        {"Ctrl+Backspace", Qt::Key_Backspace, ctrl, "\b"},
        {"Ctrl+Delete", Qt::Key_Delete, ctrl, "\x7f"},
        {"Ctrl+K", Qt::Key_K, ctrl, "\x0b"},
        {"Ctrl+U", Qt::Key_U, ctrl, "\x15"},
    };
    edit.SetMax(9999);
    for (const auto& shortcut : refused) {
        for (const bool selected : {false, true}) {
            edit.SetPosition(42);
            edit.end(false);
            QTest::keyClicks(&edit, "1"); // something to undo
            ASSERT_EQ(edit.Position(), 421);
            QApplication::clipboard()->setText("7");
            edit.setCursorPosition(2);
            if (selected)
                edit.selectAll();
            QTest::sendKeyEvent(QTest::Click, &edit, shortcut.key,
                                QString::fromLatin1(shortcut.text), shortcut.modifiers);
            EXPECT_EQ(edit.text().toStdString(), "421") << shortcut.name;
            EXPECT_EQ(edit.Position(), 421) << shortcut.name;
            EXPECT_EQ(edit.hasSelectedText(), selected) << shortcut.name;
            EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "7") << shortcut.name;
        }
    }
}

TEST_F(EditUpDownTest, DeleteAndCursorKeysWorkNormally) {
    edit.SetPosition(42);
    QTest::keyClick(&edit, Qt::Key_Home);
    QTest::keyClick(&edit, Qt::Key_Delete);
    EXPECT_EQ(edit.text(), "2");
    EXPECT_EQ(edit.Position(), 2);
    QTest::keyClick(&edit, Qt::Key_End);
    QTest::keyClick(&edit, Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClicks(&edit, "7"); // typing over a selection
    EXPECT_EQ(edit.text(), "7");
    EXPECT_EQ(edit.Position(), 7);
}

TEST_F(EditUpDownTest, OnChangeFiresBeforeTheTextIsTakenOver) {
    std::vector<int> seen;
    QObject* sender = nullptr;
    edit.OnChange = [&](QObject* s) {
        sender = s;
        seen.push_back(edit.Position());
    };
    edit.SetPosition(3);
    EXPECT_EQ(sender, &edit);
    EXPECT_EQ(seen, std::vector<int>{3}); // programmatic: position written first
    typeOver("7");
    EXPECT_EQ(seen, (std::vector<int>{3, 3}));
    EXPECT_EQ(edit.Position(), 7);
    clickArrow(false);
    EXPECT_EQ(seen, (std::vector<int>{3, 3, 6}));
    EXPECT_EQ(edit.text(), "6");
}

TEST_F(EditUpDownTest, ArrowClicksStepOncePerClickAndStopAtTheBounds) {
    edit.SetPosition(99);
    clickArrow(true);
    clickArrow(true);
    EXPECT_EQ(edit.text(), "100");
    EXPECT_EQ(edit.Position(), 100); // no wrapping round to Min
    clickArrow(false);
    EXPECT_EQ(edit.Position(), 99);

    edit.SetPosition(0);
    clickArrow(false);
    EXPECT_EQ(edit.text(), "0");
}

TEST_F(EditUpDownTest, AHeldArrowStepsByOneAfterTheSpinDelayUntilReleased) {
    const int delay = edit.style()->styleHint(QStyle::SH_SpinBox_ClickAutoRepeatThreshold);
    const int rate = edit.style()->styleHint(QStyle::SH_SpinBox_ClickAutoRepeatRate);
    edit.SetPosition(10);
    std::vector<QString> notified;
    edit.OnChange = [&](QObject*) { notified.push_back(edit.text()); };
    const QPoint upper(arrows()->width() / 2, arrows()->height() / 4);
    QTest::mousePress(arrows(), Qt::LeftButton, {}, upper);
    QTest::qWait(delay / 2);
    EXPECT_EQ(edit.Position(), 11) << "one step at the press, then the delay";
    QTest::qWait(delay / 2 + 4 * rate);
    QTest::mouseRelease(arrows(), Qt::LeftButton, {}, upper);
    const int held = edit.Position();
    EXPECT_GE(held, 13) << "the steps go on while the arrow is held";
    std::vector<QString> oneByOne;
    for (int value = 11; value <= held; ++value)
        oneByOne.push_back(QString::number(value));
    EXPECT_EQ(notified, oneByOne);
    QTest::qWait(2 * rate);
    EXPECT_EQ(edit.Position(), held) << "released";
}

TEST_F(EditUpDownTest, DisabledFieldDisablesItsArrows) {
    edit.SetPosition(5);
    const QImage enabledLook = arrows()->grab().toImage();
    edit.setEnabled(false);
    EXPECT_FALSE(arrows()->isEnabled());
    clickArrow(true);
    EXPECT_EQ(edit.Position(), 5);
    EXPECT_NE(arrows()->grab().toImage(), enabledLook);
}

TEST(UpDownButton, KeepsTheStoredPositionAcrossANarrowedRange) {
    TUpDownButton button;
    button.SetPosition(-3);
    EXPECT_EQ(button.Position(), 0);
    button.SetPosition(50);
    button.SetMax(10);
    EXPECT_EQ(button.Position(), 10);
    button.SetMax(100);
    EXPECT_EQ(button.Position(), 50);
    button.SetMin(70);
    EXPECT_EQ(button.Position(), 70);
    EXPECT_EQ(button.sizeHint(), QSize(15, 17));
}

TEST(UpDownButton, PressedHalfIsDrawnSunken) {
    TUpDownButton button;
    button.resize(15, 30);
    button.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
    int steps = 0;
    button.OnStep = [&] { ++steps; };
    const QImage released = button.grab().toImage();
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(7, 22));
    const QImage pressed = button.grab().toImage();
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(7, 22));
    EXPECT_EQ(steps, 1);
    EXPECT_NE(pressed, released);
    EXPECT_EQ(button.grab().toImage(), released);
}

} // namespace
} // namespace zbpg

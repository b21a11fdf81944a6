#include "controls/SCB.h"
#include "support/RecordingDialogService.h"
#include "text/qt/QtConvert.h"

#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

using zbpg::Color;
using zbpg::TSelectColorButton;

namespace {

// A shown button at a known screen place, with the dialog service recorded and every click
// counted.
class SelectColorButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        button = std::make_unique<TSelectColorButton>();
        button->OnClick = [this](QObject* sender) {
            ++clicks;
            lastSender = sender;
            colorAtClick = button->Color();
            dialogsBeforeClick = static_cast<int>(dialogs.colorRequests.size());
        };
        button->move(100, 100);
        button->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(button.get()));
    }

    QTimer* releaseTimer() const { return button->findChild<QTimer*>(); }
    QImage snapshot() const { return button->grab().toImage(); }
    void moveCursorTo(QPoint local) const { QCursor::setPos(button->mapToGlobal(local)); }
    // Long enough for at least one tick of the 100 ms release timer.
    static void waitForTick() { QTest::qWait(250); }

    void click(QPoint at = {45, 12}) {
        moveCursorTo(at);
        QTest::mousePress(button.get(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseRelease(button.get(), Qt::LeftButton, Qt::NoModifier, at);
    }

    zbpg::test::RecordingDialogService dialogs;
    std::unique_ptr<TSelectColorButton> button;
    int clicks = 0;
    QObject* lastSender = nullptr;
    Color colorAtClick = -1;
    int dialogsBeforeClick = -1;
};

TEST(SelectColorButtonDefaults, NewButtonShowsAYellowSwatchAtNinetyByTwentyFive) {
    TSelectColorButton button;
    EXPECT_EQ(button.size(), QSize(90, 25));
    EXPECT_EQ(button.sizeHint(), QSize(90, 25));
    const QImage image = button.grab().toImage();
    ASSERT_EQ(image.size(), QSize(90, 25));
    EXPECT_EQ(image.pixelColor(45, 12), QColor(Qt::yellow));
    EXPECT_EQ(image.pixelColor(84, 19), QColor(Qt::black)) << "the swatch's outline";
}

// --- clicking -----------------------------------------------------------------------------

TEST_F(SelectColorButtonTest, PressAndReleaseAsksForColourStartingAtBlackAndTakesTheAnswer) {
    dialogs.colorAnswers.push_back(Color{0x123456});
    moveCursorTo({45, 12});
    QTest::mousePress(button.get(), Qt::LeftButton, Qt::NoModifier, {45, 12});
    EXPECT_TRUE(button->Pressed());
    EXPECT_TRUE(releaseTimer()->isActive());
    EXPECT_TRUE(dialogs.colorRequests.empty()) << "the dialog waits for the release";

    QTest::mouseRelease(button.get(), Qt::LeftButton, Qt::NoModifier, {45, 12});
    ASSERT_EQ(dialogs.colorRequests.size(), 1u);
    EXPECT_EQ(dialogs.colorRequests[0], zbpg::kColorBlack);
    EXPECT_EQ(button->Color(), 0x123456);
    EXPECT_FALSE(button->Pressed());
    EXPECT_FALSE(releaseTimer()->isActive());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(lastSender, button.get());
    // OnClick comes after the dialog, with the new colour already in place.
    EXPECT_EQ(dialogsBeforeClick, 1);
    EXPECT_EQ(colorAtClick, 0x123456);
}

TEST_F(SelectColorButtonTest, DialogStartsAtBlackEvenWhenTheColourIsSomethingElse) {
    button->SetColor(0x0000FF);
    dialogs.colorAnswers.push_back(Color{0x00FF00});
    click();
    ASSERT_EQ(dialogs.colorRequests.size(), 1u);
    EXPECT_EQ(dialogs.colorRequests[0], zbpg::kColorBlack);
    EXPECT_EQ(button->Color(), 0x00FF00);
}

TEST_F(SelectColorButtonTest, CancelledDialogKeepsTheColourButStillFiresOnClick) {
    button->SetColor(0x0000FF);
    click();
    EXPECT_EQ(dialogs.colorRequests.size(), 1u);
    EXPECT_EQ(button->Color(), 0x0000FF);
    EXPECT_FALSE(button->Pressed());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(dialogsBeforeClick, 1);
}

TEST_F(SelectColorButtonTest, DoubleClickPressesLikeAPress) {
    dialogs.colorAnswers.push_back(Color{0x112233});
    moveCursorTo({45, 12});
    const QPointF at(45, 12);
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, at, button->mapToGlobal(at),
                            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(button.get(), &doubleClick);
    EXPECT_TRUE(button->Pressed());
    QTest::mouseRelease(button.get(), Qt::LeftButton, Qt::NoModifier, {45, 12});
    EXPECT_EQ(dialogs.colorRequests.size(), 1u);
    EXPECT_EQ(button->Color(), 0x112233);
    EXPECT_EQ(clicks, 1);
}

TEST_F(SelectColorButtonTest, ReleaseWithoutPressDoesNothingButRepaint) {
    const int paints = button->PaintCount();
    QTest::mouseRelease(button.get(), Qt::LeftButton, Qt::NoModifier, {45, 12});
    EXPECT_TRUE(dialogs.colorRequests.empty());
    EXPECT_EQ(clicks, 0);
    EXPECT_GT(button->PaintCount(), paints);
}

// --- leaving the button cancels -------------------------------------------------------------

TEST_F(SelectColorButtonTest, LeavingWhileHeldCancelsAndReleasingOutsideOpensNoDialog) {
    const int paintsBefore = button->PaintCount();
    moveCursorTo({45, 12});
    QTest::mousePress(button.get(), Qt::LeftButton, Qt::NoModifier, {45, 12});
    ASSERT_TRUE(button->Pressed());
    moveCursorTo({200, 200});
    waitForTick();
    EXPECT_FALSE(button->Pressed());
    EXPECT_FALSE(releaseTimer()->isActive());
    EXPECT_GT(button->PaintCount(), paintsBefore + 1) << "press and cancel both repaint";

    QTest::mouseRelease(button.get(), Qt::LeftButton, Qt::NoModifier, {200, 200});
    EXPECT_TRUE(dialogs.colorRequests.empty());
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(button->Pressed());
}

TEST_F(SelectColorButtonTest, HoldingInsideKeepsThePress) {
    moveCursorTo({45, 12});
    QTest::mousePress(button.get(), Qt::LeftButton, Qt::NoModifier, {45, 12});
    waitForTick();
    EXPECT_TRUE(button->Pressed());
    EXPECT_TRUE(releaseTimer()->isActive());
    QTest::mouseRelease(button.get(), Qt::LeftButton, Qt::NoModifier, {45, 12});
    EXPECT_EQ(dialogs.colorRequests.size(), 1u);
}

// The far edges themselves still count as inside; one pixel beyond does not.
TEST_F(SelectColorButtonTest, CursorOnTheFarEdgeStillCountsAsInside) {
    moveCursorTo({45, 12});
    QTest::mousePress(button.get(), Qt::LeftButton, Qt::NoModifier, {45, 12});
    moveCursorTo({90, 25});
    waitForTick();
    EXPECT_TRUE(button->Pressed());
    moveCursorTo({91, 12});
    waitForTick();
    EXPECT_FALSE(button->Pressed());
}

TEST_F(SelectColorButtonTest, LeavingPastTheTopLeftCancels) {
    moveCursorTo({45, 12});
    QTest::mousePress(button.get(), Qt::LeftButton, Qt::NoModifier, {45, 12});
    moveCursorTo({45, -1});
    waitForTick();
    EXPECT_FALSE(button->Pressed());
}

// --- other input ----------------------------------------------------------------------------

TEST_F(SelectColorButtonTest, KeyboardOpensNoDialog) {
    for (const auto key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter})
        QTest::keyClick(button.get(), key);
    EXPECT_TRUE(dialogs.colorRequests.empty());
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(button->Pressed());
    EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);
}

TEST_F(SelectColorButtonTest, RightAndMiddleButtonsDoNothing) {
    for (const auto mouseButton : {Qt::RightButton, Qt::MiddleButton}) {
        QTest::mousePress(button.get(), mouseButton, Qt::NoModifier, {45, 12});
        EXPECT_FALSE(button->Pressed());
        EXPECT_FALSE(releaseTimer()->isActive());
        QTest::mouseRelease(button.get(), mouseButton, Qt::NoModifier, {45, 12});
    }
    EXPECT_TRUE(dialogs.colorRequests.empty());
    EXPECT_EQ(clicks, 0);
}

TEST_F(SelectColorButtonTest, RightReleaseDoesNotFinishALeftPress) {
    moveCursorTo({45, 12});
    QTest::mousePress(button.get(), Qt::LeftButton, Qt::NoModifier, {45, 12});
    QTest::mouseRelease(button.get(), Qt::RightButton, Qt::NoModifier, {45, 12});
    EXPECT_TRUE(dialogs.colorRequests.empty());
    EXPECT_TRUE(button->Pressed());
}

// --- painting -------------------------------------------------------------------------------

TEST_F(SelectColorButtonTest, OnlyAChangedColourRepaints) {
    QApplication::processEvents();
    const int paints = button->PaintCount();
    button->SetColor(button->Color());
    QApplication::processEvents();
    EXPECT_EQ(button->PaintCount(), paints);

    button->SetColor(0x123456);
    EXPECT_GT(button->PaintCount(), paints) << "a new colour paints at once";
    EXPECT_EQ(button->Color(), 0x123456);
}

TEST_F(SelectColorButtonTest, SwatchSpansFiveToFiveShortOfTheFarEdges) {
    button->resize(30, 20);
    button->SetColor(0x3366CC); // 0x00BBGGRR
    const QImage image = snapshot();
    const QColor expected = zbpg::toQColor(0x3366CC);
    ASSERT_EQ(expected, QColor(0xCC, 0x66, 0x33));
    EXPECT_EQ(image.pixelColor(10, 10), expected);
    EXPECT_EQ(image.pixelColor(23, 13), expected);
    EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(24, 14), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(24, 10), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(10, 14), QColor(Qt::black));
    for (const QPoint outside : {QPoint(26, 16), QPoint(25, 10), QPoint(10, 15), QPoint(4, 4)}) {
        EXPECT_NE(image.pixelColor(outside), expected) << outside.x() << "," << outside.y();
        EXPECT_NE(image.pixelColor(outside), QColor(Qt::black))
            << outside.x() << "," << outside.y();
    }
}

TEST_F(SelectColorButtonTest, PressSinksTheEdgeButNotTheSwatch) {
    button->SetColor(0x3366CC);
    const QImage raised = snapshot();
    moveCursorTo({45, 12});
    QTest::mousePress(button.get(), Qt::LeftButton, Qt::NoModifier, {45, 12});
    const QImage sunken = snapshot();
    EXPECT_NE(raised.pixelColor(0, 0), sunken.pixelColor(0, 0));
    EXPECT_NE(raised.pixelColor(89, 24), sunken.pixelColor(89, 24));
    for (const QPoint inside : {QPoint(5, 5), QPoint(6, 6), QPoint(84, 19), QPoint(83, 18)})
        EXPECT_EQ(raised.pixelColor(inside), sunken.pixelColor(inside));
    QTest::mouseRelease(button.get(), Qt::LeftButton, Qt::NoModifier, {45, 12});
    EXPECT_EQ(snapshot(), raised) << "back to raised after the dialog";
}

} // namespace

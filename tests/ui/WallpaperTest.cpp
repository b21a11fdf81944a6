#include "ui/Wallpaper.h"

#include "controls/EditUpDown.h"
#include "draw/Renderers.h"
#include "options/Options.h"
#include "support/Controls.h"
#include "support/ImageChecks.h"
#include "support/RecordingDialogService.h"

#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

namespace zbpg {
namespace {

// The picker on a 1024 by 768 screen, picking for two fields at (810, 610).
class PickerTest : public ::testing::Test {
protected:
    PickerTest() {
        for (auto* field : {&x, &y})
            field->SetMax(1023);
        x.SetPosition(810);
        y.SetPosition(610);
    }
    QImage preview() const { return test::control<QLabel>(picker, "ImageObj").pixmap().toImage(); }

    test::FakeDesktopService desktop{1024, 768};
    TEditUpDown x;
    TEditUpDown y;
    TFormWallpaper picker;
    const FontDescription font = factoryOptions().freeMessage.font;
};

TEST_F(PickerTest, ThreeLinesWithAnIntervalOfFiveAreThreeLineHeightsAndTenPixelsHigh) {
    picker.PickLinesPosition({"一行目", "", "三行目"}, font, x, y, 5);
    EXPECT_EQ(preview().height(), 3 * textHeight(font, "一行目") + 10);
    EXPECT_TRUE(picker.isVisible());
}

TEST_F(PickerTest, WhiteTextShowsOnEveryPickOverATransparentGround) {
    ASSERT_EQ(font.color, kColorWhite);
    for (int pick = 0; pick < 2; ++pick) {
        picker.PickTextPosition("ログインユーザ名：zorbel", font, x, y);
        EXPECT_GT(test::countPixels(preview(), qRgba(255, 255, 255, 255)), 0) << pick;
        EXPECT_GT(test::countPixels(preview(), qRgba(0, 0, 0, 0)), 0) << pick;
        QTest::keyClick(&picker, Qt::Key_Escape);
    }
}

} // namespace
} // namespace zbpg

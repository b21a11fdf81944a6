#include "controls/GradBox.h"

#include "text/qt/QtConvert.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

namespace zbpg {
namespace {

Color grey(int level) {
    return static_cast<Color>(level | (level << 8) | (level << 16));
}

QRgb rgbAt(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFF;
}

// An RGB value without alpha, as rgbAt gives it.
QRgb rgb(int red, int green, int blue) {
    return qRgb(red, green, blue) & 0xFFFFFF;
}

// A box on a black ground with a sharp (not antialiased) caption, so that pixels either
// belong to a glyph or not.
void prepareCaptionBox(TGradBox& box) {
    box.SetTopColor(kColorBlack);
    box.SetLastColor(kColorBlack);
    QFont font;
    font.setPixelSize(24);
    font.setBold(true);
    font.setStyleStrategy(QFont::NoAntialias);
    box.SetFont(font);
    box.SetCaption("Hello");
}

// The image a caption with copies drawn at the given offsets in the back colour, then the
// face on top, should give, built from an image of the face alone.
QImage composeExpected(const QImage& face, QRgb faceColor, QRgb backColor,
                       const std::vector<int>& offsets) {
    QImage expected(face.size(), QImage::Format_RGB32);
    expected.fill(Qt::black);
    const auto isFace = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < face.width() && y < face.height() &&
               rgbAt(face, x, y) == faceColor;
    };
    for (int y = 0; y < face.height(); ++y) {
        for (int x = 0; x < face.width(); ++x) {
            for (int offset : offsets)
                if (isFace(x - offset, y - offset))
                    expected.setPixel(x, y, backColor);
            if (isFace(x, y))
                expected.setPixel(x, y, faceColor);
        }
    }
    return expected;
}

QImage render(TGradBox& box) {
    return box.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

int countPixels(const QImage& image, QRgb color) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += rgbAt(image, x, y) == color;
    return count;
}

// A new box is 200 by 100, without an outline, and shades from green (0, 128, 0) at the top to
// lime (0, 255, 0) at the bottom, each row in one colour.
TEST(GradBox, NewBoxShadesFromGreenDownToLime) {
    TGradBox box;
    const QImage image = render(box);
    ASSERT_EQ(image.size(), QSize(200, 100));
    EXPECT_NEAR(qGreen(image.pixel(100, 0)), 128, 2);
    EXPECT_EQ(rgbAt(image, 100, 99), rgb(0, 255, 0));
    int previous = 0;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb left = rgbAt(image, 0, y);
        EXPECT_EQ(rgbAt(image, 199, y), left) << "row " << y;
        EXPECT_EQ(left & 0xFF00FF, 0u) << "row " << y;
        EXPECT_GE(qGreen(left), previous) << "row " << y;
        previous = qGreen(left);
    }
}

// A new box writes its caption at (10, 10), flat; turning 3-D on, with nothing else changed,
// raises it by one step in yellow.
TEST(GradBox, NewCaptionSitsAtTenTenAndRisesOneYellowStepIn3D) {
    TGradBox box;
    prepareCaptionBox(box);
    box.SetFontColor(0x0000FF);
    const QRgb red = rgb(255, 0, 0);
    const QRgb yellow = rgb(255, 255, 0);
    const QImage face = render(box);
    ASSERT_GT(countPixels(face, red), 20);
    EXPECT_EQ(countPixels(face, yellow), 0);
    box.SetCaptionLeft(10);
    box.SetCaptionTop(10);
    EXPECT_EQ(render(box), face);
    box.SetFont3D(true);
    EXPECT_EQ(render(box), composeExpected(face, red, yellow, {-1}));
}

TEST(GradBox, BlackToWhiteTableStepsOneLevelPerEntry) {
    TGradBox box;
    box.SetTopColor(kColorBlack);
    box.SetLastColor(kColorWhite);
    const auto table = box.ColorTable();
    EXPECT_EQ(table[0], kColorBlack);
    EXPECT_EQ(table[1], grey(1));
    EXPECT_EQ(table[128], grey(128));
    EXPECT_EQ(table[254], grey(254));
    EXPECT_EQ(table[255], kColorWhite);
    for (int i = 1; i < 255; ++i)
        EXPECT_EQ(table[static_cast<std::size_t>(i)], grey(i)) << i;
}

TEST(GradBox, TableTruncatesEachChannel) {
    TGradBox box;
    box.SetTopColor(0x0000FF);  // red
    box.SetLastColor(0xFF0000); // blue
    const auto table = box.ColorTable();
    // Red falls by exactly one level per entry; blue rises by one.
    EXPECT_EQ(table[100], static_cast<Color>(155 | (100 << 16)));
    box.SetTopColor(0x000000);
    box.SetLastColor(0x000064); // red 100: 100 / 255 per entry, truncated
    const auto partial = box.ColorTable();
    EXPECT_EQ(partial[3], 1);    // 1.176...
    EXPECT_EQ(partial[128], 50); // 50.19...
    EXPECT_EQ(partial[254], 99); // 99.6...
    EXPECT_EQ(partial[255], 100);
}

TEST(GradBox, ReversedStylesSwapTheEnds) {
    TGradBox box;
    box.SetTopColor(kColorBlack);
    box.SetLastColor(kColorWhite);
    for (TGradStyle style : {gsBottomTop, gsRightLeft}) {
        box.SetGradStyle(style);
        const auto table = box.ColorTable();
        EXPECT_EQ(table[0], kColorWhite);
        EXPECT_EQ(table[1], grey(254));
        EXPECT_EQ(table[255], kColorBlack);
    }
    box.SetGradStyle(gsLeftRight);
    EXPECT_EQ(box.ColorTable()[0], kColorBlack);
}

TEST(GradBox, NoStyleKeepsTheLastTableBuilt) {
    TGradBox box;
    box.SetTopColor(kColorBlack);
    box.SetLastColor(kColorWhite);
    const auto painted = box.ColorTable();
    render(box);
    box.SetGradStyle(gsNone);
    box.SetTopColor(0x0000FF);
    EXPECT_EQ(box.ColorTable(), painted);
}

TEST(GradBox, SystemColourStaysUnconvertedAtTheEnds) {
    TGradBox box;
    const Color window = kSystemColorBase + 5;
    box.SetTopColor(window);
    box.SetLastColor(window);
    const auto table = box.ColorTable();
    EXPECT_EQ(table[0], window);
    EXPECT_EQ(table[255], window);
    EXPECT_EQ(table[128], fromQColor(toQColor(window)));
}

TEST(GradBox, PaintsTopToBottomBands) {
    TGradBox box;
    box.resize(30, 255);
    box.SetTopColor(kColorBlack);
    box.SetLastColor(kColorWhite);
    const QImage image = render(box);
    // Band 1 starts at the top as band 0 does and covers it.
    EXPECT_EQ(rgbAt(image, 0, 0), rgb(1, 1, 1));
    EXPECT_EQ(rgbAt(image, 29, 0), rgb(1, 1, 1));
    EXPECT_EQ(rgbAt(image, 15, 127), rgb(128, 128, 128));
    EXPECT_EQ(rgbAt(image, 15, 254), rgb(255, 255, 255));
}

TEST(GradBox, ReversedAndSidewaysGradients) {
    TGradBox box;
    box.resize(255, 255);
    box.SetTopColor(kColorBlack);
    box.SetLastColor(kColorWhite);
    box.SetGradStyle(gsBottomTop);
    QImage image = render(box);
    EXPECT_EQ(rgbAt(image, 100, 0), rgb(254, 254, 254));
    EXPECT_EQ(rgbAt(image, 100, 254), 0u);
    box.SetGradStyle(gsLeftRight);
    image = render(box);
    EXPECT_EQ(rgbAt(image, 0, 100), rgb(1, 1, 1));
    EXPECT_EQ(rgbAt(image, 127, 100), rgb(128, 128, 128));
    EXPECT_EQ(rgbAt(image, 254, 0), rgb(255, 255, 255));
    box.SetGradStyle(gsRightLeft);
    image = render(box);
    EXPECT_EQ(rgbAt(image, 254, 100), 0u);
}

TEST(GradBox, AnyHeightGivesAGaplessMonotonicGradient) {
    // 100 rows: fewer rows than colours; 300 and 600: bands of uneven width that must
    // overlap rather than leave the window background showing between them.
    for (int height : {100, 300, 600}) {
        TGradBox box;
        box.resize(40, height);
        box.SetTopColor(kColorBlack);
        box.SetLastColor(kColorWhite);
        const QImage image = render(box);
        int previous = 0;
        for (int y = 0; y < image.height(); ++y) {
            const int level = qRed(image.pixel(20, y));
            if (height == 100)
                EXPECT_GT(level, previous) << height << " row " << y;
            else
                EXPECT_GE(level, previous) << height << " row " << y;
            EXPECT_LE(level - previous, height == 100 ? 4 : 1) << height << " row " << y;
            previous = level;
        }
        // At 100 rows bands 1 to 3 all start on row 0, and the last drawn covers it.
        EXPECT_EQ(qRed(image.pixel(20, 0)), height == 100 ? 3 : 1) << height;
        EXPECT_EQ(previous, 255) << height;
    }
}

TEST(GradBox, NoStyleShowsTheParent) {
    QWidget parent;
    parent.resize(300, 200);
    parent.setAutoFillBackground(true);
    QPalette palette = parent.palette();
    palette.setColor(QPalette::Window, QColor(10, 200, 30));
    parent.setPalette(palette);
    auto* box = new TGradBox(&parent);
    box->move(20, 20);
    box->SetGradStyle(gsNone);
    QImage image = parent.grab().toImage();
    EXPECT_EQ(rgbAt(image, 100, 60), rgb(10, 200, 30));
    box->SetGradStyle(gsTopBottom);
    image = parent.grab().toImage();
    EXPECT_NE(rgbAt(image, 100, 60), rgb(10, 200, 30));
}

TEST(GradBox, OutlineFramesTheBox) {
    TGradBox box;
    box.SetTopColor(kColorBlack);
    box.SetLastColor(kColorBlack);
    box.SetOutLineColor(0x0000FF);
    box.SetDrawOutLine(true);
    const QImage image = render(box);
    const QRgb red = rgb(255, 0, 0);
    EXPECT_EQ(rgbAt(image, 0, 0), red);
    EXPECT_EQ(rgbAt(image, 199, 50), red);
    EXPECT_EQ(rgbAt(image, 100, 99), red);
    EXPECT_EQ(rgbAt(image, 100, 50), 0u);
    EXPECT_EQ(rgbAt(image, 1, 1), 0u);
}

TEST(GradBox, PlainCaptionInFontColour) {
    TGradBox box;
    prepareCaptionBox(box);
    box.SetFontColor(0x0000FF);
    const QImage image = render(box);
    const QRgb red = rgb(255, 0, 0);
    EXPECT_GT(countPixels(image, red), 0);
    // Nothing above or left of the caption's corner.
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (x < 10 || y < 10) {
                ASSERT_EQ(rgbAt(image, x, y), 0u) << x << "," << y;
            }
        }
    }
}

TEST(GradBox, ShadowAndStepStylesDrawTheBackFontAtTheirOffsets) {
    TGradBox box;
    prepareCaptionBox(box);
    box.SetCaptionLeft(20);
    box.SetCaptionTop(20);
    box.SetFontColor(0x0000FF);
    const QRgb red = rgb(255, 0, 0);
    const QRgb white = rgb(255, 255, 255);
    const QImage face = render(box);
    ASSERT_GT(countPixels(face, red), 20);
    box.SetFont3D(true);
    box.SetBackFont(kColorWhite);
    box.SetFontDepth(5);

    box.SetStyle3D(fsLowShadow);
    EXPECT_EQ(render(box), composeExpected(face, red, white, {5}));
    box.SetStyle3D(fsRaiseShadow);
    EXPECT_EQ(render(box), composeExpected(face, red, white, {-5}));
    box.SetStyle3D(fsLow3D);
    EXPECT_EQ(render(box), composeExpected(face, red, white, {1, 2, 3, 4, 5}));
    box.SetStyle3D(fsRaise3D);
    EXPECT_EQ(render(box), composeExpected(face, red, white, {-1, -2, -3, -4, -5}));
    box.SetFontDepth(0);
    EXPECT_EQ(render(box), face);
}

TEST(GradBox, DisabledCaptionIsEngravedWhateverThe3DStyle) {
    TGradBox box;
    prepareCaptionBox(box);
    box.SetFontColor(0x808080);
    const QRgb grey = rgb(128, 128, 128);
    const QImage face = render(box);
    ASSERT_GT(countPixels(face, grey), 20);
    const QImage expected = composeExpected(face, grey, rgb(255, 255, 255), {1});
    box.SetFontColor(0x0000FF);
    box.setEnabled(false);
    EXPECT_EQ(render(box), expected);
    box.SetFont3D(true);
    box.SetStyle3D(fsRaiseShadow);
    box.SetFontDepth(4);
    EXPECT_EQ(render(box), expected);
}

class GradBoxRepaint : public ::testing::Test {
protected:
    void SetUp() override {
        box.OnPaint = [this](QObject* sender) {
            EXPECT_EQ(sender, &box);
            ++paints;
        };
        box.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
        settle();
    }

    // Paints what is pending and returns how many paints that took.
    int settle() {
        paints = 0;
        QApplication::processEvents();
        QApplication::processEvents();
        return paints;
    }

    TGradBox box;
    int paints = 0;
};

TEST_F(GradBoxRepaint, OutlineColourRepaintsOnlyWhileDrawn) {
    box.SetOutLineColor(0x0000FF);
    EXPECT_EQ(settle(), 0);
    box.SetDrawOutLine(true);
    EXPECT_GT(settle(), 0);
    box.SetOutLineColor(0x00FF00);
    EXPECT_GT(settle(), 0);
}

TEST_F(GradBoxRepaint, BackFontAndDepthRepaintOnlyIn3D) {
    box.SetBackFont(0x0000FF);
    box.SetFontDepth(3);
    EXPECT_EQ(settle(), 0);
    box.SetFont3D(true);
    EXPECT_GT(settle(), 0);
    box.SetBackFont(0x00FF00);
    EXPECT_GT(settle(), 0);
    box.SetFontDepth(4);
    EXPECT_GT(settle(), 0);
}

TEST_F(GradBoxRepaint, OnlyChangesRepaint) {
    box.SetCaption("Title");
    EXPECT_GT(settle(), 0);
    box.SetCaption("Title");
    box.SetTopColor(box.TopColor());
    box.SetGradStyle(box.GradStyle());
    EXPECT_EQ(settle(), 0);
    box.SetLastColor(0x123456);
    EXPECT_GT(settle(), 0);
}

} // namespace
} // namespace zbpg

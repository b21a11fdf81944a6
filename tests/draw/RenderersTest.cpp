#include "draw/Renderers.h"

#include "base/Error.h"
#include "support/ImageChecks.h"
#include "support/ParamNames.h"
#include "support/TempFolder.h"
#include "support/UnusualFiles.h"
#include "text/qt/QtConvert.h"

#include <QFontMetrics>
#include <climits>
#include <filesystem>
#include <gtest/gtest.h>

namespace zbpg {
namespace {

using test::countPixels;

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);
constexpr Color kRed = 0x0000FF;

QImage blankCanvas(int w = 1024, int h = 768, QRgb fill = kBlack) {
    QImage canvas(w, h, QImage::Format_RGB32);
    canvas.fill(fill);
    return canvas;
}

FontDescription gothic(Color color = kRed) {
    return FontDescription{"ＭＳ ゴシック", -16, color, 0, kShiftJisCharset};
}

bool isWhite(const QImage& image, int x, int y) {
    return image.pixel(x, y) == kWhite;
}

std::vector<int> corners(const FrameLayout& layout) {
    return {layout.x0, layout.y0, layout.tx, layout.ty};
}

// The bounds of the pixels with a red part: the label text, never the white frame.
QRect redBounds(const QImage& image, int fromRow = 0) {
    QRect bounds;
    for (int y = fromRow; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qRed(pixel) > 0 && qGreen(pixel) == 0)
                bounds |= QRect(x, y, 1, 1);
        }
    return bounds;
}

TEST(MonitorFrame, LinesLieInsideTheExclusiveRightAndBottomEdges) {
    QImage canvas = blankCanvas();
    drawMonitorFrame(canvas, 640, 480, "640 * 480", gothic(), FrameAnchor::TopLeft, kColorWhite);
    for (int i : {0, 100, 300, 478}) {
        EXPECT_TRUE(isWhite(canvas, 0, i) && isWhite(canvas, 638, i)) << i;
        EXPECT_FALSE(isWhite(canvas, 639, i) || isWhite(canvas, 1, i + 1)) << i;
    }
    for (int i : {0, 100, 400, 638}) {
        EXPECT_TRUE(isWhite(canvas, i, 0) && isWhite(canvas, i, 478)) << i;
        EXPECT_FALSE(isWhite(canvas, i, 479)) << i;
    }
    EXPECT_EQ(countPixels(canvas, kWhite), 2 * 639 + 2 * 477); // exact pixels, no smoothing
}

TEST(MonitorFrame, LabelSitsTenPixelsInsideTheFrameSide) {
    const int tw = textWidth(gothic(), "640 * 480");
    ASSERT_GT(tw, 0);
    const FrameLayout topLeft = monitorFrameLayout(640, 480, tw, FrameAnchor::TopLeft, 1024, 768);
    EXPECT_EQ(topLeft.tx, 629 - tw);
    EXPECT_EQ(topLeft.ty, 5);

    QImage canvas = blankCanvas();
    drawMonitorFrame(canvas, 640, 480, "640 * 480", gothic(), FrameAnchor::TopLeft, kColorWhite);
    const QRect label = redBounds(canvas);
    ASSERT_FALSE(label.isEmpty());
    EXPECT_GE(label.left(), topLeft.tx);
    EXPECT_LE(label.right(), topLeft.tx + tw);
    EXPECT_GE(label.top(), 5);
    EXPECT_LT(label.bottom(), 5 + textHeight(gothic(), "640 * 480"));

    EXPECT_EQ(corners(monitorFrameLayout(640, 480, tw, FrameAnchor::BottomLeft, 1024, 768)),
              (std::vector<int>{0, 288, 629 - tw, 293}));
    EXPECT_EQ(corners(monitorFrameLayout(640, 480, tw, FrameAnchor::TopRight, 1024, 768)),
              (std::vector<int>{384, 0, 394, 5}));
}

TEST(MonitorFrame, BottomRightFrameEndsAtTheScreenCorner) {
    QImage canvas = blankCanvas();
    drawMonitorFrame(canvas, 640, 480, "640 * 480", gothic(), FrameAnchor::BottomRight,
                     kColorWhite);
    for (int i : {288, 500, 765}) {
        EXPECT_TRUE(isWhite(canvas, 384, i) && isWhite(canvas, 1022, i)) << i;
        EXPECT_FALSE(isWhite(canvas, 383, i) || isWhite(canvas, 1023, i)) << i;
    }
    for (int i : {384, 700, 1022}) {
        EXPECT_TRUE(isWhite(canvas, i, 288) && isWhite(canvas, i, 766)) << i;
        EXPECT_FALSE(isWhite(canvas, i, 287) || isWhite(canvas, i, 767)) << i;
    }
    EXPECT_EQ(corners(monitorFrameLayout(640, 480, 70, FrameAnchor::BottomRight, 1024, 768)),
              (std::vector<int>{384, 288, 394, 293}));
    const QRect label = redBounds(canvas);
    ASSERT_FALSE(label.isEmpty());
    EXPECT_GE(label.left(), 394);
    EXPECT_GE(label.top(), 293);
}

TEST(MonitorFrame, CentreRoundsTowardZeroAndLargeFramesAreClipped) {
    EXPECT_EQ(corners(monitorFrameLayout(1601, 1201, 50, FrameAnchor::Center, 1024, 768)),
              (std::vector<int>{-288, -216, -288 + 1600 - 50 - 10, -211}));
    EXPECT_EQ(monitorFrameLayout(640, 481, 0, FrameAnchor::Center, 1024, 768).y0, 143);

    const int tw = textWidth(gothic(), "1600 * 1200");
    EXPECT_EQ(monitorFrameLayout(1600, 1200, tw, FrameAnchor::TopLeft, 1024, 768).tx, 1589 - tw);
    QImage canvas = blankCanvas();
    drawMonitorFrame(canvas, 1600, 1200, "1600 * 1200", gothic(), FrameAnchor::TopLeft,
                     kColorWhite);
    EXPECT_EQ(countPixels(canvas, kWhite), 1024 + 767); // only the top row and left column
    EXPECT_TRUE(redBounds(canvas).isEmpty());           // the label lies beyond the screen
}

TEST(MonitorFrame, DegenerateSizesDrawNoLinesButKeepTheLabel) {
    QImage canvas = blankCanvas();
    drawMonitorFrame(canvas, 0, 0, "0 * 0", gothic(), FrameAnchor::Center, kColorWhite);
    EXPECT_EQ(countPixels(canvas, kWhite), 0);
    const FrameLayout layout =
        monitorFrameLayout(0, 0, textWidth(gothic(), "0 * 0"), FrameAnchor::Center, 1024, 768);
    const QRect label = redBounds(canvas);
    ASSERT_FALSE(label.isEmpty());
    EXPECT_GE(label.left(), layout.tx);
    EXPECT_GE(label.top(), 389);

    QImage thin = blankCanvas(100, 100);
    drawMonitorFrame(thin, 1, 50, "", gothic(), FrameAnchor::TopLeft, kColorWhite);
    drawMonitorFrame(thin, 50, 1, "", gothic(), FrameAnchor::TopLeft, kColorWhite);
    EXPECT_EQ(countPixels(thin, kWhite), 0);
    drawMonitorFrame(thin, 2, 2, "", gothic(), FrameAnchor::TopLeft, kColorWhite);
    EXPECT_EQ(countPixels(thin, kWhite), 1);
    EXPECT_TRUE(isWhite(thin, 0, 0));
}

TEST(TextRendering, CellTopIsAtTheGivenPointOnATransparentBackground) {
    const QRgb blue = qRgb(0, 0, 200);
    const int ascent = QFontMetrics(toQFont(gothic())).ascent();
    for (const std::string text : {"■", "W"}) {
        QImage canvas = blankCanvas(200, 120, blue);
        drawTextItem(canvas, text, gothic(), 50, 40);
        const QRect glyph = redBounds(canvas);
        ASSERT_FALSE(glyph.isEmpty()) << text;
        EXPECT_GE(glyph.top(), 40) << text;
        EXPECT_LT(glyph.top(), 40 + ascent) << text;
        EXPECT_GE(glyph.left(), 50) << text;
        for (int x = 0; x < canvas.width(); ++x) // the cell's top row and all above keep the canvas
            for (int y = 0; y <= 40 && y < glyph.top(); ++y)
                ASSERT_EQ(canvas.pixel(x, y), blue) << text << " " << x << "," << y;
        EXPECT_EQ(canvas.pixel(glyph.left() - 1, glyph.center().y()), blue) << text;
        EXPECT_EQ(canvas.pixel(glyph.right() + 1, glyph.center().y()), blue) << text;
    }
}

TEST(TextRendering, MeasuresWidthAndCellHeight) {
    const QFontMetrics metrics(toQFont(gothic()));
    EXPECT_EQ(textHeight(gothic(), ""), 0);
    EXPECT_EQ(textHeight(gothic(), "a"), metrics.ascent() + metrics.descent());
    EXPECT_EQ(textHeight(gothic(), "■画"), textHeight(gothic(), "."));
    EXPECT_EQ(textWidth(gothic(), ""), 0);
    EXPECT_EQ(textWidth(gothic(), "画面"), 2 * textWidth(gothic(), "画")); // full-width cells
    EXPECT_GT(textWidth(gothic(), "WW"), textWidth(gothic(), "W"));
}

TEST(TextRendering, LinesStackByCellHeightPlusInterval) {
    const int h = textHeight(gothic(), "a");
    QImage single = blankCanvas(200, 200);
    drawTextItem(single, "b", gothic(), 10, 100);
    const int bOffset = redBounds(single).top() - 100;

    QImage lines = blankCanvas(200, 200);
    drawTextLines(lines, {"a", "", "b"}, gothic(), 3, 10, 20);
    QImage expected = blankCanvas(200, 200);
    drawTextItem(expected, "a", gothic(), 10, 20);
    drawTextItem(expected, "b", gothic(), 10, 20 + 2 * h + 6);
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(redBounds(lines, 20 + h).top(), 20 + 2 * h + 6 + bOffset);

    // No interval after the last line; an empty first line is as high as a blank.
    QImage one = blankCanvas(200, 200);
    drawTextLines(one, {"b"}, gothic(), 50, 10, 100);
    EXPECT_EQ(one, single);
    QImage blankFirst = blankCanvas(200, 200);
    drawTextLines(blankFirst, {"", "b"}, gothic(), 0, 10, 100 - h);
    EXPECT_EQ(blankFirst, single);
}

TEST(Fonts, HeightsBeyondTheLargestFontAreBoundedBeforeTheyAreNegated) {
    for (const int height : {INT_MIN, -1610612736, -kMaxFontPixels - 1}) {
        FontDescription font = gothic();
        font.height = height;
        EXPECT_EQ(toQFont(font).pixelSize(), kMaxFontPixels) << height;
    }
    FontDescription cell = gothic();
    cell.height = 1610612736;
    const int cellPixels = toQFont(cell).pixelSize();
    EXPECT_GT(cellPixels, kMaxFontPixels / 2);
    EXPECT_LE(cellPixels, kMaxFontPixels) << "a cell height loses its leading";
}

class MessageFile : public ::testing::Test {
protected:
    std::vector<std::string> read(const std::string& bytes) {
        test::writeFile(m_folder.file("message.txt"), bytes);
        return readMessageFile(m_folder.file("message.txt"));
    }
    test::TempFolder m_folder;
};

using Lines = std::vector<std::string>;

TEST_F(MessageFile, SplitsAtEveryKindOfLineBreak) {
    EXPECT_EQ(read("a\r\nb\r\n"), (Lines{"a", "b"}));
    EXPECT_EQ(read("a\rb\r\rc"), (Lines{"a", "b", "", "c"}));
    EXPECT_EQ(read("a\n\nb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(read("a\r\n\rb\n"), (Lines{"a", "", "b"}));
    EXPECT_EQ(read(""), Lines{});
    EXPECT_EQ(read("\n"), Lines{""});
    EXPECT_EQ(read("\r\n\r\n"), (Lines{"", ""}));
}

TEST_F(MessageFile, EndsAtTheFirstNul) {
    EXPECT_EQ(read(std::string("a\r\nb\0c\r\nd", 9)), (Lines{"a", "b"}));
    EXPECT_EQ(read(std::string("\0a", 2)), Lines{});
}

TEST_F(MessageFile, DecodesCodePage932AndUtf8) {
    EXPECT_EQ(read("\x89\xE6\x96\xCA\r\n\x83\x54\x83\x43\x83\x59"), (Lines{"画面", "サイズ"}));
    EXPECT_EQ(read("\xEF\xBB\xBF画面\nok"), (Lines{"画面", "ok"}));
    EXPECT_EQ(read("画面\nサイズ"), (Lines{"画面", "サイズ"}));
}

// Whatever the path names, only a regular file of a sane size is read, and without waiting.
class SpecialMessageFile : public MessageFile, public ::testing::WithParamInterface<const char*> {
protected:
    std::string make(const std::string& kind) {
        if (kind.front() == '/')
            return kind; // a device
        const std::string path = m_folder.file(kind);
        if (kind == "fifo") {
            EXPECT_TRUE(test::makeFifo(path));
        } else if (kind == "folder") {
            std::filesystem::create_directory(path);
        } else {
            test::writeFile(path, "");
            std::filesystem::resize_file(path, kMaxMessageFileBytes + 1); // sparse
        }
        return path;
    }
};

TEST_P(SpecialMessageFile, IsRefusedAtOnceWithTheUsersMessage) {
    const std::string path = make(GetParam());
    std::string error;
    const auto read = [&] {
        try {
            readMessageFile(path);
        } catch (const std::exception& raised) {
            error = raised.what();
        }
    };
    EXPECT_TRUE(test::returnsPromptly(read, path)) << "still reading after three seconds";
    EXPECT_EQ(error, "ファイル " + path + " は開けません");
}

INSTANTIATE_TEST_SUITE_P(Kinds, SpecialMessageFile,
                         ::testing::Values("fifo", "folder", "/dev/zero", "larger"),
                         [](const auto& kind) { return test::nameOf(kind.param); });

TEST_F(MessageFile, MissingFileRaisesTheUsersMessage) {
    try {
        readMessageFile("/no/such");
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "ファイル /no/such は開けません");
    }
}

} // namespace
} // namespace zbpg

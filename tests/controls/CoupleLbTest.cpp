#include "controls/CoupleLb.h"

#include <QFontMetrics>
#include <QImage>
#include <gtest/gtest.h>

namespace zbpg {
namespace {

QFont pixelFont(int pixels) {
    QFont font;
    font.setPixelSize(pixels);
    return font;
}

// Counts the pixels of one colour within the given columns.
int countColor(const QImage& image, QRgb color, int fromX, int toX) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = std::max(fromX, 0); x < std::min(toX, image.width()); ++x)
            count += (image.pixel(x, y) & 0xFFFFFF) == (color & 0xFFFFFF);
    return count;
}

// A new label takes one empty line's room and, given some, fills it with the window colour and
// nothing else; its two parts then write in the window's text colour, the text at the left.
TEST(CoupleLabel, NewLabelPaintsOnlyItsBackgroundUntilGivenTexts) {
    TCoupleLabel label;
    EXPECT_EQ(label.size(), QSize(0, QFontMetrics(label.font()).height()));
    label.resize(40, 20);
    // Only what the label paints itself, over a colour no palette uses.
    QImage image(label.size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    label.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    const QRgb window = label.palette().color(QPalette::Window).rgb();
    EXPECT_EQ(countColor(image, window, 0, image.width()), 40 * 20);

    label.SetCaption("Caption");
    label.SetText("Text");
    label.resize(label.width() + 40, label.height()); // the text keeps to the left of its area
    image = label.grab().toImage();
    const QRgb text = label.palette().color(QPalette::WindowText).rgb();
    EXPECT_GT(countColor(image, text, 0, label.TextRect().left()), 0);
    EXPECT_GT(countColor(image, text, label.TextRect().left(), image.width()), 0);
    EXPECT_EQ(countColor(image, text, image.width() - 40, image.width()), 0);
}

TEST(CoupleLabel, AccelMarkerTakesNoRoom) {
    TCoupleLabel label;
    label.SetCaption("Nam&e");
    const QFontMetrics metrics(label.font());
    EXPECT_EQ(label.CaptionRect().width(),
              metrics.horizontalAdvance("Name&") - metrics.horizontalAdvance('&'));
    EXPECT_NEAR(label.CaptionRect().width(), metrics.horizontalAdvance("Name"), 1);
    label.SetShowAccelChar(false);
    EXPECT_EQ(label.CaptionRect().width(), metrics.horizontalAdvance("Nam&e"));
}

TEST(CoupleLabel, AutoSizeFitsBothPartsAndThePitch) {
    TCoupleLabel label;
    label.SetTextFont(pixelFont(24));
    label.SetCaption("Size:");
    label.SetText("1234");
    label.SetPitch(10);
    const int captionWidth = QFontMetrics(label.font()).horizontalAdvance("Size:");
    const int textWidth = QFontMetrics(label.TextFont()).horizontalAdvance("1234");
    EXPECT_EQ(label.CaptionRect().width(), captionWidth);
    EXPECT_EQ(label.TextRect().left(), captionWidth + 10);
    EXPECT_EQ(label.width(), captionWidth + 10 + textWidth);
    EXPECT_EQ(label.height(), QFontMetrics(label.TextFont()).height());
    EXPECT_EQ(label.TextRect().right(), label.width() - 1);
    EXPECT_EQ(label.TextRect().bottom(), label.height() - 1);
}

TEST(CoupleLabel, BottomJustifiedPartsShareTheBaseline) {
    TCoupleLabel label;
    label.SetFont(pixelFont(12));
    label.SetTextFont(pixelFont(24));
    label.SetCaption("Total");
    label.SetText("42");
    const int captionBaseline = label.CaptionRect().top() + QFontMetrics(label.font()).ascent();
    const int textBaseline = label.TextRect().top() + QFontMetrics(label.TextFont()).ascent();
    EXPECT_NEAR(captionBaseline, textBaseline, 1);
    EXPECT_GT(label.CaptionRect().top(), 0);
    EXPECT_EQ(label.TextRect().top(), 0);

    // The larger caption on the left: now the text grows down to the common baseline.
    label.SetFont(pixelFont(24));
    label.SetTextFont(pixelFont(12));
    EXPECT_NEAR(label.CaptionRect().top() + QFontMetrics(label.font()).ascent(),
                label.TextRect().top() + QFontMetrics(label.TextFont()).ascent(), 1);
}

TEST(CoupleLabel, WithoutConsDescentBothBottomsMeetTheEdge) {
    TCoupleLabel label;
    label.SetFont(pixelFont(12));
    label.SetTextFont(pixelFont(24));
    label.SetCaption("Total");
    label.SetText("42");
    label.SetConsDescent(false);
    EXPECT_EQ(label.CaptionRect().bottom(), label.height() - 1);
    EXPECT_EQ(label.CaptionRect().height(), QFontMetrics(label.font()).height());
}

TEST(CoupleLabel, CenterAndTopAlignment) {
    TCoupleLabel label;
    label.SetFont(pixelFont(12));
    label.SetTextFont(pixelFont(24));
    label.SetCaption("Total");
    label.SetText("42");
    label.SetCoupleAlignment(caCenter);
    const int captionHeight = QFontMetrics(label.font()).height();
    EXPECT_EQ(label.CaptionRect().top(), (label.height() - captionHeight) / 2);
    EXPECT_EQ(label.CaptionRect().height(), captionHeight);
    label.SetCoupleAlignment(caTopJustify);
    EXPECT_EQ(label.CaptionRect().top(), 0);
    EXPECT_EQ(label.TextRect().top(), 0);
}

TEST(CoupleLabel, AlignmentAndEllipsisChangesKeepAManualSize) {
    TCoupleLabel label;
    label.SetCaption("A");
    label.SetText("B");
    label.resize(300, 40);
    label.SetTextAlignment(taRightJustify);
    label.SetTextEllipsis(teEndEllipsis);
    label.SetCoupleAlignment(caCenter);
    EXPECT_EQ(label.size(), QSize(300, 40));
    EXPECT_EQ(label.TextRect().right(), 299);
    label.SetText("BB"); // other properties fit the size again
    EXPECT_EQ(label.size(), label.sizeHint());
}

TEST(CoupleLabel, EllipsisShortensATooWideText) {
    TCoupleLabel label;
    label.SetAutoSize(false);
    label.SetCaption("Path:");
    const QString text = "abcdefghijklmnopqrstuvwxyz0123456789";
    label.SetText(text);
    label.resize(label.CaptionRect().width() + 80, 30);
    EXPECT_EQ(label.DisplayedText(), text);

    const QFontMetrics metrics(label.TextFont());
    label.SetTextEllipsis(teEndEllipsis);
    const QString end = label.DisplayedText();
    EXPECT_TRUE(end.endsWith(QChar(0x2026))) << end.toStdString();
    EXPECT_TRUE(end.startsWith("abc")) << end.toStdString();
    EXPECT_LE(metrics.horizontalAdvance(end), label.TextRect().width());

    label.SetTextEllipsis(tePathEllipsis);
    const QString middle = label.DisplayedText();
    EXPECT_TRUE(middle.startsWith("abc")) << middle.toStdString();
    EXPECT_TRUE(middle.endsWith("789")) << middle.toStdString();
    EXPECT_TRUE(middle.contains(QChar(0x2026)));
    EXPECT_LE(metrics.horizontalAdvance(middle), label.TextRect().width());
}

TEST(CoupleLabel, PaintsBothPartsInTheirColours) {
    TCoupleLabel label;
    label.SetCaption("Caption");
    label.SetFontColor(Qt::blue);
    label.SetTextFontColor(Qt::red);
    label.SetColor(Qt::white);
    label.SetPitch(4);
    label.SetText("Text");
    const int split = label.TextRect().left();
    QImage image = label.grab().toImage();
    EXPECT_GT(countColor(image, qRgb(0, 0, 255), 0, split), 0);
    EXPECT_GT(countColor(image, qRgb(255, 0, 0), split, image.width()), 0);
    EXPECT_EQ(countColor(image, qRgb(255, 0, 0), 0, split), 0);
    EXPECT_GT(countColor(image, qRgb(255, 255, 255), 0, image.width()), 0);

    label.SetText("");
    image = label.grab().toImage();
    EXPECT_GT(countColor(image, qRgb(0, 0, 255), 0, split), 0);
    EXPECT_EQ(countColor(image, qRgb(255, 0, 0), 0, image.width()), 0);
}

TEST(CoupleLabel, DoubledAccelMarkerDrawsOneAmpersand) {
    TCoupleLabel shown;
    shown.SetColor(Qt::white);
    shown.SetFontColor(Qt::black);
    shown.SetCaption("&&");
    TCoupleLabel literal;
    literal.SetColor(Qt::white);
    literal.SetFontColor(Qt::black);
    literal.SetShowAccelChar(false);
    literal.SetCaption("&");
    literal.resize(shown.size());
    EXPECT_EQ(shown.grab().toImage(), literal.grab().toImage());
}

TEST(CoupleLabel, AccelMarkerUnderlinesTheNextLetter) {
    TCoupleLabel shown;
    shown.SetColor(Qt::white);
    shown.SetFontColor(Qt::black);
    shown.SetCaption("&Name");
    TCoupleLabel plain;
    plain.SetColor(Qt::white);
    plain.SetFontColor(Qt::black);
    plain.SetCaption("Name");
    plain.SetAutoSize(false); // kerning around the marker may differ by a pixel
    plain.resize(shown.size());
    const QImage underlined = shown.grab().toImage();
    const QImage bare = plain.grab().toImage();
    // The letters are the same; only the underline below the baseline differs.
    const int baseline = shown.CaptionRect().top() + QFontMetrics(shown.font()).ascent();
    EXPECT_EQ(underlined.copy(0, 0, underlined.width(), baseline),
              bare.copy(0, 0, bare.width(), baseline));
    EXPECT_NE(underlined, bare);
}

TEST(CoupleLabel, TransparentLabelLeavesTheBackground) {
    QWidget parent;
    parent.resize(200, 50);
    parent.setAutoFillBackground(true);
    QPalette palette = parent.palette();
    palette.setColor(QPalette::Window, QColor(10, 200, 30));
    parent.setPalette(palette);
    auto* label = new TCoupleLabel(&parent);
    label->SetColor(Qt::white);
    label->SetCaption("x");
    label->SetTransparent(true);
    const QImage image = parent.grab().toImage();
    EXPECT_EQ(countColor(image, qRgb(255, 255, 255), 0, label->width()), 0);
    label->SetTransparent(false);
    EXPECT_GT(countColor(parent.grab().toImage(), qRgb(255, 255, 255), 0, label->width()), 0);
}

} // namespace
} // namespace zbpg

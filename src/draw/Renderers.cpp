#include "draw/Renderers.h"

#include "base/Error.h"
#include "platform/os/RegularFile.h"
#include "text/Encoding.h"
#include "text/Texts.h"
#include "text/qt/QtConvert.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace zbpg {
namespace {

// The label sits 10 pixels in from the frame's side that faces the screen's middle, so that
// it stays readable whichever corner the frame is pinned to.
int labelLeftOfRightEdge(int x0, int w, int labelWidth) {
    return x0 + w - 1 - labelWidth - 10;
}

void fillFrameLines(QImage& canvas, int x0, int y0, int w, int h, const QColor& color) {
    // The rectangle's right and bottom are exclusive, so the lines lie on the columns x0 and
    // x0 + w - 2 and the rows y0 and y0 + h - 2, each pixel exact.
    const int right = x0 + w - 1;
    const int bottom = y0 + h - 1;
    if (right <= x0 || bottom <= y0)
        return;
    QPainter painter(&canvas);
    const int width = right - x0;
    const int height = bottom - y0;
    painter.fillRect(QRect(x0, y0, width, 1), color);
    painter.fillRect(QRect(x0, bottom - 1, width, 1), color);
    painter.fillRect(QRect(x0, y0, 1, height), color);
    painter.fillRect(QRect(right - 1, y0, 1, height), color);
}

// The height a line takes in a block of lines: an empty line is as high as a blank.
int lineHeight(const FontDescription& font, const std::string& line) {
    const int height = textHeight(font, line);
    return height != 0 ? height : textHeight(font, " ");
}

// Splits at CR LF, a lone CR and a lone LF; a break at the very end ends the last line
// rather than starting an empty one.
std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string current;
    bool pending = false; // characters (or a break) since the last line was taken
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            lines.push_back(current);
            current.clear();
            pending = false;
        } else {
            current += c;
            pending = true;
        }
    }
    if (pending)
        lines.push_back(current);
    return lines;
}

// The canvas carries its screen's density, and the text grows with it, as every text of that
// desktop does; frames and positions stay in the screen's own pixels.
FontDescription atCanvasDensity(const QImage& canvas, const FontDescription& font) {
    return fontAtDensity(font, canvas.logicalDpiY());
}

} // namespace

FontDescription fontAtDensity(FontDescription font, int dpi) {
    constexpr int kStandardDpi = 96;
    if (dpi > 0 && dpi != kStandardDpi)
        font.height =
            static_cast<int>(std::lround(font.height * static_cast<double>(dpi) / kStandardDpi));
    return font;
}

FrameLayout monitorFrameLayout(int w, int h, int labelWidth, FrameAnchor anchor, int sw, int sh) {
    FrameLayout layout;
    switch (anchor) {
    case FrameAnchor::TopLeft:
        layout.x0 = 0;
        layout.y0 = 0;
        layout.tx = labelLeftOfRightEdge(layout.x0, w, labelWidth);
        break;
    case FrameAnchor::BottomLeft:
        layout.x0 = 0;
        layout.y0 = sh - h;
        layout.tx = labelLeftOfRightEdge(layout.x0, w, labelWidth);
        break;
    case FrameAnchor::TopRight:
        layout.x0 = sw - w;
        layout.y0 = 0;
        layout.tx = layout.x0 + 10;
        break;
    case FrameAnchor::BottomRight:
        layout.x0 = sw - w;
        layout.y0 = sh - h;
        layout.tx = layout.x0 + 10;
        break;
    case FrameAnchor::Center:
        layout.x0 = (sw - w) / 2;
        layout.y0 = (sh - h) / 2;
        layout.tx = labelLeftOfRightEdge(layout.x0, w, labelWidth);
        break;
    }
    layout.ty = layout.y0 + 5;
    return layout;
}

void drawMonitorFrame(QImage& canvas, int w, int h, const std::string& label,
                      const FontDescription& font, FrameAnchor anchor, Color frameColor) {
    if (canvas.isNull())
        return;
    const FrameLayout layout =
        monitorFrameLayout(w, h, textWidth(atCanvasDensity(canvas, font), label), anchor,
                           canvas.width(), canvas.height());
    fillFrameLines(canvas, layout.x0, layout.y0, w, h, toQColor(frameColor));
    drawTextItem(canvas, label, font, layout.tx, layout.ty);
}

void drawTextItem(QImage& canvas, const std::string& text, const FontDescription& font, int x,
                  int y) {
    if (canvas.isNull() || text.empty())
        return;
    const QFont qfont = toQFont(atCanvasDensity(canvas, font));
    const QFontMetrics metrics(qfont);
    QPainter painter(&canvas);
    painter.setFont(qfont);
    painter.setPen(toQColor(font.color));
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.drawText(QPoint(x, y + metrics.ascent()), toQString(text));
}

void drawTextLines(QImage& canvas, const std::vector<std::string>& lines,
                   const FontDescription& font, int interval, int x, int y) {
    const FontDescription dense = atCanvasDensity(canvas, font);
    int top = y;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        drawTextItem(canvas, lines[i], font, x, top);
        top += lineHeight(dense, lines[i]);
        if (i + 1 < lines.size())
            top += interval;
    }
}

QSize textLinesSize(const std::vector<std::string>& lines, const FontDescription& font,
                    int interval) {
    QSize size(0, 0);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        size.setWidth(std::max(size.width(), textWidth(font, lines[i])));
        size.rheight() += lineHeight(font, lines[i]) + (i + 1 < lines.size() ? interval : 0);
    }
    return size;
}

int textWidth(const FontDescription& font, const std::string& text) {
    return QFontMetrics(toQFont(font)).horizontalAdvance(toQString(text));
}

int textHeight(const FontDescription& font, const std::string& text) {
    if (text.empty())
        return 0;
    return QFontMetrics(toQFont(font)).height();
}

std::vector<std::string> readMessageFile(const std::string& path) {
    auto read = platform::readRegularFile(path, kMaxMessageFileBytes);
    if (!read)
        throw Error(formatMessage(texts::kCannotOpenFile, path));
    std::string bytes = std::move(*read);
    // The text ends at the first NUL, as a C string read of the file would.
    if (const auto nul = bytes.find('\0'); nul != std::string::npos)
        bytes.resize(nul);
    return splitLines(decodeTextBytes(bytes));
}

} // namespace zbpg

#include "controls/GradBox.h"

#include "text/qt/QtConvert.h"

#include <QEvent>
#include <QPainter>

namespace zbpg {
namespace {

Color rgbColor(int red, int green, int blue) {
    return static_cast<Color>(red | (green << 8) | (blue << 16));
}

// 256 colours from start to end; the ends keep their stored form, so a system colour stays
// one.
std::array<Color, 256> buildTable(Color start, Color end) {
    const QColor from = toQColor(start);
    const QColor to = toQColor(end);
    const int starts[3] = {from.red(), from.green(), from.blue()};
    const int ends[3] = {to.red(), to.green(), to.blue()};
    long double steps[3];
    long double levels[3];
    for (int c = 0; c < 3; ++c) {
        steps[c] = (starts[c] - ends[c]) / 255.0L;
        levels[c] = starts[c];
    }
    std::array<Color, 256> table{};
    table[0] = start;
    for (std::size_t i = 1; i < 255; ++i) {
        for (int c = 0; c < 3; ++c)
            levels[c] -= steps[c];
        table[i] = rgbColor(static_cast<int>(levels[0]), static_cast<int>(levels[1]),
                            static_cast<int>(levels[2]));
    }
    table[255] = end;
    return table;
}

template <typename T> bool assign(T& field, const T& value) {
    if (field == value)
        return false;
    field = value;
    return true;
}

} // namespace

TGradBox::TGradBox(QWidget* parent) : QWidget(parent) {
    resize(200, 100);
}

void TGradBox::SetTopColor(Color value) {
    if (assign(FTopColor, value))
        update();
}

void TGradBox::SetLastColor(Color value) {
    if (assign(FLastColor, value))
        update();
}

void TGradBox::SetGradStyle(TGradStyle value) {
    if (assign(FGradStyle, value))
        update();
}

// The outline colour, back font and depth only show in some modes: repaint only then.
void TGradBox::SetOutLineColor(Color value) {
    if (assign(FOutLineColor, value) && FDrawOutLine)
        update();
}

void TGradBox::SetDrawOutLine(bool value) {
    if (assign(FDrawOutLine, value))
        update();
}

void TGradBox::SetCaption(const QString& value) {
    if (assign(FCaption, value))
        update();
}

void TGradBox::SetCaptionLeft(int value) {
    if (assign(FCaptionLeft, value))
        update();
}

void TGradBox::SetCaptionTop(int value) {
    if (assign(FCaptionTop, value))
        update();
}

void TGradBox::SetFontColor(Color value) {
    if (assign(FFontColor, value))
        update();
}

void TGradBox::SetFont3D(bool value) {
    if (assign(FFont3D, value))
        update();
}

void TGradBox::SetStyle3D(TFontStyle3D value) {
    if (assign(FStyle3D, value))
        update();
}

void TGradBox::SetFontDepth(std::uint8_t value) {
    if (assign(FFontDepth, value) && FFont3D)
        update();
}

void TGradBox::SetBackFont(Color value) {
    if (assign(FBackFont, value) && FFont3D)
        update();
}

void TGradBox::SetFont(const QFont& value) {
    if (value == font())
        return;
    setFont(value);
    update();
}

std::array<Color, 256> TGradBox::ColorTable() const {
    switch (FGradStyle) {
    case gsTopBottom:
    case gsLeftRight:
        return buildTable(FTopColor, FLastColor);
    case gsBottomTop:
    case gsRightLeft:
        return buildTable(FLastColor, FTopColor);
    case gsNone:
        break;
    }
    return FLastTable;
}

void TGradBox::paintEvent(QPaintEvent*) {
    {
        QPainter painter(this);
        if (FGradStyle != gsNone) {
            FLastTable = ColorTable();
            paintGradient(painter, FLastTable);
        }
        if (FDrawOutLine) {
            painter.setPen(toQColor(FOutLineColor));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(0, 0, width() - 1, height() - 1);
        }
        paintCaption(painter);
    }
    if (OnPaint)
        OnPaint(this);
}

void TGradBox::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange)
        update();
}

void TGradBox::paintGradient(QPainter& painter, const std::array<Color, 256>& table) {
    const bool vertical = FGradStyle == gsTopBottom || FGradStyle == gsBottomTop;
    const int length = vertical ? height() : width();
    const double step = length / 255.0;
    // Bands overlap by up to a pixel so that rounding leaves no gaps.
    const int band = static_cast<int>(step + 1);
    for (int i = 0; i < 256; ++i) {
        const int start = i == 0 ? 0 : static_cast<int>((i - 1) * step);
        const QRect area =
            vertical ? QRect(0, start, width(), band) : QRect(start, 0, band, height());
        painter.fillRect(area, toQColor(table[static_cast<std::size_t>(i)]));
    }
}

void TGradBox::paintCaption(QPainter& painter) {
    if (FCaption.isEmpty())
        return;
    const QRect area(FCaptionLeft, FCaptionTop, width() - FCaptionLeft, height() - FCaptionTop);
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextExpandTabs;
    painter.setFont(font());
    const auto drawAt = [&](int offset, const QColor& color) {
        painter.setPen(color);
        painter.drawText(area.translated(offset, offset), flags, FCaption);
    };
    if (!isEnabled()) {
        // Engraved, as disabled text is drawn.
        drawAt(1, Qt::white);
        drawAt(0, QColor(0x80, 0x80, 0x80));
        return;
    }
    if (FFont3D) {
        const QColor back = toQColor(FBackFont);
        const int depth = FFontDepth;
        switch (FStyle3D) {
        case fsLowShadow:
            drawAt(depth, back);
            break;
        case fsRaiseShadow:
            drawAt(-depth, back);
            break;
        case fsLow3D:
            for (int d = 1; d <= depth; ++d)
                drawAt(d, back);
            break;
        case fsRaise3D:
            for (int d = 1; d <= depth; ++d)
                drawAt(-d, back);
            break;
        }
    }
    drawAt(0, toQColor(FFontColor));
}

} // namespace zbpg

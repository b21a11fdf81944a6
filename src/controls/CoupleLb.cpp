#include "controls/CoupleLb.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace zbpg {
namespace {

struct PartSize {
    int width = 0;
    int height = 0;
    int descent = 0;
};

// A single-line text's extent; a shown accelerator marker takes no room.
PartSize measure(const QFont& font, const QString& text, bool dropAccelMarker) {
    const QFontMetrics metrics(font);
    PartSize size{metrics.horizontalAdvance(text), metrics.height(), metrics.descent()};
    if (dropAccelMarker && text.contains(QLatin1Char('&')))
        size.width -= metrics.horizontalAdvance(QLatin1Char('&'));
    return size;
}

int horizontalFlag(TAlignment alignment) {
    switch (alignment) {
    case taRightJustify:
        return Qt::AlignRight;
    case taCenter:
        return Qt::AlignHCenter;
    case taLeftJustify:
        break;
    }
    return Qt::AlignLeft;
}

} // namespace

TCoupleLabel::TCoupleLabel(QWidget* parent)
    : QWidget(parent), FTextFont(font()), FFontColor(palette().color(QPalette::WindowText)),
      FTextFontColor(palette().color(QPalette::WindowText)),
      FColor(palette().color(QPalette::Window)) {
    UpdateLayout();
}

void TCoupleLabel::SetCaption(const QString& value) {
    FCaption = value;
    UpdateLayout();
}

void TCoupleLabel::SetFont(const QFont& value) {
    setFont(value);
    UpdateLayout();
}

void TCoupleLabel::SetFontColor(const QColor& value) {
    FFontColor = value;
    UpdateLayout();
}

void TCoupleLabel::SetText(const QString& value) {
    FText = value;
    UpdateLayout();
}

void TCoupleLabel::SetTextFont(const QFont& value) {
    FTextFont = value;
    UpdateLayout();
}

void TCoupleLabel::SetTextFontColor(const QColor& value) {
    FTextFontColor = value;
    UpdateLayout();
}

void TCoupleLabel::SetPitch(int value) {
    if (value == FPitch)
        return;
    FPitch = value;
    UpdateLayout();
}

void TCoupleLabel::SetCoupleAlignment(TCoupleAlignment value) {
    if (value == FCoupleAlignment)
        return;
    FCoupleAlignment = value;
    layOut(false);
}

void TCoupleLabel::SetConsDescent(bool value) {
    if (value == FConsDescent)
        return;
    FConsDescent = value;
    UpdateLayout();
}

void TCoupleLabel::SetAutoSize(bool value) {
    FAutoSize = value;
    UpdateLayout();
}

void TCoupleLabel::SetTextAlignment(TAlignment value) {
    if (value == FTextAlignment)
        return;
    FTextAlignment = value;
    layOut(false);
}

void TCoupleLabel::SetTextEllipsis(TTextEllipsis value) {
    if (value == FTextEllipsis)
        return;
    FTextEllipsis = value;
    layOut(false);
}

void TCoupleLabel::SetShowAccelChar(bool value) {
    if (value == FShowAccelChar)
        return;
    FShowAccelChar = value;
    UpdateLayout();
}

void TCoupleLabel::SetTransparent(bool value) {
    FTransparent = value;
    UpdateLayout();
}

void TCoupleLabel::SetColor(const QColor& value) {
    FColor = value;
    UpdateLayout();
}

QString TCoupleLabel::DisplayedText() const {
    const QFontMetrics metrics(FTextFont);
    switch (FTextEllipsis) {
    case teEndEllipsis:
        return metrics.elidedText(FText, Qt::ElideRight, FTextRect.width());
    case tePathEllipsis:
        return metrics.elidedText(FText, Qt::ElideMiddle, FTextRect.width());
    case teNone:
        break;
    }
    return FText;
}

void TCoupleLabel::UpdateLayout() {
    layOut(FAutoSize);
}

QSize TCoupleLabel::sizeHint() const {
    const PartSize caption = measure(font(), FCaption, FShowAccelChar);
    const PartSize text = measure(FTextFont, FText, false);
    return {caption.width + FPitch + text.width, std::max(caption.height, text.height)};
}

void TCoupleLabel::layOut(bool resizeToFit) {
    if (resizeToFit) {
        resize(sizeHint());
        updateGeometry(); // a layout holding the label takes the new size
    }
    PartSize caption = measure(font(), FCaption, FShowAccelChar);
    PartSize text = measure(FTextFont, FText, false);
    const int labelHeight = height();
    int captionTop = 0;
    int textTop = 0;
    switch (FCoupleAlignment) {
    case caBottomJustify:
        if (FConsDescent) {
            // Growing the part with the smaller descent downwards puts both baselines on
            // one line once both stand on the bottom edge.
            if (text.descent < caption.descent)
                text.height += caption.descent - text.descent;
            else
                caption.height += text.descent - caption.descent;
        }
        captionTop = labelHeight - caption.height;
        textTop = labelHeight - text.height;
        break;
    case caCenter:
        captionTop = (labelHeight - caption.height) / 2;
        textTop = (labelHeight - text.height) / 2;
        break;
    case caTopJustify:
        break;
    }
    FCaptionRect = QRect(0, captionTop, caption.width, caption.height);
    const int textLeft = caption.width + FPitch;
    FTextRect = QRect(textLeft, textTop, width() - textLeft, labelHeight - textTop);
    update();
}

void TCoupleLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!FTransparent)
        painter.fillRect(rect(), FColor);
    const int captionFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine |
                             (FShowAccelChar ? Qt::TextShowMnemonic : 0);
    painter.setFont(font());
    painter.setPen(FFontColor);
    painter.drawText(FCaptionRect, captionFlags, FCaption);
    if (FText.isEmpty() || FTextRect.isEmpty())
        return;
    painter.setFont(FTextFont);
    painter.setPen(FTextFontColor);
    painter.setClipRect(FTextRect);
    painter.drawText(FTextRect, horizontalFlag(FTextAlignment) | Qt::AlignTop | Qt::TextSingleLine,
                     DisplayedText());
}

void TCoupleLabel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The text area runs to the right edge and the parts stand on the bottom edge.
    layOut(false);
}

} // namespace zbpg

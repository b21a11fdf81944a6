#include "controls/SCB.h"

#include "platform/dialogs/DialogService.h"
#include "text/qt/QtConvert.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <qdrawutil.h>

namespace zbpg {
namespace {

constexpr int kDefaultWidth = 90;
constexpr int kDefaultHeight = 25;
constexpr int kSwatchMargin = 5;
constexpr int kReleaseCheckMs = 100;

} // namespace

TSelectColorButton::TSelectColorButton(QWidget* parent)
    : QWidget(parent), FReleaseTimer(new QTimer(this)) {
    FReleaseTimer->setInterval(kReleaseCheckMs);
    connect(FReleaseTimer, &QTimer::timeout, this, &TSelectColorButton::releaseTimerTick);
    // The button is worked with the mouse only; it never takes the keyboard focus.
    setFocusPolicy(Qt::NoFocus);
    resize(kDefaultWidth, kDefaultHeight);
}

void TSelectColorButton::SetColor(zbpg::Color value) {
    if (value == FColor)
        return;
    FColor = value;
    repaint();
}

QSize TSelectColorButton::sizeHint() const {
    return {kDefaultWidth, kDefaultHeight};
}

void TSelectColorButton::paintEvent(QPaintEvent*) {
    ++FPaintCount;
    QPainter painter(this);
    qDrawWinPanel(&painter, rect(), palette(), FPressed);
    // The swatch stays put while pressed so the colour does not seem to jump; its outline is
    // part of it, so it ends 5 pixels short of the right and bottom edges.
    const QRect swatch(kSwatchMargin, kSwatchMargin, width() - 2 * kSwatchMargin,
                       height() - 2 * kSwatchMargin);
    if (swatch.width() <= 0 || swatch.height() <= 0)
        return;
    painter.fillRect(swatch, toQColor(FColor));
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
}

void TSelectColorButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        press();
}

void TSelectColorButton::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        press();
}

void TSelectColorButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    FReleaseTimer->stop();
    if (!FPressed) {
        repaint();
        return;
    }
    // The dialog starts at black, not at the current colour.
    if (const auto chosen = platform::dialogService().chooseColor(kColorBlack))
        SetColor(*chosen);
    FPressed = false;
    repaint();
    if (OnClick)
        OnClick(this);
}

void TSelectColorButton::press() {
    FReleaseTimer->start();
    FPressed = true;
    repaint();
}

// Polled rather than tracked through mouse moves, so leaving the button cancels the press even
// when the pointer is already over another window.
void TSelectColorButton::releaseTimerTick() {
    const QPoint cursor = mapFromGlobal(QCursor::pos());
    if (cursor.x() < 0 || cursor.y() < 0 || cursor.x() > width() || cursor.y() > height()) {
        FPressed = false;
        repaint();
        FReleaseTimer->stop();
    }
}

} // namespace zbpg

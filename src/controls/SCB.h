#pragma once

#include "text/ColorText.h"

#include <QWidget>
#include <functional>

class QTimer;

namespace zbpg {

enum TColorDialogOption {
    cdFullOpen = 1,
    cdPreventFullOpen = 2,
    cdShowHelp = 4,
    cdSolidColor = 8,
    cdAnyColor = 16,
};

// A push button showing a colour swatch; pressing and releasing it with the left mouse button
// runs the colour dialog (through the platform's dialog service). Leaving the button with the
// mouse button held cancels the press. OnClick fires after the dialog has closed, confirmed or
// cancelled alike.
class TSelectColorButton final : public QWidget {
    Q_OBJECT
public:
    explicit TSelectColorButton(QWidget* parent = nullptr);

    zbpg::Color Color() const { return FColor; }
    // Repaints only when the value changes.
    void SetColor(zbpg::Color value);
    int Options() const { return FOptions; }
    void SetOptions(int value) { FOptions = value; }
    bool Pressed() const { return FPressed; }

    std::function<void(QObject* sender)> OnClick;

    // How often the button has painted itself (lets tests see that an unchanged colour does
    // not repaint).
    int PaintCount() const { return FPaintCount; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void press();
    void releaseTimerTick();

    zbpg::Color FColor = 0x00FFFF;
    int FOptions = 0;
    bool FPressed = false;
    QTimer* FReleaseTimer;
    int FPaintCount = 0;
};

} // namespace zbpg

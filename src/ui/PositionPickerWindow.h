#pragma once

#include "controls/EditUpDown.h"
#include "ui/PositionPicker.h"

#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

class QLabel;

namespace zbpg {

// The full-screen picker: a window without border or caption that covers the screen with the
// desktop as painted and carries the item's text as a preview one pixel right of and below the
// pointer. Enter or the left button takes the preview's top left corner into the fields;
// Escape or the right button ends the pick without a change; any other key or button does
// nothing. The window is never modal: the settings window waits behind it.
class TFormWallpaper final : public QWidget, public PositionPicker {
    Q_OBJECT
public:
    explicit TFormWallpaper(QWidget* parent = nullptr);

    void PickTextPosition(const std::string& text, const FontDescription& font, TEditUpDown& editX,
                          TEditUpDown& editY) override;
    void PickLinesPosition(const std::vector<std::string>& lines, const FontDescription& font,
                           TEditUpDown& editX, TEditUpDown& editY, int interval) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void startPick(TEditUpDown& editX, TEditUpDown& editY);
    void FormPaint(QPainter& painter, const QRect& area);
    void FormMouseMove(int x, int y);
    void ImageObjMouseMove(int x, int y);
    void FormKeyPress(int key);
    void FormMouseDown(Qt::MouseButton button);
    void takePosition();
    void endPick();

    QLabel* ImageObj;
    bool FPicking = false;
    QPointer<TEditUpDown> FEditX;
    QPointer<TEditUpDown> FEditY;
    // The preview as rendered: transparent wherever there is no glyph.
    QImage FTextBitmap;
    // The desktop as painted when the pick started.
    QPixmap FDesktop;
};

} // namespace zbpg

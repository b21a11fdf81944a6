#include "ui/PositionPickerWindow.h"

#include "draw/Renderers.h"
#include "platform/desktop/DesktopService.h"
#include "platform/desktop/qt/DesktopPicture.h"
#include "text/Texts.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace zbpg {
namespace {

// A picture that shows nothing but what is drawn on it: the preview's glyphs stand alone over
// the desktop, whatever their colour.
QImage clearImage(QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// The preview is drawn at the standard density in the font as the screen shows it, so it is
// as large as the text the run draws for this screen.
FontDescription atScreenDensity(const FontDescription& font) {
    return fontAtDensity(font, platform::DesktopPicture::screenDpi());
}

QSize screenSize() {
    auto& desktop = platform::desktopService();
    return {desktop.screenWidth(), desktop.screenHeight()};
}

// Where the primary monitor starts: the run lays its drawing out there, whatever monitors lie
// to its left or above it.
QPoint primaryOrigin() {
    const QScreen* primary = QGuiApplication::primaryScreen();
    return primary != nullptr ? primary->geometry().topLeft() : QPoint(0, 0);
}

} // namespace

TFormWallpaper::TFormWallpaper(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      ImageObj(new QLabel(this)) {
    setObjectName("FormWallpaper");
    ImageObj->setObjectName("ImageObj");
    setWindowTitle(texts::kProgramName);
    setFocusPolicy(Qt::StrongFocus);
    // The preview follows the pointer without a button held.
    setMouseTracking(true);
    ImageObj->setMouseTracking(true);
    ImageObj->installEventFilter(this);
    // The desktop picture covers the whole window.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TFormWallpaper::PickTextPosition(const std::string& text, const FontDescription& font,
                                      TEditUpDown& editX, TEditUpDown& editY) {
    const FontDescription dense = atScreenDensity(font);
    FTextBitmap = clearImage(QSize(textWidth(dense, text), textHeight(dense, text)));
    drawTextItem(FTextBitmap, text, dense, 0, 0);
    startPick(editX, editY);
}

void TFormWallpaper::PickLinesPosition(const std::vector<std::string>& lines,
                                       const FontDescription& font, TEditUpDown& editX,
                                       TEditUpDown& editY, int interval) {
    const FontDescription dense = atScreenDensity(font);
    FTextBitmap = clearImage(textLinesSize(lines, dense, interval));
    drawTextLines(FTextBitmap, lines, dense, interval, 0, 0);
    startPick(editX, editY);
}

void TFormWallpaper::startPick(TEditUpDown& editX, TEditUpDown& editY) {
    const QSize screen = screenSize();
    const QPoint origin = primaryOrigin();
    setGeometry(QRect(origin, screen));
    ImageObj->setPixmap(QPixmap::fromImage(FTextBitmap));
    ImageObj->resize(FTextBitmap.size());
    editX.SetMax(static_cast<std::int16_t>(screen.width() - 1));
    editY.SetMax(static_cast<std::int16_t>(screen.height() - 1));
    FEditX = &editX;
    FEditY = &editY;
    FPicking = true;
    FDesktop = QPixmap::fromImage(platform::DesktopPicture::paintDesktop(screen));
    show();
    activateWindow();
    setFocus(Qt::OtherFocusReason);
    // The pick starts where the text is placed now. The pointer is put there once the window
    // is shown, so that the window sees it arrive; a later move back to where the pointer was
    // last seen would otherwise count as no move. The preview goes beside the pointer at once,
    // before any move.
    const QPoint pointer(editX.Position(), editY.Position());
    FormMouseMove(pointer.x(), pointer.y());
    QCursor::setPos(origin + pointer);
}

void TFormWallpaper::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    FormPaint(painter, event->rect());
}

void TFormWallpaper::FormPaint(QPainter& painter, const QRect& area) {
    painter.drawPixmap(area, FDesktop, area);
}

void TFormWallpaper::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    FormMouseMove(point.x(), point.y());
}

void TFormWallpaper::FormMouseMove(int x, int y) {
    if (FPicking)
        ImageObj->move(x + 1, y + 1);
}

bool TFormWallpaper::eventFilter(QObject* watched, QEvent* event) {
    if (watched != ImageObj)
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::MouseMove) {
        const QPoint point = static_cast<QMouseEvent*>(event)->position().toPoint();
        ImageObjMouseMove(point.x(), point.y());
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress) {
        // A press over the preview is a press on the desktop beneath it.
        FormMouseDown(static_cast<QMouseEvent*>(event)->button());
        return true;
    }
    return false;
}

void TFormWallpaper::ImageObjMouseMove(int x, int y) {
    // The point is the preview's own: the preview steps out from under the pointer again.
    if (FPicking)
        ImageObj->move(ImageObj->x() + x + 1, ImageObj->y() + y + 1);
}

void TFormWallpaper::keyPressEvent(QKeyEvent* event) {
    FormKeyPress(event->key());
}

void TFormWallpaper::FormKeyPress(int key) {
    if (!FPicking)
        return;
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        takePosition();
    else if (key == Qt::Key_Escape)
        endPick();
}

void TFormWallpaper::mousePressEvent(QMouseEvent* event) {
    FormMouseDown(event->button());
}

void TFormWallpaper::FormMouseDown(Qt::MouseButton button) {
    if (!FPicking)
        return;
    if (button == Qt::LeftButton)
        takePosition();
    else if (button == Qt::RightButton)
        endPick();
}

void TFormWallpaper::takePosition() {
    // The fields bound the place to the screen and mark the settings changed, as a typed
    // place does.
    if (FEditX != nullptr)
        FEditX->SetPosition(ImageObj->x());
    if (FEditY != nullptr)
        FEditY->SetPosition(ImageObj->y());
    endPick();
}

void TFormWallpaper::endPick() {
    FPicking = false;
    hide();
}

void TFormWallpaper::closeEvent(QCloseEvent* event) {
    // Closed by other means than the pick's own keys (the window manager's close): the pick
    // ends with the fields as they are.
    FPicking = false;
    QWidget::closeEvent(event);
}

} // namespace zbpg

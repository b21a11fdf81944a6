#include "platform/desktop/qt/DesktopPicture.h"

#include "base/Error.h"
#include "platform/desktop/DesktopService.h"
#include "platform/desktop/PictureLimits.h"
#include "platform/desktop/WallpaperValues.h"
#include "platform/desktop/WaylandCompositor.h"
#include "platform/desktop/qt/ScreenPictureFile.h"
#include "platform/desktop/qt/SessionDesktop.h"
#include "platform/desktop/qt/XRootWindow.h"
#include "platform/os/AtomicFile.h"
#include "platform/os/RegularFile.h"
#include "platform/os/XdgPaths.h"
#include "text/Texts.h"
#include "text/qt/QtConvert.h"

#include <QBuffer>
#include <QByteArray>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QScreen>
#include <QString>
#include <QtGlobal>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <future>
#include <memory>
#include <optional>

namespace zbpg::platform {
namespace {

constexpr QSize kFallbackScreen(1024, 768);
// Qt's readers count their limit in MiB of 32-bit pixels.
constexpr int kQtAllocationLimitMiB = static_cast<int>(kMaxPictureImageBytes >> 20);

bool keepPicture(const std::string& encoded) {
    return makeFolders(appCacheFolder()) &&
           writeFileAtomically(DesktopPicture::keptPicturePath(), encoded,
                               Durability::RemadeAtNextRun, AtLink::ReplaceLink);
}

// Shows the picture on the root window and keeps it; paintMonitor paints the other monitors
// when the root window has no wallpaper yet.
bool showAndKeep(const QImage& picture, const MonitorPainter& paintMonitor) {
    // The kept file is encoded while the X server takes the picture. The thread holds its own
    // reference, so the pixels stay as they are while it reads them.
    auto encoded = std::async(std::launch::async, [picture] { return encodeScreenPng(picture); });
    const RootWindow root =
        showOnRootWindow(picture, DesktopPicture::backgroundColor(), paintMonitor);
    if (root == RootWindow::Refused)
        return false;
    if (keepPicture(encoded.get()))
        return true;
    const std::string problem =
        formatMessage(texts::kCannotCreateFile, DesktopPicture::keptPicturePath());
    // The X desktop shows the picture whether or not it can be kept; without an X server the
    // kept picture is all there is, and nothing has been shown.
    if (root == RootWindow::Absent)
        throw Error(problem);
    throw PictureNotKept(problem);
}

} // namespace

// A picture file the user names: read only when it is a regular file of a picture within the
// program's limit, so that a FIFO, a device or a huge file is never waited for; decoded within
// the same limit. A null image when it cannot be had.
QImage DesktopPicture::loadPicture(const std::string& path) {
    auto bytes = readRegularFile(path, kMaxPictureFileBytes);
    if (!bytes)
        return {};
    // The program's own screen pictures are read back at every logon run on a desktop that
    // paints its own background.
    if (QImage own = decodeScreenPng(*bytes, kMaxPictureImageBytes); !own.isNull())
        return own;
    // Screen-sized bitmaps too: the rotation's converted picture, another tool's drawing.
    if (QImage plain = decodePlainBmp(*bytes, kMaxPictureImageBytes); !plain.isNull())
        return plain;
    // Qt's own limit (128 MiB in Qt 6.4) would refuse pictures the rotation converts: the
    // largest of them is what Qt may allocate.
    QImageReader::setAllocationLimit(kQtAllocationLimitMiB);
    QByteArray data = QByteArray::fromRawData(bytes->data(), static_cast<qsizetype>(bytes->size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    // The name's suffix is tried first, as loading a file by name does; the content decides.
    QImageReader reader(&buffer, QFileInfo(toQString(path)).suffix().toLatin1());
    return reader.read();
}

ScreenPicture DesktopPicture::screenPictureOf(const QImage& picture) {
    if (picture.isNull())
        return {};
    auto owner = std::make_shared<const QImage>(
        picture.format() == QImage::Format_RGB32 ? picture
                                                 : picture.convertToFormat(QImage::Format_RGB32));
    const std::uint8_t* bits = owner->constBits();
    return ScreenPicture(owner->width(), owner->height(),
                         static_cast<std::size_t>(owner->bytesPerLine()),
                         std::shared_ptr<const std::uint8_t>(owner, bits));
}

QImage DesktopPicture::imageOf(const ScreenPicture& picture) {
    if (picture.isNull())
        return {};
    // Read-only pixels: Qt copies them before anything could change them.
    return QImage(picture.bits(), picture.width(), picture.height(),
                  static_cast<qsizetype>(picture.bytesPerLine()), QImage::Format_RGB32);
}

QImage DesktopPicture::compose(const QImage& wallpaper, QSize screen, WallpaperStyle style,
                               const QColor& background) {
    // A picture made for this screen covers it whatever the placement: it is shown as it is.
    if (wallpaper.size() == screen && wallpaper.format() == QImage::Format_RGB32 &&
        style != WallpaperStyle::ColourOnly)
        return wallpaper;
    QImage result(screen, QImage::Format_RGB32);
    result.fill(background);
    if (wallpaper.isNull() || result.isNull())
        return result;
    QPainter painter(&result);
    const auto drawCentred = [&](const QImage& picture) {
        painter.drawImage((screen.width() - picture.width()) / 2,
                          (screen.height() - picture.height()) / 2, picture);
    };
    switch (style) {
    case WallpaperStyle::Center:
    case WallpaperStyle::Screen:
        drawCentred(wallpaper);
        break;
    case WallpaperStyle::Cover:
    case WallpaperStyle::Span: // all monitors together; the primary screen sees its middle
        drawCentred(
            wallpaper.scaled(screen, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation));
        break;
    case WallpaperStyle::Fit:
        drawCentred(wallpaper.scaled(screen, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        break;
    case WallpaperStyle::ColourOnly:
        break;
    case WallpaperStyle::Tile:
        for (int y = 0; y < screen.height(); y += wallpaper.height())
            for (int x = 0; x < screen.width(); x += wallpaper.width())
                painter.drawImage(x, y, wallpaper);
        break;
    case WallpaperStyle::Stretch:
        painter.drawImage(
            0, 0, wallpaper.scaled(screen, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        break;
    }
    return result;
}

bool DesktopPicture::setDeskWallpaper(const std::string& path, WallpaperStyle style) {
    const QImage wallpaper = path.empty() ? QImage() : loadPicture(path);
    if (!path.empty() && wallpaper.isNull())
        return false;
    const QColor background = backgroundColor();
    // A new wallpaper is what every monitor shows when nothing is shown yet.
    return showAndKeep(compose(wallpaper, screenSize(), style, background), [&](QSize monitor) {
        return compose(wallpaper, monitor, style, background);
    });
}

bool DesktopPicture::showScreenPicture(const QImage& picture) {
    return showAndKeep(picture, paintRecorded);
}

std::optional<DesktopWallpaper> DesktopPicture::keepOtherProgramsWallpaper() {
    if (!readWallpaperValue(WallpaperValue::Wallpaper).empty() ||
        rootWallpaperSetter() != RootWallpaperSetter::AnotherProgram)
        return std::nullopt;
    const auto shown = rootWallpaper(screenSize(), backgroundColor());
    const std::string path = appCacheFolder() + "/" + texts::kAdoptedWallpaperName;
    // Once the other program's pixmap is gone, this file is the only copy of the user's picture.
    if (!shown || !makeFolders(appCacheFolder()) ||
        !writeFileAtomically(path, encodeScreenPng(*shown), Durability::SurvivesPowerLoss,
                             AtLink::ReplaceLink))
        return std::nullopt;
    return DesktopWallpaper{path, WallpaperStyle::Screen, std::nullopt};
}

QImage DesktopPicture::paintDesktop(QSize screen) {
    if (SessionDesktop session; session.kind() == SessionDesktop::Kind::Desktop) {
        // The desktop paints its own background: a root pixmap is none of its business.
        if (auto shown = session.paintDesktop(screen))
            return *shown;
        return paintRecorded(screen);
    }
    if (auto shown = rootWallpaper(screen, backgroundColor()))
        return *shown;
    return paintRecorded(screen);
}

QImage DesktopPicture::paintRecorded(QSize screen) {
    // No wallpaper has been set in this session (the state at logon, or no X server at all):
    // the desktop starts from the user's recorded wallpaper, never from an earlier drawing.
    const DesktopWallpaper recorded = recordedWallpaper();
    const QImage wallpaper = recorded.file.empty() ? QImage() : loadPicture(recorded.file);
    return compose(wallpaper, screen, recorded.style, backgroundColor());
}

QColor DesktopPicture::backgroundColor() {
    const auto colour = recordedBackgroundColour();
    return colour ? QColor::fromRgb(*colour) : QColor(Qt::black);
}

std::string DesktopPicture::keptPicturePath() {
    return appCacheFolder() + "/" + texts::kKeptPictureName;
}

QSize DesktopPicture::screenSize() {
    if (const QSize size = xScreenSize(); size.isValid() && !size.isEmpty())
        return size;
    // Qt's size is in its own scaled units; the screen's pixels are what a picture covers.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            return screen->size() * screen->devicePixelRatio();
    return kFallbackScreen;
}

int DesktopPicture::screenDpi() {
    if (const auto dpi = xResourceDpi())
        return *dpi;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            return qRound(kStandardDpi * screen->devicePixelRatio());
    return kStandardDpi;
}

bool DesktopPicture::hasXServer() {
    return platform::hasXServer();
}

std::string DesktopPicture::sessionMark() {
    if (!isWaylandSession())
        if (const auto mark = xSessionMark())
            return *mark;
    // On Wayland or without an X server: the login session of this boot. A login that has no
    // session id (a compositor started by hand, a session restarted) is told by its compositor,
    // which every login starts anew, as the X server's mark is.
    std::ifstream bootFile("/proc/sys/kernel/random/boot_id");
    std::string boot;
    std::getline(bootFile, boot);
    const char* session = std::getenv("XDG_SESSION_ID");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const std::string compositor = waylandCompositorIdentity().value_or("");
    const std::size_t hash = std::hash<std::string>{}(boot + "/" + (session ? session : "") + "/" +
                                                      (wayland ? wayland : "") + "/" + compositor);
    char text[17];
    std::snprintf(text, sizeof text, "%016zx", hash);
    return text;
}

} // namespace zbpg::platform

#include "platform/desktop/qt/DesktopPicture.h"

#include "platform/os/AtomicFile.h"
#include "platform/store/Registry.h"
#include "platform/os/RegularFile.h"
#include "platform/desktop/WallpaperBackend.h"
#include "platform/os/XdgPaths.h"
#include "platform/desktop/qt/ScreenPictureFile.h"
#include "platform/desktop/qt/SessionDesktop.h"
#include "platform/desktop/qt/XRootWindow.h"
#include "base/Error.h"
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
#include <optional>
#include <sstream>
#include <sys/stat.h>

namespace zbpg::platform {
namespace {

constexpr const char* kDesktopKey = "Control Panel\\Desktop";
constexpr const char* kColorsKey = "Control Panel\\Colors";
constexpr QSize kFallbackScreen(1024, 768);
// The most bytes a picture file may hold when Qt sets no limit of its own.
constexpr std::size_t kMaxPictureBytes = std::size_t{256} * 1024 * 1024;

std::optional<std::string> registryText(const char* key, const char* name) {
    const auto value = Registry::currentUser().readValue(key, name);
    if (!value)
        return std::nullopt;
    if (value->type == RegValueType::Dword)
        return std::to_string(value->dword);
    if (value->type == RegValueType::Binary)
        return std::nullopt;
    return value->text;
}

bool registryFlag(const char* name, const char* expected) {
    auto text = registryText(kDesktopKey, name);
    if (!text)
        return false;
    std::istringstream words(*text);
    std::string word;
    return (words >> word) && word == expected && !(words >> word);
}

WallpaperPlacement placementFromRegistry() {
    if (registryFlag("TileWallpaper", "1"))
        return WallpaperPlacement::Tile;
    if (registryFlag("WallpaperStyle", "2"))
        return WallpaperPlacement::Stretch;
    return WallpaperPlacement::Center;
}

std::optional<int> colorComponent(const std::string& word) {
    if (word.empty() || word.size() > 3 ||
        !std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const int value = std::stoi(word);
    return value <= 255 ? std::optional<int>(value) : std::nullopt;
}

bool keepPicture(const QImage& picture) {
    const std::string folder = appCacheFolder();
    return makeFolders(folder) && writeScreenPicture(picture, DesktopPicture::keptPicturePath());
}

// The file a picture of this process was written to, as it was right after the write.
struct WrittenPicture {
    std::string path;
    struct stat file {};
    QImage picture;
};

std::optional<WrittenPicture>& writtenPicture() {
    static std::optional<WrittenPicture> written;
    return written;
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return S_ISREG(a.st_mode) && a.st_dev == b.st_dev && a.st_ino == b.st_ino &&
           a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
           a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

} // namespace

// A picture file the user names: read only when it is a regular file within the bytes Qt
// would allocate for an image, so that a FIFO, a device or a huge file is never waited for;
// decoded within Qt's image limits. A null image when it cannot be had.
QImage DesktopPicture::loadPicture(const std::string& path) {
    if (const auto& written = writtenPicture(); written && written->path == path) {
        struct stat now {};
        if (::stat(path.c_str(), &now) == 0 && sameFile(now, written->file))
            return written->picture;
    }
    const int limitInMiB = QImageReader::allocationLimit();
    const std::size_t maxBytes =
        limitInMiB > 0 ? static_cast<std::size_t>(limitInMiB) * 1024 * 1024 : kMaxPictureBytes;
    auto bytes = readRegularFile(path, maxBytes);
    if (!bytes)
        return {};
    // The program's own screen pictures are read back at every logon run on a desktop that
    // paints its own background.
    if (QImage own = decodeScreenPng(*bytes, maxBytes); !own.isNull())
        return own;
    // Screen-sized bitmaps too: the rotation's converted picture, another tool's drawing.
    if (QImage plain = decodePlainBmp(*bytes, maxBytes); !plain.isNull())
        return plain;
    QByteArray data = QByteArray::fromRawData(bytes->data(), static_cast<qsizetype>(bytes->size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    // The name's suffix is tried first, as loading a file by name does; the content decides.
    QImageReader reader(&buffer, QFileInfo(toQString(path)).suffix().toLatin1());
    return reader.read();
}

void DesktopPicture::rememberWrittenPicture(const std::string& path, const QImage& picture) {
    struct stat file {};
    if (::stat(path.c_str(), &file) != 0 || !S_ISREG(file.st_mode)) {
        forgetWrittenPicture();
        return;
    }
    writtenPicture() = WrittenPicture{path, file, picture};
}

void DesktopPicture::prepareToShow(const QImage& picture) {
    prepareScreenPicture(picture);
}

void DesktopPicture::forgetWrittenPicture() {
    writtenPicture().reset();
    dropPreparedScreenPicture();
}

QImage DesktopPicture::compose(const QImage& wallpaper, QSize screen, WallpaperPlacement placement,
                               const QColor& background) {
    // A picture made for this screen covers it whatever the placement: it is shown as it is.
    if (wallpaper.size() == screen && wallpaper.format() == QImage::Format_RGB32)
        return wallpaper;
    QImage result(screen, QImage::Format_RGB32);
    result.fill(background);
    if (wallpaper.isNull() || result.isNull())
        return result;
    QPainter painter(&result);
    switch (placement) {
    case WallpaperPlacement::Center:
        painter.drawImage((screen.width() - wallpaper.width()) / 2,
                          (screen.height() - wallpaper.height()) / 2, wallpaper);
        break;
    case WallpaperPlacement::Tile:
        for (int y = 0; y < screen.height(); y += wallpaper.height())
            for (int x = 0; x < screen.width(); x += wallpaper.width())
                painter.drawImage(x, y, wallpaper);
        break;
    case WallpaperPlacement::Stretch:
        painter.drawImage(
            0, 0, wallpaper.scaled(screen, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        break;
    }
    return result;
}

bool DesktopPicture::setDeskWallpaper(const std::string& path, bool updateIniFile) {
    const QImage wallpaper = path.empty() ? QImage() : loadPicture(path);
    if (!path.empty() && wallpaper.isNull())
        return false;
    const QImage picture =
        compose(wallpaper, screenSize(), placementFromRegistry(), backgroundColor());
    const RootWindow root = showOnRootWindow(picture, backgroundColor());
    if (root == RootWindow::Refused)
        return false;
    // The X desktop shows the picture whether or not it can be kept; without an X server the
    // kept picture is all there is, and nothing has been shown when it cannot be written.
    const bool kept = keepPicture(picture);
    const auto notKept = [] {
        return Error(formatMessage(texts::kCannotCreateFile, keptPicturePath()));
    };
    if (!kept && root == RootWindow::Absent)
        throw notKept();
    if (updateIniFile &&
        !Registry::currentUser().writeValue(kDesktopKey, "Wallpaper", RegValue::string(path)))
        return false;
    if (!kept)
        throw notKept();
    return true;
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
    const QColor background = backgroundColor();
    // No wallpaper has been set in this session (the state at logon, or no X server at all):
    // the desktop starts from the user's recorded wallpaper, never from an earlier drawing.
    const auto recorded = registryText(kDesktopKey, "Wallpaper");
    const QImage wallpaper = recorded ? loadPicture(*recorded) : QImage();
    return compose(wallpaper, screen, placementFromRegistry(), background);
}

QColor DesktopPicture::backgroundColor() {
    const auto text = registryText(kColorsKey, "Background");
    if (!text)
        return Qt::black;
    std::istringstream words(*text);
    std::string red, green, blue, extra;
    if (!(words >> red >> green >> blue) || (words >> extra))
        return Qt::black;
    const auto r = colorComponent(red), g = colorComponent(green), b = colorComponent(blue);
    if (!r || !g || !b)
        return Qt::black;
    return QColor(*r, *g, *b);
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
    // On Wayland or without an X server: the login session of this boot.
    std::ifstream bootFile("/proc/sys/kernel/random/boot_id");
    std::string boot;
    std::getline(bootFile, boot);
    const char* session = std::getenv("XDG_SESSION_ID");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const std::size_t hash = std::hash<std::string>{}(boot + "/" + (session ? session : "") + "/" +
                                                      (wayland ? wayland : ""));
    char text[17];
    std::snprintf(text, sizeof text, "%016zx", hash);
    return text;
}

} // namespace zbpg::platform

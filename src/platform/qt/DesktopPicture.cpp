#include "platform/qt/DesktopPicture.h"

#include "platform/AtomicFile.h"
#include "platform/Registry.h"
#include "platform/RegularFile.h"
#include "platform/WallpaperBackend.h"
#include "platform/XdgPaths.h"
#include "platform/qt/ScreenPictureFile.h"
#include "platform/qt/SessionDesktop.h"
#include "text/Error.h"
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
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <sys/stat.h>

// Xlib defines macros (Bool, None, Status, ...) that collide with Qt names, so it comes after
// every Qt header and is used only in this file.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xrandr.h>
#include <sys/ipc.h>
#include <sys/mman.h>
#include <sys/shm.h>

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

// ---- X11 ----------------------------------------------------------------------------------

// Xlib reports protocol errors through one process-wide handler whose default ends the
// process; while a trap lives, errors are counted instead.
int g_trappedErrors = 0;

int countError(Display*, XErrorEvent*) {
    ++g_trappedErrors;
    return 0;
}

class ErrorTrap final {
public:
    explicit ErrorTrap(Display* display)
        : m_display(display), m_previous(XSetErrorHandler(countError)) {
        g_trappedErrors = 0;
    }
    ~ErrorTrap() {
        XSync(m_display, False);
        XSetErrorHandler(m_previous);
    }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    // Whether a request since the last question failed (waits for the server's answers).
    bool caught() {
        XSync(m_display, False);
        const bool any = g_trappedErrors > 0;
        g_trappedErrors = 0;
        return any;
    }

private:
    Display* m_display;
    XErrorHandler m_previous;
};

class Connection final {
public:
    Connection() : m_display(XOpenDisplay(nullptr)) {}
    ~Connection() {
        if (m_display != nullptr)
            XCloseDisplay(m_display);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    Display* get() const { return m_display; }
    explicit operator bool() const { return m_display != nullptr; }

private:
    Display* m_display;
};

// How a TrueColor pixel holds its red, green and blue.
struct PixelFormat {
    unsigned long red = 0, green = 0, blue = 0;

    static std::optional<PixelFormat> forDepth(Display* display, int screen, int depth) {
        Visual* visual = DefaultVisual(display, screen);
        if (depth == DefaultDepth(display, screen) && visual->c_class == TrueColor)
            return PixelFormat{visual->red_mask, visual->green_mask, visual->blue_mask};
        XVisualInfo info{};
        if (XMatchVisualInfo(display, screen, depth, TrueColor, &info) != 0)
            return PixelFormat{info.red_mask, info.green_mask, info.blue_mask};
        return std::nullopt;
    }

    static unsigned long encode(int component, unsigned long mask) {
        if (mask == 0)
            return 0;
        const unsigned long maximum = mask >> std::countr_zero(mask);
        const unsigned long scaled = (static_cast<unsigned long>(component) * maximum + 127) / 255;
        return (scaled << std::countr_zero(mask)) & mask;
    }

    static int decode(unsigned long pixel, unsigned long mask) {
        if (mask == 0)
            return 0;
        const unsigned long maximum = mask >> std::countr_zero(mask);
        const unsigned long value = (pixel & mask) >> std::countr_zero(mask);
        return static_cast<int>((value * 255 + maximum / 2) / maximum);
    }

    unsigned long pixel(QRgb rgb) const {
        return encode(qRed(rgb), red) | encode(qGreen(rgb), green) | encode(qBlue(rgb), blue);
    }
    QRgb rgb(unsigned long pixel) const {
        return qRgb(decode(pixel, red), decode(pixel, green), decode(pixel, blue));
    }
};

// A pixel of a visual without colour masks (a palette): the nearer of black and white, which
// is at least visible.
unsigned long paletteFallback(Display* display, int screen, QRgb rgb) {
    return qGray(rgb) >= 128 ? WhitePixel(display, screen) : BlackPixel(display, screen);
}

constexpr int kHostByteOrder = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;

// Whether the server keeps a pixel as QImage's RGB32 does: 32 bits in this machine's byte
// order, 8 bits each of red, green and blue. Then rows go to and fro as they are.
bool isRgb32Layout(const XImage& image, const PixelFormat& format) {
    return image.bits_per_pixel == 32 && image.byte_order == kHostByteOrder &&
           format.red == 0xff0000 && format.green == 0xff00 && format.blue == 0xff;
}

// Fills an image of the server's layout pixel by pixel, for servers whose pixels differ from
// RGB32's.
bool encodePixels(Display* display, XImage* image, const QImage& picture) {
    const int screen = DefaultScreen(display);
    // XDestroyImage releases the data with free().
    image->data = static_cast<char*>(std::malloc(static_cast<size_t>(image->bytes_per_line) *
                                                 static_cast<size_t>(image->height)));
    if (image->data == nullptr)
        return false;
    const auto format = PixelFormat::forDepth(display, screen, DefaultDepth(display, screen));
    for (int y = 0; y < picture.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            XPutPixel(image, x, y,
                      format ? format->pixel(line[x]) : paletteFallback(display, screen, line[x]));
    }
    return true;
}

// The server's unused top byte of a pixel may hold anything; RGB32 keeps it full.
void fillUnusedByte(QImage& picture) {
    // Its rows follow one another without a gap: one run over all of them.
    auto* pixels = reinterpret_cast<std::uint32_t*>(picture.bits());
    const std::size_t count = static_cast<std::size_t>(picture.sizeInBytes()) / 4;
    for (std::size_t i = 0; i < count; ++i)
        pixels[i] |= 0xff000000u;
}

// ---- pixels shared with the X server ----
// A screen of pixels through the X server's socket costs a copy on each side and a buffer of
// its size; in a shared memory segment the server reads and writes them in place. A picture
// read back from the root pixmap lives in such a segment, and so does what is drawn onto it,
// so that it goes back to the server the same way. Servers without the extension (or on
// another machine) get the pixels through the socket.

// The segments behind pictures of this process, by the address of their pixels.
std::map<const void*, int>& sharedSegments() {
    static std::map<const void*, int> segments;
    return segments;
}

// An RGB32 picture in a new shared memory segment; a null image when there is none to have.
QImage sharedPicture(QSize size) {
    const std::size_t bytesPerLine = static_cast<std::size_t>(size.width()) * 4;
    const int id = ::shmget(IPC_PRIVATE, bytesPerLine * static_cast<std::size_t>(size.height()),
                            IPC_CREAT | 0600);
    if (id < 0)
        return {};
    void* address = ::shmat(id, nullptr, 0);
    // Marked for removal at once: it goes with its last attachment, even when the process is
    // killed. Linux still lets the X server attach it.
    ::shmctl(id, IPC_RMID, nullptr);
    if (address == reinterpret_cast<void*>(-1))
        return {};
    // Its pages are made at once, rather than one fault at a time as the server and the
    // process first touch them (kernels before 5.14 refuse: the faults remain).
    (void)::madvise(address, bytesPerLine * static_cast<std::size_t>(size.height()),
                    MADV_POPULATE_WRITE);
    sharedSegments()[address] = id;
    const auto release = [](void* pixels) {
        sharedSegments().erase(pixels);
        ::shmdt(pixels);
    };
    return QImage(static_cast<uchar*>(address), size.width(), size.height(),
                  static_cast<qsizetype>(bytesPerLine), QImage::Format_RGB32, release, address);
}

// A picture's segment attached to one connection for the life of this object.
class SharedImage final {
public:
    SharedImage(Display* display, ErrorTrap& trap, const QImage& picture, int depth)
        : m_display(display) {
        const auto segment = sharedSegments().find(picture.constBits());
        if (segment == sharedSegments().end() || XShmQueryExtension(display) == 0)
            return;
        const int screen = DefaultScreen(display);
        m_info.shmid = segment->second;
        m_info.shmaddr = const_cast<char*>(reinterpret_cast<const char*>(picture.constBits()));
        m_info.readOnly = False;
        m_image = XShmCreateImage(display, DefaultVisual(display, screen),
                                  static_cast<unsigned>(depth), ZPixmap, m_info.shmaddr, &m_info,
                                  static_cast<unsigned>(picture.width()),
                                  static_cast<unsigned>(picture.height()));
        if (m_image == nullptr)
            return;
        if (m_image->bytes_per_line != picture.bytesPerLine() ||
            XShmAttach(display, &m_info) == 0 || trap.caught()) {
            destroyImage();
            return;
        }
        m_attached = true;
    }
    ~SharedImage() {
        if (m_attached) {
            XShmDetach(m_display, &m_info);
            XSync(m_display, False);
        }
        destroyImage();
    }
    SharedImage(const SharedImage&) = delete;
    SharedImage& operator=(const SharedImage&) = delete;

    // The image over the picture's pixels, or null when they cannot be shared.
    XImage* image() const { return m_attached ? m_image : nullptr; }
    XShmSegmentInfo* info() { return &m_info; }

private:
    void destroyImage() {
        if (m_image != nullptr)
            XDestroyImage(m_image); // the pixels are the picture's: not freed here
        m_image = nullptr;
    }

    Display* m_display;
    XShmSegmentInfo m_info{};
    XImage* m_image = nullptr;
    bool m_attached = false;
};

// Sends the picture's pixels through shared memory when they live there and the server keeps
// them alike; false when the socket has to carry them.
bool putShared(Display* display, ErrorTrap& trap, Pixmap pixmap, const QImage& picture) {
    const int screen = DefaultScreen(display);
    const int depth = DefaultDepth(display, screen);
    const auto format = PixelFormat::forDepth(display, screen, depth);
    const SharedImage shared(display, trap, picture, depth);
    XImage* image = shared.image();
    if (!format || image == nullptr || !isRgb32Layout(*image, *format))
        return false;
    GC gc = XCreateGC(display, pixmap, 0, nullptr);
    XShmPutImage(display, pixmap, gc, image, 0, 0, 0, 0, static_cast<unsigned>(picture.width()),
                 static_cast<unsigned>(picture.height()), False);
    XFreeGC(display, gc);
    // The server must be done with the pixels before they are detached.
    return !trap.caught();
}

// The pixmap's area at origin as a picture in shared memory, or nothing when the server cannot
// share it or keeps its pixels otherwise.
std::optional<QImage> getShared(Display* display, ErrorTrap& trap, Pixmap pixmap, QPoint origin,
                                QSize size, int depth, const PixelFormat& format) {
    if (XShmQueryExtension(display) == 0)
        return std::nullopt;
    QImage picture = sharedPicture(size);
    if (picture.isNull())
        return std::nullopt;
    const SharedImage shared(display, trap, picture, depth);
    XImage* image = shared.image();
    if (image == nullptr || !isRgb32Layout(*image, format) ||
        XShmGetImage(display, pixmap, image, origin.x(), origin.y(), AllPlanes) == 0 ||
        trap.caught())
        return std::nullopt;
    return picture;
}

// Sends the picture through the socket: its own rows when the server keeps its pixels alike
// (no copy of a screen-sized picture is made), else pixel by pixel in the server's layout.
bool putThroughSocket(Display* display, Pixmap pixmap, const QImage& picture) {
    const int screen = DefaultScreen(display);
    const int depth = DefaultDepth(display, screen);
    const auto width = static_cast<unsigned>(picture.width());
    const auto height = static_cast<unsigned>(picture.height());
    const auto format = PixelFormat::forDepth(display, screen, depth);
    XImage* image =
        XCreateImage(display, DefaultVisual(display, screen), static_cast<unsigned>(depth), ZPixmap,
                     0, nullptr, width, height, 32, 0);
    if (image == nullptr)
        return false;
    const bool borrowed = format && isRgb32Layout(*image, *format);
    if (borrowed) {
        image->data = const_cast<char*>(reinterpret_cast<const char*>(picture.constBits()));
        image->bytes_per_line = static_cast<int>(picture.bytesPerLine());
    } else if (!encodePixels(display, image, picture)) {
        XDestroyImage(image);
        return false;
    }
    GC gc = XCreateGC(display, pixmap, 0, nullptr);
    XPutImage(display, pixmap, gc, image, 0, 0, 0, 0, width, height);
    XFreeGC(display, gc);
    if (borrowed)
        image->data = nullptr; // the picture's: XDestroyImage must not free it
    XDestroyImage(image);
    return true;
}

// A pixmap whose pixels are the picture's own shared pixels, when the server makes such pixmaps
// and keeps its pixels alike: nothing is copied at all. The server holds on to the segment for
// the pixmap's life; the picture is the wallpaper from now on, and the draw run that made it
// ends with showing it.
Pixmap sharedPixmap(Display* display, ErrorTrap& trap, const QImage& picture) {
    const int screen = DefaultScreen(display);
    const int depth = DefaultDepth(display, screen);
    const auto format = PixelFormat::forDepth(display, screen, depth);
    int major = 0, minor = 0;
    Bool pixmaps = False;
    if (!format || XShmQueryVersion(display, &major, &minor, &pixmaps) == 0 || pixmaps == False ||
        XShmPixmapFormat(display) != ZPixmap)
        return 0;
    SharedImage shared(display, trap, picture, depth);
    const XImage* image = shared.image();
    if (image == nullptr || !isRgb32Layout(*image, *format))
        return 0;
    const Pixmap pixmap =
        XShmCreatePixmap(display, RootWindow(display, screen), image->data, shared.info(),
                         static_cast<unsigned>(picture.width()),
                         static_cast<unsigned>(picture.height()), static_cast<unsigned>(depth));
    return trap.caught() ? 0 : pixmap;
}

Pixmap pixmapOfPicture(Display* display, ErrorTrap& trap, const QImage& anyPicture) {
    const int screen = DefaultScreen(display);
    const QImage picture = anyPicture.convertToFormat(QImage::Format_RGB32);
    if (const Pixmap shared = sharedPixmap(display, trap, picture))
        return shared;
    const Pixmap pixmap =
        XCreatePixmap(display, RootWindow(display, screen), static_cast<unsigned>(picture.width()),
                      static_cast<unsigned>(picture.height()),
                      static_cast<unsigned>(DefaultDepth(display, screen)));
    if (putShared(display, trap, pixmap, picture) || putThroughSocket(display, pixmap, picture))
        return pixmap;
    XFreePixmap(display, pixmap);
    return 0;
}

Atom atomIfExists(Display* display, const char* name) {
    return XInternAtom(display, name, True);
}

std::optional<Pixmap> rootPixmapProperty(Display* display, Window root, const char* name) {
    const Atom property = atomIfExists(display, name);
    if (property == None)
        return std::nullopt;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    std::optional<Pixmap> result;
    if (XGetWindowProperty(display, root, property, 0, 1, False, XA_PIXMAP, &type, &format, &count,
                           &remaining, &data) == Success &&
        type == XA_PIXMAP && format == 32 && count == 1 && data != nullptr)
        result = static_cast<Pixmap>(*reinterpret_cast<unsigned long*>(data));
    if (data != nullptr)
        XFree(data);
    return result;
}

void setRootPixmapProperty(Display* display, Window root, const char* name, Pixmap pixmap) {
    const Atom property = XInternAtom(display, name, False);
    // Format 32 data is handed to Xlib as longs, whatever their size.
    const unsigned long value = pixmap;
    XChangeProperty(display, root, property, XA_PIXMAP, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&value), 1);
}

struct PixmapGeometry {
    unsigned width = 0, height = 0, depth = 0;
};

std::optional<PixmapGeometry> geometryOf(Display* display, ErrorTrap& trap, Pixmap pixmap) {
    Window root = 0;
    int x = 0, y = 0;
    unsigned border = 0;
    PixmapGeometry geometry;
    const int ok = XGetGeometry(display, pixmap, &root, &x, &y, &geometry.width, &geometry.height,
                                &border, &geometry.depth);
    if (trap.caught() || ok == 0)
        return std::nullopt;
    return geometry;
}

// The wallpaper setter before us left its pixmap behind on purpose (its client retained); the
// agreed way to free it is to kill that client's resources, and only when both properties
// name the same, still existing pixmap. A stale id may name a resource of a live client by
// now, even our own new pixmap when the server gave us the old setter's client slot.
void freePreviousWallpaper(Display* display, ErrorTrap& trap, Window root, Pixmap ours) {
    const auto current = rootPixmapProperty(display, root, "_XROOTPMAP_ID");
    const auto retained = rootPixmapProperty(display, root, "ESETROOT_PMAP_ID");
    if (!current || !retained || *current != *retained || *current == None || *current == ours)
        return;
    if (!geometryOf(display, trap, *current))
        return;
    XKillClient(display, *current);
    trap.caught(); // a BadValue here only means it was gone already
}

// The primary monitor on the X screen (the first active one when none is primary); nothing
// without RandR 1.5, when the whole X screen is the one screen there is.
std::optional<QRect> primaryMonitor(Display* display) {
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(display, &event, &error) || !XRRQueryVersion(display, &major, &minor) ||
        major < 1 || (major == 1 && minor < 5))
        return std::nullopt;
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(display, DefaultRootWindow(display), True, &count);
    if (monitors == nullptr)
        return std::nullopt;
    std::optional<QRect> result;
    for (int i = 0; i < count; ++i) {
        const QRect area(monitors[i].x, monitors[i].y, monitors[i].width, monitors[i].height);
        if (monitors[i].primary) {
            result = area;
            break;
        }
        if (!result)
            result = area;
    }
    XRRFreeMonitors(monitors);
    return result;
}

QRect primaryArea(Display* display) {
    const int screen = DefaultScreen(display);
    const QRect whole(0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen));
    const auto primary = primaryMonitor(display);
    return primary && whole.contains(*primary) ? *primary : whole;
}

// The root window spans every monitor: the picture of the primary screen goes where that
// monitor is, the others show the background colour, and nothing is tiled.
QImage onRootWindow(Display* display, const QImage& picture) {
    const int screen = DefaultScreen(display);
    const QSize root(DisplayWidth(display, screen), DisplayHeight(display, screen));
    const QRect primary = primaryArea(display);
    if (primary == QRect(QPoint(0, 0), root))
        return picture;
    QImage whole(root, QImage::Format_RGB32);
    whole.fill(DesktopPicture::backgroundColor());
    QPainter(&whole).drawImage(primary.topLeft(), picture);
    return whole;
}

enum class RootWindow { Absent, Shown, Refused };

RootWindow showOnRootWindow(const QImage& picture) {
    const Connection connection;
    if (!connection)
        return RootWindow::Absent; // no X server: the kept picture is the desktop
    Display* display = connection.get();
    const Window root = DefaultRootWindow(display);
    ErrorTrap trap(display);
    const Pixmap pixmap = pixmapOfPicture(display, trap, onRootWindow(display, picture));
    if (pixmap == 0 || trap.caught())
        return RootWindow::Refused;
    XSetWindowBackgroundPixmap(display, root, pixmap);
    XClearWindow(display, root);
    freePreviousWallpaper(display, trap, root, pixmap);
    setRootPixmapProperty(display, root, "_XROOTPMAP_ID", pixmap);
    setRootPixmapProperty(display, root, "ESETROOT_PMAP_ID", pixmap);
    // The pixmap must outlive this connection, or the desktop loses it when we close.
    XSetCloseDownMode(display, RetainPermanent);
    XFlush(display);
    return trap.caught() ? RootWindow::Refused : RootWindow::Shown;
}

std::optional<QImage> rootWallpaper(QSize screen, const QColor& background) {
    const Connection connection;
    if (!connection)
        return std::nullopt;
    Display* display = connection.get();
    const Window root = DefaultRootWindow(display);
    const auto pixmap = rootPixmapProperty(display, root, "_XROOTPMAP_ID");
    if (!pixmap || *pixmap == None)
        return std::nullopt;
    ErrorTrap trap(display);
    const auto geometry = geometryOf(display, trap, *pixmap);
    if (!geometry)
        return std::nullopt;
    const auto format =
        PixelFormat::forDepth(display, DefaultScreen(display), static_cast<int>(geometry->depth));
    // The primary monitor's part of the pixmap is the desktop the program draws on.
    const QPoint origin = primaryArea(display).topLeft();
    const int width = std::min(static_cast<int>(geometry->width) - origin.x(), screen.width());
    const int height = std::min(static_cast<int>(geometry->height) - origin.y(), screen.height());
    if (!format || width <= 0 || height <= 0)
        return std::nullopt;
    if (QSize(width, height) == screen) {
        if (auto shared = getShared(display, trap, *pixmap, origin, screen,
                                    static_cast<int>(geometry->depth), *format)) {
            fillUnusedByte(*shared);
            return shared;
        }
    }
    XImage* image =
        XGetImage(display, *pixmap, origin.x(), origin.y(), static_cast<unsigned>(width),
                  static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (trap.caught() || image == nullptr) {
        if (image != nullptr)
            XDestroyImage(image);
        return std::nullopt;
    }
    QImage result(screen, QImage::Format_RGB32);
    if (width < screen.width() || height < screen.height())
        result.fill(background);
    const bool alike = isRgb32Layout(*image, *format);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        if (alike) {
            const auto* from = reinterpret_cast<const std::uint32_t*>(
                image->data + static_cast<std::ptrdiff_t>(y) * image->bytes_per_line);
            for (int x = 0; x < width; ++x)
                line[x] = from[x] | 0xff000000u;
            continue;
        }
        for (int x = 0; x < width; ++x)
            line[x] = format->rgb(XGetPixel(image, x, y));
    }
    XDestroyImage(image);
    return result;
}

// The root window's mark of this X server: it lives as long as the server, so a new login
// session (a new server) has a new one.
std::optional<std::string> xSessionMark() {
    const Connection connection;
    if (!connection)
        return std::nullopt;
    Display* display = connection.get();
    const Window root = DefaultRootWindow(display);
    const Atom property = XInternAtom(display, "_ZORBELPANEGLYPH_SESSION", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    std::string mark;
    if (XGetWindowProperty(display, root, property, 0, 16, False, XA_STRING, &type, &format, &count,
                           &remaining, &data) == Success &&
        type == XA_STRING && format == 8 && data != nullptr)
        mark.assign(reinterpret_cast<const char*>(data), count);
    if (data != nullptr)
        XFree(data);
    if (!mark.empty())
        return mark;
    std::random_device random;
    char text[17];
    std::snprintf(text, sizeof text, "%08x%08x", random(), random());
    mark = text;
    XChangeProperty(display, root, property, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(mark.data()),
                    static_cast<int>(mark.size()));
    XSync(display, False);
    return mark;
}

// "Xft.dpi" of the server's resources, the density every X toolkit draws its text at.
std::optional<int> xResourceDpi() {
    const Connection connection;
    if (!connection)
        return std::nullopt;
    const char* resources = XResourceManagerString(connection.get());
    if (resources == nullptr)
        return std::nullopt;
    std::istringstream lines(resources);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("Xft.dpi:", 0) != 0)
            continue;
        std::istringstream value(line.substr(8));
        double dpi = 0;
        if (value >> dpi && dpi >= 24 && dpi <= 1200)
            return static_cast<int>(dpi + 0.5);
    }
    return std::nullopt;
}

QSize xScreenSize() {
    const Connection connection;
    if (!connection)
        return {};
    return primaryArea(connection.get()).size();
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
    const RootWindow root = showOnRootWindow(picture);
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
    return static_cast<bool>(Connection());
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

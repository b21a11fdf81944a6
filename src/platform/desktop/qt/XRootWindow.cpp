#include "platform/desktop/qt/XRootWindow.h"

#include <QRect>
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <map>
#include <random>
#include <sstream>
#include <utility>
#include <vector>

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

// Sends the picture's pixels to the pixmap at the point through shared memory when they live
// there and the server keeps them alike; false when the socket has to carry them.
bool putShared(Display* display, ErrorTrap& trap, Pixmap pixmap, const QImage& picture, QPoint at) {
    const int screen = DefaultScreen(display);
    const int depth = DefaultDepth(display, screen);
    const auto format = PixelFormat::forDepth(display, screen, depth);
    const SharedImage shared(display, trap, picture, depth);
    XImage* image = shared.image();
    if (!format || image == nullptr || !isRgb32Layout(*image, *format))
        return false;
    GC gc = XCreateGC(display, pixmap, 0, nullptr);
    XShmPutImage(display, pixmap, gc, image, 0, 0, at.x(), at.y(),
                 static_cast<unsigned>(picture.width()), static_cast<unsigned>(picture.height()),
                 False);
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

// Sends the picture to the pixmap at the point through the socket: its own rows when the server
// keeps its pixels alike (no copy of a screen-sized picture is made), else pixel by pixel in the
// server's layout.
bool putThroughSocket(Display* display, Pixmap pixmap, const QImage& picture, QPoint at) {
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
    XPutImage(display, pixmap, gc, image, 0, 0, at.x(), at.y(), width, height);
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

bool putPicture(Display* display, ErrorTrap& trap, Pixmap pixmap, const QImage& anyPicture,
                QPoint at) {
    const QImage picture = anyPicture.convertToFormat(QImage::Format_RGB32);
    return putShared(display, trap, pixmap, picture, at) ||
           putThroughSocket(display, pixmap, picture, at);
}

Pixmap newRootPixmap(Display* display, QSize size) {
    const int screen = DefaultScreen(display);
    return XCreatePixmap(display, RootWindow(display, screen), static_cast<unsigned>(size.width()),
                         static_cast<unsigned>(size.height()),
                         static_cast<unsigned>(DefaultDepth(display, screen)));
}

Pixmap pixmapOfPicture(Display* display, ErrorTrap& trap, const QImage& anyPicture) {
    const QImage picture = anyPicture.convertToFormat(QImage::Format_RGB32);
    if (const Pixmap shared = sharedPixmap(display, trap, picture))
        return shared;
    const Pixmap pixmap = newRootPixmap(display, picture.size());
    if (putPicture(display, trap, pixmap, picture, QPoint(0, 0)))
        return pixmap;
    XFreePixmap(display, pixmap);
    return 0;
}

Atom atomIfExists(Display* display, const char* name) {
    return XInternAtom(display, name, True);
}

// A property of the window that names one resource (a pixmap, a window) of the type given.
std::optional<XID> idProperty(Display* display, Window window, const char* name, Atom wanted) {
    const Atom property = atomIfExists(display, name);
    if (property == None)
        return std::nullopt;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    std::optional<XID> result;
    if (XGetWindowProperty(display, window, property, 0, 1, False, wanted, &type, &format, &count,
                           &remaining, &data) == Success &&
        type == wanted && format == 32 && count == 1 && data != nullptr)
        result = static_cast<XID>(*reinterpret_cast<unsigned long*>(data));
    if (data != nullptr)
        XFree(data);
    return result;
}

std::optional<Pixmap> rootPixmapProperty(Display* display, Window root, const char* name) {
    return idProperty(display, root, name, XA_PIXMAP);
}

void setIdProperty(Display* display, Window window, const char* name, Atom type, XID id) {
    const Atom property = XInternAtom(display, name, False);
    // Format 32 data is handed to Xlib as longs, whatever their size.
    const unsigned long value = id;
    XChangeProperty(display, window, property, type, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&value), 1);
}

void setRootPixmapProperty(Display* display, Window root, const char* name, Pixmap pixmap) {
    setIdProperty(display, root, name, XA_PIXMAP, pixmap);
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

// The active monitors on the X screen, the primary one first (the first listed when none is);
// none without RandR 1.5, when the whole X screen is the one screen there is.
std::vector<QRect> monitorAreas(Display* display) {
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(display, &event, &error) || !XRRQueryVersion(display, &major, &minor) ||
        major < 1 || (major == 1 && minor < 5))
        return {};
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(display, DefaultRootWindow(display), True, &count);
    if (monitors == nullptr)
        return {};
    std::vector<QRect> areas;
    for (int i = 0; i < count; ++i) {
        const QRect area(monitors[i].x, monitors[i].y, monitors[i].width, monitors[i].height);
        areas.insert(monitors[i].primary ? areas.begin() : areas.end(), area);
    }
    XRRFreeMonitors(monitors);
    return areas;
}

QRect wholeScreen(Display* display) {
    const int screen = DefaultScreen(display);
    return {0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)};
}

QRect primaryArea(Display* display) {
    const QRect whole = wholeScreen(display);
    const auto monitors = monitorAreas(display);
    return !monitors.empty() && whole.contains(monitors.front()) ? monitors.front() : whole;
}

// The pixmap the root window shows now, when it still exists at the root's depth.
std::optional<std::pair<Pixmap, QSize>> currentWallpaper(Display* display, ErrorTrap& trap) {
    const auto pixmap = rootPixmapProperty(display, DefaultRootWindow(display), "_XROOTPMAP_ID");
    if (!pixmap || *pixmap == None)
        return std::nullopt;
    const auto geometry = geometryOf(display, trap, *pixmap);
    if (!geometry ||
        geometry->depth != static_cast<unsigned>(DefaultDepth(display, DefaultScreen(display))))
        return std::nullopt;
    return std::pair(*pixmap,
                     QSize(static_cast<int>(geometry->width), static_cast<int>(geometry->height)));
}

// A pixmap for a root window over several monitors: the picture on the primary one, the others
// as they were. The wallpaper before is copied within the server, so only the primary
// monitor's picture travels, as it does on one monitor; a monitor it does not cover (none at a
// session's start) gets its own picture from paintMonitor.
Pixmap pixmapAcrossMonitors(Display* display, ErrorTrap& trap, const QImage& picture, QRect primary,
                            const QColor& background, const MonitorPainter& paintMonitor) {
    const QRect whole = wholeScreen(display);
    const Pixmap pixmap = newRootPixmap(display, whole.size());
    XGCValues values{};
    values.graphics_exposures = False; // a copy between pixmaps has nothing to expose
    GC gc = XCreateGC(display, pixmap, GCGraphicsExposures, &values);
    const int screen = DefaultScreen(display);
    const auto format = PixelFormat::forDepth(display, screen, DefaultDepth(display, screen));
    XSetForeground(display, gc,
                   format ? format->pixel(background.rgb())
                          : paletteFallback(display, screen, background.rgb()));
    XFillRectangle(display, pixmap, gc, 0, 0, static_cast<unsigned>(whole.width()),
                   static_cast<unsigned>(whole.height()));
    QRect kept;
    // A run setting its wallpaper at the same moment frees the pixmap before: it may not go
    // between finding that pixmap and copying it.
    XGrabServer(display);
    if (const auto before = currentWallpaper(display, trap)) {
        kept = QRect(QPoint(0, 0), before->second.boundedTo(whole.size()));
        XCopyArea(display, before->first, pixmap, gc, 0, 0, static_cast<unsigned>(kept.width()),
                  static_cast<unsigned>(kept.height()), 0, 0);
    }
    XUngrabServer(display);
    XFreeGC(display, gc);
    bool complete = true;
    for (const QRect& monitor : monitorAreas(display)) {
        if (monitor != primary && !kept.contains(monitor))
            complete = complete && putPicture(display, trap, pixmap, paintMonitor(monitor.size()),
                                              monitor.topLeft());
    }
    if (complete && putPicture(display, trap, pixmap, picture, primary.topLeft()))
        return pixmap;
    XFreePixmap(display, pixmap);
    return 0;
}

// Each pixmap the program sets is vouched for by a window of the same retained client: the root
// window's mark names that window, and the window's mark names the pixmap. Both go when the next
// setter frees the client. Ids alone would not tell: a setter that takes a freed client's slot
// makes its pixmap with the same few requests each time, so its ids repeat; its window, even
// one of the same id, has no mark.
constexpr const char* kSetterMark = "_ZORBELPANEGLYPH_WALLPAPER";

void markAsOurs(Display* display, Window root, Pixmap pixmap) {
    XSetWindowAttributes attributes{};
    const Window witness =
        XCreateWindow(display, root, -1, -1, 1, 1, 0, 0, InputOnly, CopyFromParent, 0, &attributes);
    setIdProperty(display, witness, kSetterMark, XA_PIXMAP, pixmap);
    setIdProperty(display, root, kSetterMark, XA_WINDOW, witness);
}

} // namespace

RootWindow showOnRootWindow(const QImage& picture, const QColor& background,
                            const MonitorPainter& paintMonitor) {
    const Connection connection;
    if (!connection)
        return RootWindow::Absent; // no X server: the kept picture is the desktop
    Display* display = connection.get();
    const Window root = DefaultRootWindow(display);
    ErrorTrap trap(display);
    const QRect primary = primaryArea(display);
    const Pixmap pixmap =
        primary == wholeScreen(display)
            ? pixmapOfPicture(display, trap, picture)
            : pixmapAcrossMonitors(display, trap, picture, primary, background, paintMonitor);
    if (pixmap == 0 || trap.caught())
        return RootWindow::Refused;
    // From reading the pixmap shown before to retaining ours no other client is served; closing
    // the connection ends the grab. Otherwise a run setting its wallpaper at the same moment (an
    // autostart entry and a click) could free our pixmap while our connection is still open,
    // which closes that connection (and we could do the same to it).
    XGrabServer(display);
    XSetWindowBackgroundPixmap(display, root, pixmap);
    XClearWindow(display, root);
    freePreviousWallpaper(display, trap, root, pixmap);
    setRootPixmapProperty(display, root, "_XROOTPMAP_ID", pixmap);
    setRootPixmapProperty(display, root, "ESETROOT_PMAP_ID", pixmap);
    markAsOurs(display, root, pixmap);
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

RootWallpaperSetter rootWallpaperSetter() {
    const Connection connection;
    if (!connection)
        return RootWallpaperSetter::Nobody;
    Display* display = connection.get();
    const Window root = DefaultRootWindow(display);
    ErrorTrap trap(display);
    const auto pixmap = rootPixmapProperty(display, root, "_XROOTPMAP_ID");
    if (!pixmap || *pixmap == None || !geometryOf(display, trap, *pixmap))
        return RootWallpaperSetter::Nobody;
    const auto witness = idProperty(display, root, kSetterMark, XA_WINDOW);
    const auto vouched =
        witness ? idProperty(display, *witness, kSetterMark, XA_PIXMAP) : std::nullopt;
    trap.caught(); // a BadWindow only means the witness went with its client
    return vouched == pixmap ? RootWallpaperSetter::ThisProgram
                             : RootWallpaperSetter::AnotherProgram;
}

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

bool hasXServer() {
    return static_cast<bool>(Connection());
}

} // namespace zbpg::platform

// Runs against a real X server (a virtual one of 1024x768 at depth 24 will do); Qt itself stays
// offscreen, only the wallpaper code talks to X.
#include "base/Error.h"
#include "base/ScopeExit.h"
#include "common/zbpg_common.h"
#include "platform/desktop/DesktopService.h"
#include "platform/desktop/qt/DesktopPictureFixture.h"
#include "platform/desktop/qt/QtDesktopService.h"
#include "support/Commands.h"
#include "support/ImageChecks.h"
#include "support/TestEnvironment.h"

#include <QGuiApplication>
#include <QScreen>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <sys/wait.h>
#include <unistd.h>

// Xlib macros (None, Bool, ...) would break the headers above, so it comes last.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace zbpg::platform;
using namespace zbpg::test;

namespace {

int g_errors = 0;

int countError(Display*, XErrorEvent*) {
    ++g_errors;
    return 0;
}

// Whether the server accepts the requests made so far without an error.
bool noErrorsSince(Display* display) {
    XSync(display, False);
    const bool clean = g_errors == 0;
    g_errors = 0;
    return clean;
}

std::optional<Pixmap> rootPixmap(Display* display, const char* name) {
    const Atom property = XInternAtom(display, name, True);
    if (property == None)
        return std::nullopt;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    std::optional<Pixmap> result;
    if (XGetWindowProperty(display, DefaultRootWindow(display), property, 0, 1, False, XA_PIXMAP,
                           &type, &format, &count, &remaining, &data) == Success &&
        type == XA_PIXMAP && format == 32 && count == 1)
        result = *reinterpret_cast<unsigned long*>(data);
    if (data != nullptr)
        XFree(data);
    return result;
}

void setRootPixmap(Display* display, const char* name, Pixmap pixmap) {
    const unsigned long value = pixmap;
    XChangeProperty(display, DefaultRootWindow(display), XInternAtom(display, name, False),
                    XA_PIXMAP, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&value),
                    1);
}

struct Geometry {
    unsigned width = 0, height = 0, depth = 0;
};

std::optional<Geometry> geometryOf(Display* display, Drawable drawable) {
    Window root = 0;
    int x = 0, y = 0;
    unsigned border = 0;
    Geometry geometry;
    const int ok = XGetGeometry(display, drawable, &root, &x, &y, &geometry.width, &geometry.height,
                                &border, &geometry.depth);
    if (!noErrorsSince(display) || ok == 0)
        return std::nullopt;
    return geometry;
}

unsigned long pixelOf(Display* display, QRgb rgb) {
    const Visual* visual = DefaultVisual(display, DefaultScreen(display));
    const auto place = [](int component, unsigned long mask) {
        return (static_cast<unsigned long>(component) << std::countr_zero(mask)) & mask;
    };
    return place(qRed(rgb), visual->red_mask) | place(qGreen(rgb), visual->green_mask) |
           place(qBlue(rgb), visual->blue_mask);
}

// Each test: its own registry and cache, and a connection of its own to look at the server.
class DesktopPictureX11Test : public DesktopPictureFixture {
protected:
    void SetUp() override {
        DesktopPictureFixture::SetUp();
        m_display = XOpenDisplay(nullptr);
        ASSERT_NE(m_display, nullptr) << "these tests need an X server in DISPLAY";
        m_previousHandler = XSetErrorHandler(countError);
        g_errors = 0;
    }
    void TearDown() override {
        if (m_display != nullptr) {
            XSync(m_display, False);
            XCloseDisplay(m_display);
        }
        XSetErrorHandler(m_previousHandler);
    }

    // A wallpaper as a separate setter leaves it: a pixmap of one colour named by both root
    // properties, its connection closed (the pixmap retained, unless the tool forgot).
    static Pixmap setByAnotherTool(QSize size, QRgb colour, bool retain = true) {
        Display* tool = XOpenDisplay(nullptr);
        EXPECT_NE(tool, nullptr);
        if (tool == nullptr)
            return 0;
        const Window root = DefaultRootWindow(tool);
        const Pixmap pixmap = XCreatePixmap(
            tool, root, static_cast<unsigned>(size.width()), static_cast<unsigned>(size.height()),
            static_cast<unsigned>(DefaultDepth(tool, DefaultScreen(tool))));
        GC gc = XCreateGC(tool, pixmap, 0, nullptr);
        XSetForeground(tool, gc, pixelOf(tool, colour));
        XFillRectangle(tool, pixmap, gc, 0, 0, static_cast<unsigned>(size.width()),
                       static_cast<unsigned>(size.height()));
        XFreeGC(tool, gc);
        setRootPixmap(tool, "_XROOTPMAP_ID", pixmap);
        setRootPixmap(tool, "ESETROOT_PMAP_ID", pixmap);
        if (retain)
            XSetCloseDownMode(tool, RetainPermanent);
        XCloseDisplay(tool);
        return pixmap;
    }

    Display* m_display = nullptr;

private:
    XErrorHandler m_previousHandler = nullptr;
};

TEST_F(DesktopPictureX11Test, ScreenSizeIsTheXScreenNotQts) {
    const int screen = DefaultScreen(m_display);
    EXPECT_EQ(DesktopPicture::screenSize(),
              QSize(DisplayWidth(m_display, screen), DisplayHeight(m_display, screen)));
    EXPECT_EQ(DesktopPicture::screenSize(), QSize(1024, 768));
}

TEST_F(DesktopPictureX11Test, BothPropertiesNameOneRetainedPixmapOfTheRootDepth) {
    ASSERT_TRUE(DesktopPicture::setDeskWallpaper(writeBmp(numberedImage(3, 2)), kTiled));

    // Looked at through a connection opened before the call: the setter's own one is closed.
    const auto current = rootPixmap(m_display, "_XROOTPMAP_ID");
    const auto retained = rootPixmap(m_display, "ESETROOT_PMAP_ID");
    ASSERT_TRUE(current && retained);
    EXPECT_NE(*current, 0UL);
    EXPECT_EQ(*current, *retained);
    const auto geometry = geometryOf(m_display, *current);
    ASSERT_TRUE(geometry) << "the pixmap did not survive its connection";
    EXPECT_EQ(geometry->depth, static_cast<unsigned>(DefaultDepth(m_display, 0)));
    EXPECT_EQ(geometry->depth, 24U);
    EXPECT_EQ(geometry->width, 1024U);
    EXPECT_EQ(geometry->height, 768U);
}

TEST_F(DesktopPictureX11Test, PixmapSurvivesForAFreshConnection) {
    ASSERT_TRUE(DesktopPicture::setDeskWallpaper(writeBmp(numberedImage(5, 5)), kCentred));
    Display* later = XOpenDisplay(nullptr);
    ASSERT_NE(later, nullptr);
    const auto pixmap = rootPixmap(later, "_XROOTPMAP_ID");
    ASSERT_TRUE(pixmap);
    EXPECT_TRUE(geometryOf(later, *pixmap));
    XCloseDisplay(later);
}

TEST_F(DesktopPictureX11Test, PaintDesktopReadsTheRootPixmapBack) {
    setRegistry(kColorsKey, "Background", "12 34 56");
    const QImage wallpaper = numberedImage(7, 3);
    ASSERT_TRUE(DesktopPicture::setDeskWallpaper(writeBmp(wallpaper), kCentred));
    // Without the kept picture the desktop can only come from the server.
    ASSERT_EQ(std::remove(DesktopPicture::keptPicturePath().c_str()), 0);

    const QSize screen(1024, 768);
    const QImage desktop = DesktopPicture::paintDesktop(screen);
    EXPECT_EQ(desktop, DesktopPicture::compose(wallpaper, screen, WallpaperStyle::Center,
                                               QColor(12, 34, 56)));
    EXPECT_EQ(desktop.pixel(508, 382), wallpaper.pixel(0, 0)); // (1024-7)/2, (768-3)/2
    EXPECT_EQ(desktop.pixel(0, 0), qRgb(12, 34, 56));
}

TEST_F(DesktopPictureX11Test, PaintDesktopFillsBeyondThePixmapWithTheBackground) {
    setRegistry(kColorsKey, "Background", "9 9 9");
    const QImage wallpaper = numberedImage(3, 2);
    ASSERT_TRUE(DesktopPicture::setDeskWallpaper(writeBmp(wallpaper), kTiled));

    const QImage larger = DesktopPicture::paintDesktop(QSize(1030, 770));
    ASSERT_EQ(larger.size(), QSize(1030, 770));
    EXPECT_EQ(larger.pixel(1023, 767), wallpaper.pixel(1023 % 3, 767 % 2));
    EXPECT_EQ(larger.pixel(1024, 0), qRgb(9, 9, 9));
    EXPECT_EQ(larger.pixel(0, 768), qRgb(9, 9, 9));
    EXPECT_EQ(countPixels(larger, qRgb(9, 9, 9)), 1030 * 770 - 1024 * 768);

    const QImage smaller = DesktopPicture::paintDesktop(QSize(4, 3));
    ASSERT_EQ(smaller.size(), QSize(4, 3));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(smaller.pixel(x, y), wallpaper.pixel(x % 3, y % 2));
}

TEST_F(DesktopPictureX11Test, EverySettingMakesANewPixmapAndFreesTheLastOne) {
    ASSERT_TRUE(DesktopPicture::setDeskWallpaper(writeBmp(numberedImage(3, 2)), kCentred));
    const auto first = rootPixmap(m_display, "_XROOTPMAP_ID");
    ASSERT_TRUE(first);
    ASSERT_TRUE(geometryOf(m_display, *first));

    ASSERT_TRUE(DesktopPicture::setDeskWallpaper("", kCentred));
    const auto second = rootPixmap(m_display, "_XROOTPMAP_ID");
    ASSERT_TRUE(second);
    EXPECT_NE(*second, *first);
    EXPECT_EQ(rootPixmap(m_display, "ESETROOT_PMAP_ID"), second);
    EXPECT_FALSE(geometryOf(m_display, *first)) << "the previous pixmap was not freed";
    EXPECT_TRUE(geometryOf(m_display, *second));
}

TEST_F(DesktopPictureX11Test, WallpaperOfAnotherToolIsShownAndThenFreed) {
    setRegistry(kColorsKey, "Background", "0 0 0");
    const Pixmap theirs = setByAnotherTool(QSize(100, 50), qRgb(250, 128, 3));
    ASSERT_NE(theirs, 0UL);

    const QImage desktop = DesktopPicture::paintDesktop(QSize(1024, 768));
    EXPECT_EQ(desktop.pixel(0, 0), qRgb(250, 128, 3));
    EXPECT_EQ(desktop.pixel(99, 49), qRgb(250, 128, 3));
    EXPECT_EQ(countPixels(desktop, qRgb(250, 128, 3)), 100 * 50);
    EXPECT_EQ(countPixels(desktop, qRgb(0, 0, 0)), 1024 * 768 - 100 * 50);

    ASSERT_TRUE(DesktopPicture::setDeskWallpaper(writeBmp(numberedImage(3, 2)), kCentred));
    EXPECT_FALSE(geometryOf(m_display, theirs)) << "the other tool's pixmap was not freed";
}

TEST_F(DesktopPictureX11Test, StaleIdOfALiveClientIsLeftAlone) {
    // A freed pixmap of this very connection: killing its owner would end this test process.
    const Pixmap stale = XCreatePixmap(m_display, DefaultRootWindow(m_display), 4, 4,
                                       static_cast<unsigned>(DefaultDepth(m_display, 0)));
    XFreePixmap(m_display, stale);
    setRootPixmap(m_display, "_XROOTPMAP_ID", stale);
    setRootPixmap(m_display, "ESETROOT_PMAP_ID", stale);
    ASSERT_TRUE(noErrorsSince(m_display));

    setRegistry(kColorsKey, "Background", "20 40 60");
    EXPECT_EQ(countPixels(DesktopPicture::paintDesktop(QSize(6, 5)), qRgb(20, 40, 60)), 30)
        << "a stale id must fall through to the background";

    ASSERT_TRUE(DesktopPicture::setDeskWallpaper("", kCentred));
    const auto current = rootPixmap(m_display, "_XROOTPMAP_ID");
    ASSERT_TRUE(current);
    EXPECT_NE(*current, stale);
    EXPECT_TRUE(geometryOf(m_display, *current)) << "this connection should still be alive";
}

TEST_F(DesktopPictureX11Test, PixmapOfAToolThatDidNotRetainItIsNotKilled) {
    // The tool's pixmap died with its connection; the server hands its client slot to the next
    // connection, whose first pixmap then gets the very id the properties still name.
    const Pixmap gone = setByAnotherTool(QSize(8, 8), qRgb(1, 1, 1), false);
    ASSERT_FALSE(geometryOf(m_display, gone));

    ASSERT_TRUE(DesktopPicture::setDeskWallpaper("", kCentred));
    const auto current = rootPixmap(m_display, "_XROOTPMAP_ID");
    ASSERT_TRUE(current);
    const auto geometry = geometryOf(m_display, *current);
    ASSERT_TRUE(geometry) << "the new wallpaper was killed";
    EXPECT_EQ(geometry->width, 1024U);
}

TEST_F(DesktopPictureX11Test, WithoutRootPropertiesTheRecordedWallpaperIsPaintedInItsStyle) {
    // A new session: the server has no wallpaper, while the kept picture still holds the last
    // session's drawing; the desktop starts from the clean wallpaper that is recorded.
    setRegistry(kDesktopKey, "TileWallpaper", "1");
    setRegistry(kColorsKey, "Background", "8 8 8");
    const QImage wallpaper = numberedImage(3, 2);
    const std::string path = writeBmp(wallpaper);
    setRegistry(kDesktopKey, "Wallpaper", path);
    ASSERT_TRUE(DesktopPicture::setDeskWallpaper(path, kTiled));
    XDeleteProperty(m_display, DefaultRootWindow(m_display),
                    XInternAtom(m_display, "_XROOTPMAP_ID", False));
    XDeleteProperty(m_display, DefaultRootWindow(m_display),
                    XInternAtom(m_display, "ESETROOT_PMAP_ID", False));
    ASSERT_TRUE(noErrorsSince(m_display));
    QImage drawing(1024, 768, QImage::Format_RGB32);
    drawing.fill(qRgb(1, 2, 3));
    ASSERT_TRUE(drawing.save(QString::fromStdString(DesktopPicture::keptPicturePath()), "PNG"));

    EXPECT_EQ(DesktopPicture::paintDesktop(QSize(1024, 768)),
              DesktopPicture::compose(wallpaper, QSize(1024, 768), WallpaperStyle::Tile,
                                      QColor(8, 8, 8)));
}

TEST_F(DesktopPictureX11Test, APictureThatCannotBeKeptIsShownAndThenReported) {
    const auto before = rootPixmap(m_display, "_XROOTPMAP_ID");
    writeFile(m_home.file(".cache"), ""); // the cache folder cannot be made
    const QImage wallpaper = numberedImage(5, 4);
    const std::string path = writeBmp(wallpaper);
    try {
        (void)DesktopPicture::setDeskWallpaper(path, kCentred);
        ADD_FAILURE() << "no error raised";
    } catch (const PictureNotKept& error) {
        EXPECT_EQ(std::string(error.what()),
                  "ファイル " + DesktopPicture::keptPicturePath() + " を作成できません");
    }
    const auto shown = rootPixmap(m_display, "_XROOTPMAP_ID");
    ASSERT_TRUE(shown);
    EXPECT_NE(shown, before);
    EXPECT_EQ(
        DesktopPicture::paintDesktop(QSize(1024, 768)),
        DesktopPicture::compose(wallpaper, QSize(1024, 768), WallpaperStyle::Center, Qt::black));
}

// "元に戻す" on a bare X server where no wallpaper is recorded: the program's own drawing goes,
// while a wallpaper hsetroot set stays, as the user's from then on, also for the next session.
TEST_F(DesktopPictureX11Test, RestoreKeepsOnlyAWallpaperAnotherProgramSet) {
    QtDesktopService service;
    setDesktopService(&service);
    const zbpg::ScopeExit uninstall([] { setDesktopService(nullptr); });
    for (const bool theirs : {false, true}) {
        ASSERT_TRUE(DesktopPicture::setDeskWallpaper(writeBmp(numberedImage(5, 3)), kTiled));
        ASSERT_EQ(runCommand(theirs ? "hsetroot -solid '#3a6ea5'" : "true").status, 0);
        const QImage shown = DesktopPicture::paintDesktop(QSize(1024, 768));
        std::string clean; // as the button does it
        zbpg::GetWallpaperFile(clean);
        zbpg::showWallpaperOrRaise(clean, clean);
        EXPECT_EQ(DesktopPicture::paintDesktop(QSize(1024, 768)) == shown, theirs);
    }
    XDeleteProperty(m_display, DefaultRootWindow(m_display),
                    XInternAtom(m_display, "_XROOTPMAP_ID", False)); // the next session
    EXPECT_EQ(countPixels(DesktopPicture::paintDesktop(QSize(1024, 768)), qRgb(58, 110, 165)),
              1024 * 768);
}

// On two monitors (see tests/CMakeLists.txt) the picture goes on the primary one; the other keeps
// its part of another tool's wallpaper, or at a session's start shows the recorded wallpaper.
TEST_F(DesktopPictureX11Test, OnTwoMonitorsThePictureGoesOnThePrimaryAndTheOtherKeepsItsOwn) {
    const QRect primary(1280, 0, 1024, 768);
    QImage picture(1280, 900, QImage::Format_RGB32);
    picture.fill(qRgb(20, 160, 40));
    setRegistry(kDesktopKey, "Wallpaper", writeBmp(picture));
    picture = QImage(primary.size(), QImage::Format_RGB32);
    picture.fill(qRgb(255, 0, 0));
    for (const auto& [start, kept] :
         {std::pair("hsetroot -solid '#3a6ea5'", qRgb(58, 110, 165)),
          std::pair("xprop -root -remove _XROOTPMAP_ID", qRgb(20, 160, 40))}) {
        ASSERT_EQ(runCommand(start).status, 0);
        ASSERT_TRUE(DesktopPicture::showScreenPicture(picture));
        for (const QPoint point :
             {QPoint(0, 0), QPoint(1279, 899), primary.topLeft(), primary.bottomRight()}) {
            XImage* image = XGetImage(m_display, DefaultRootWindow(m_display), point.x(), point.y(),
                                      1, 1, AllPlanes, ZPixmap);
            EXPECT_EQ(XGetPixel(image, 0, 0) | 0xff000000u,
                      primary.contains(point) ? qRgb(255, 0, 0) : kept)
                << start;
            XDestroyImage(image);
        }
    }
}

// Two runs setting the wallpaper at once, again and again: none frees the other's pixmap while it
// is in use, which breaks the other's connection (status 1) or refuses its copy of the monitor
// the picture does not cover (2).
TEST_F(DesktopPictureX11Test, TwoRunsAtOnceBothShowTheirPicturesOnTwoMonitors) {
    QImage picture(DesktopPicture::screenSize(), QImage::Format_RGB32);
    picture.fill(qRgb(90, 30, 60));
    const pid_t other = ::fork();
    ASSERT_GE(other, 0);
    int status = 0;
    for (int i = 0; i < 100 && status == 0; ++i)
        status = DesktopPicture::showScreenPicture(picture) ? 0 : 2;
    if (other == 0)
        ::_exit(status);
    EXPECT_EQ(status, 0);
    ::waitpid(other, &status, 0);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0);
}

} // namespace

int main(int argc, char** argv) {
    zbpg::test::TestEnvironment environment;
    QGuiApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

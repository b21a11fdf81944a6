// The built program in login sessions of their own: each session is an X server started for it
// (Xvfb), so that a second session really is a new server. GNOME's settings live in a key file
// of the test's home (GSETTINGS_BACKEND=keyfile), changed with gsettings as a user would.
#include "platform/Processes.h"
#include "platform/Registry.h"
#include "platform/qt/DesktopPicture.h"
#include "platform/qt/QtDesktopService.h"
#include "support/TempFolder.h"

#include <QImage>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zbpg {
namespace {

namespace fs = std::filesystem;

const QRgb kFrame = qRgb(255, 0, 0);
// Red frames, 640 * 480 and 1600 * 1200 unless told otherwise, and no system information.
std::string framesOnly(const std::string& frameLines = "") {
    return "[MonitorFrame]\r\nMFSZ2=0\r\nMFSZ3=0\r\nMFSZ4=0\r\nMFSZ5=0\r\nMFColor=255\r\n" +
           frameLines + "[SystemInfo]\r\nSIUserDraw=0\r\nSICompDraw=0\r\nSIIPAddrDraw=0\r\n";
}

// An X server of its own for one login session; DISPLAY names it while it runs.
class XServer final {
public:
    explicit XServer(const char* screen) {
        int number = 90;
        while (fs::exists("/tmp/.X" + std::to_string(number) + "-lock"))
            ++number;
        const std::string display = ":" + std::to_string(number);
        m_pid = ::fork();
        if (m_pid == 0) {
            ::execlp("Xvfb", "Xvfb", display.c_str(), "-screen", "0", screen, "-nolisten", "tcp",
                     "-noreset", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        // The server takes connections once its socket is there.
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
        for (int wait = 0; wait < 200 && !fs::exists(socket); ++wait)
            ::usleep(25000);
        ::setenv("DISPLAY", display.c_str(), 1);
    }
    ~XServer() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
        ::unsetenv("DISPLAY");
    }
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

private:
    pid_t m_pid = -1;
};

class LoginSession : public ::testing::Test {
protected:
    void SetUp() override {
        const char* built = std::getenv("ZBPG_PROGRAM");
        ASSERT_NE(built, nullptr) << "ZBPG_PROGRAM names the built program";
        m_program = m_folder.file("ZorbelPaneglyph");
        fs::copy_file(built, m_program);
        ::unsetenv("QT_QPA_PLATFORM"); // the program sees the X server as in a user's session
    }
    void TearDown() override {
        for (const char* name : {"XDG_CURRENT_DESKTOP", "QT_SCALE_FACTOR"})
            ::unsetenv(name);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }

    void drawOnce(const std::string& settings) {
        test::writeFile(m_folder.file("ZorbelPaneglyph.ini"), settings);
        ASSERT_TRUE(platform::runAndWait({m_program, "-OnlyDraw"}, m_folder.path()));
    }
    std::string picture(QRgb colour, const std::string& name) const {
        QImage image(1024, 768, QImage::Format_RGB32);
        image.fill(colour);
        const std::string path = m_folder.file(name);
        EXPECT_TRUE(image.save(QString::fromStdString(path)));
        return path;
    }

    test::TempFolder m_folder;
    std::string m_program;
};

std::string gsettings(const std::string& arguments) {
    std::string text;
    if (FILE* pipe = ::popen(("gsettings " + arguments).c_str(), "r")) {
        char buffer[1024];
        while (std::fgets(buffer, sizeof buffer, pipe))
            text += buffer;
        ::pclose(pipe);
    }
    return text;
}

// The picture GNOME is told to show, light and dark alike.
std::string gnomePicture() {
    const std::string light = gsettings("get org.gnome.desktop.background picture-uri");
    EXPECT_EQ(gsettings("get org.gnome.desktop.background picture-uri-dark"), light);
    const auto start = light.find("file://");
    return start == std::string::npos
               ? ""
               : light.substr(start + 7, light.find('\'', start) - start - 7);
}

void chooseInGnome(const std::string& file) {
    ASSERT_EQ(
        std::system(("gsettings set org.gnome.desktop.background picture-uri 'file://" + file +
                     "' && gsettings set org.gnome.desktop.background "
                     "picture-options zoom")
                        .c_str()),
        0);
}

TEST_F(LoginSession, GnomeShowsTheDrawingOnTheUsersWallpaperAndEachSessionStartsClean) {
    ::setenv("XDG_CURRENT_DESKTOP", "GNOME", 1);
    const QRgb first = qRgb(40, 60, 90), second = qRgb(10, 120, 30);
    const std::string users = picture(first, "users.png");
    chooseInGnome(users);
    {
        const XServer session("1024x768x24");
        drawOnce(framesOnly()); // the 640 * 480 frame at the top left
        const QImage shown(QString::fromStdString(gnomePicture()));
        ASSERT_EQ(shown.size(), QSize(1024, 768)) << gnomePicture();
        EXPECT_EQ(shown.pixel(0, 100), kFrame);
        EXPECT_EQ(shown.pixel(700, 500), first);
        const auto recorded =
            platform::Registry::currentUser().readValue("Control Panel\\Desktop", "Wallpaper");
        ASSERT_TRUE(recorded);
        EXPECT_EQ(recorded->text, users) << "the user's own wallpaper is kept";
    }
    const std::string firstPicture = gnomePicture();
    {
        const XServer session("1024x768x24");
        drawOnce(framesOnly("MFPositionLT=0\r\nMFPositionRB=1\r\n"));
        const QImage shown(QString::fromStdString(gnomePicture()));
        EXPECT_EQ(shown.pixel(1022, 500), kFrame) << "the new drawing";
        EXPECT_EQ(shown.pixel(0, 100), first) << "without the last session's";
        EXPECT_FALSE(fs::exists(firstPicture));
    }
    chooseInGnome(picture(second, "another.png"));
    {
        const XServer session("1024x768x24");
        drawOnce(framesOnly());
        const QImage shown(QString::fromStdString(gnomePicture()));
        EXPECT_EQ(shown.pixel(0, 100), kFrame);
        EXPECT_EQ(shown.pixel(700, 500), second) << "drawn on the wallpaper chosen since";
    }
}

// A 3840x2160 screen scaled to 200%: by the X resources every toolkit reads, or by Qt's own
// factor. Either way the text is drawn at twice the size, as the desktop's own texts are.
struct Scaling {
    const char* dpiResource;
    const char* qtScaleFactor;
};

class HighDensityScreen : public LoginSession, public ::testing::WithParamInterface<Scaling> {};

TEST_P(HighDensityScreen, TheDrawingCoversTheScreensOwnPixels) {
    const XServer session("3840x2160x24");
    if (*GetParam().dpiResource != '\0') {
        ASSERT_EQ(std::system(
                      ("echo '" + std::string(GetParam().dpiResource) + "' | xrdb -merge").c_str()),
                  0);
    }
    if (*GetParam().qtScaleFactor != '\0')
        ::setenv("QT_SCALE_FACTOR", GetParam().qtScaleFactor, 1);
    platform::QtDesktopService desktop;
    EXPECT_EQ(desktop.screenWidth(), 3840);
    EXPECT_EQ(desktop.screenHeight(), 2160);

    drawOnce(framesOnly("MFSZ1=0\r\n")); // only 1600 * 1200
    const QImage shown = platform::DesktopPicture::paintDesktop(QSize(3840, 2160));
    for (const QPoint p : {QPoint(0, 600), QPoint(1598, 600), QPoint(800, 0), QPoint(800, 1198)})
        EXPECT_EQ(shown.pixel(p), kFrame) << p.x() << "," << p.y();
    EXPECT_NE(shown.pixel(1599, 600), kFrame);
    // The label's rows, just inside the frame's top edge at its right end.
    int rows = 0;
    for (int y = 1; y < 60; ++y)
        for (int x = 1300; x < 1590; ++x)
            if (shown.pixel(x, y) != shown.pixel(1500, 700)) {
                ++rows;
                break;
            }
    EXPECT_GE(rows, 16) << "an 11-pixel label at twice the density";
    EXPECT_LT(rows, 30);
}

INSTANTIATE_TEST_SUITE_P(Scalings, HighDensityScreen,
                         ::testing::Values(Scaling{"Xft.dpi: 192", ""}, Scaling{"", "2"}));

} // namespace
} // namespace zbpg

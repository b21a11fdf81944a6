// Runs the program's main job once on the X server in DISPLAY and saves the resulting desktop:
// a wallpaper is set, settings are prepared beside a copy of the program, the program draws
// with "-OnlyDraw", and the root window's picture is written to the PNG file given.

#include "platform/desktop/WallpaperValues.h"
#include "platform/desktop/qt/DesktopPicture.h"
#include "platform/os/Processes.h"
#include "platform/store/ProfileFile.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

QImage demoWallpaper(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(18, 42, 86));
    sky.setColorAt(1, QColor(70, 120, 160));
    painter.fillRect(image.rect(), sky);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(30, 70, 60));
    painter.drawEllipse(QPoint(250, size.height() + 260), 700, 420);
    painter.setBrush(QColor(40, 90, 75));
    painter.drawEllipse(QPoint(900, size.height() + 300), 600, 420);
    return image;
}

bool writeSettings(const std::string& path) {
    const zbpg::platform::ProfileFile ini(path);
    auto session = ini.openForUpdate();
    session.write("MonitorFrame", "MFColor", "65535"); // yellow frames
    session.write("MonitorFrame", "MFSZ6", "0");
    session.write("FreeMessage", "FreeMessageDraw", "1");
    const char* lines[] = {"ZorbelPaneglyph", "デスクトップに情報を書き込みます。",
                           "画面サイズ・システム情報・任意の文字列"};
    session.write("FreeMessage", "FMInput_ItemCount", "3");
    for (int i = 0; i < 3; ++i)
        session.write("FreeMessage", "FMInput_Item" + std::to_string(i), lines[i]);
    session.write("FreeMessage", "FMLeft", "40");
    session.write("FreeMessage", "FMTop", "560");
    session.write("FreeMessage", "FMLineInterval", "6");
    session.write("FreeMessage", "FMFont_FontName", "ＭＳ ゴシック");
    session.write("FreeMessage", "FMFont_FontSize", "16");
    session.write("FreeMessage", "FMFont_FontColor", "clWhite");
    session.write("FreeMessage", "FMFont_FontStyle", "1");
    return session.commit();
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s PROGRAM OUTPUT.png\n", argv[0]);
        return 2;
    }
    QTemporaryDir folder;
    const std::string program = folder.filePath("ZorbelPaneglyph").toStdString();
    std::filesystem::copy_file(argv[1], program);
    const QSize screen = zbpg::platform::DesktopPicture::screenSize();
    const std::string wallpaper = folder.filePath("wallpaper.bmp").toStdString();
    if (!demoWallpaper(screen).save(QString::fromStdString(wallpaper), "BMP") ||
        !zbpg::platform::DesktopPicture::setDeskWallpaper(wallpaper,
                                                          zbpg::platform::WallpaperStyle::Center) ||
        !zbpg::platform::writeWallpaperValue(zbpg::platform::WallpaperValue::Wallpaper,
                                             wallpaper) ||
        !writeSettings(folder.filePath("ZorbelPaneglyph.ini").toStdString())) {
        std::fprintf(stderr, "could not prepare the demo desktop\n");
        return 1;
    }
    ::unsetenv("QT_QPA_PLATFORM");
    if (!zbpg::platform::runAndWait({program, "-OnlyDraw"}, folder.path().toStdString()))
        return 1;
    const QImage desktop = zbpg::platform::DesktopPicture::paintDesktop(screen);
    if (!desktop.save(QString::fromLocal8Bit(argv[2]), "PNG"))
        return 1;
    std::printf("wrote %s\n", argv[2]);
    return 0;
}

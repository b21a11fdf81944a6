// screen_grab FILE X Y RRGGBB SECONDS: saves the X screen as a PNG file once the pixel has the
// colour, or when the seconds have passed: a desktop paints in its own time.
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QThread>

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    const QStringList words = QGuiApplication::arguments();
    const QDeadlineTimer deadline(words.value(5).toInt() * 1000);
    QImage shown;
    while ((shown = QGuiApplication::primaryScreen()->grabWindow(0).toImage())
                   .pixel(words.value(2).toInt(), words.value(3).toInt()) !=
               (0xFF000000 | words.value(4).toUInt(nullptr, 16)) &&
           !deadline.hasExpired())
        QThread::msleep(100);
    return shown.save(words.value(1), "PNG") ? 0 : 1;
}

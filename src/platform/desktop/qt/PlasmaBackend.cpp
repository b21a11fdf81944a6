#include "platform/desktop/qt/PlasmaBackend.h"

#include "platform/desktop/SessionBus.h"
#include "platform/os/XdgPaths.h"
#include "text/qt/QtConvert.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QStringList>
#include <QUrl>
#include <sys/stat.h>

namespace zbpg::platform {
namespace {

constexpr const char* kService = "org.kde.plasmashell";
constexpr const char* kPath = "/PlasmaShell";
constexpr const char* kInterface = "org.kde.PlasmaShell";

// Plasma's "FillMode" of the image wallpaper (Qt's Image.fillMode): 0 stretch, 1 fit, 2 crop,
// 3 tile, 4 and 5 tile in one direction, 6 pad (centred). Plasma has no span and no picture-less
// image wallpaper: the one is cropped, the other centred as the nearest it has.
WallpaperStyle styleOfFillMode(int mode) {
    switch (mode) {
    case 0:
        return WallpaperStyle::Stretch;
    case 1:
        return WallpaperStyle::Fit;
    case 3:
    case 4:
    case 5:
        return WallpaperStyle::Tile;
    case 6:
        return WallpaperStyle::Center;
    default:
        return WallpaperStyle::Cover;
    }
}

int fillModeOf(WallpaperStyle style) {
    switch (style) {
    case WallpaperStyle::Center:
    case WallpaperStyle::ColourOnly:
        return 6;
    case WallpaperStyle::Tile:
        return 3;
    case WallpaperStyle::Stretch:
        return 0;
    case WallpaperStyle::Fit:
        return 1;
    case WallpaperStyle::Cover:
    case WallpaperStyle::Span:
    case WallpaperStyle::Screen:
        break;
    }
    return 2; // a picture for the primary screen fills it exactly, others without distortion
}

// A text as a JavaScript string literal.
QString scriptString(const QString& text) {
    QString literal = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == u'"' || c == u'\\')
            literal += u'\\';
        if (c.unicode() < 0x20)
            literal += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            literal += c;
    }
    return literal + u'"';
}

// The image wallpaper of the primary screen's desktop: its plugin, image and fill mode, one a
// line.
constexpr const char* kCurrentScript = R"(var all = desktops();
var shown = all[0];
for (var i = 0; i < all.length; ++i)
    if (all[i].screen == 0)
        shown = all[i];
shown.currentConfigGroup = ["Wallpaper", "org.kde.image", "General"];
print(shown.wallpaperPlugin + "\n" + shown.readConfig("Image") + "\n" + shown.readConfig("FillMode"));
)";

// A call over Qt's connection to the session bus, within the time a desktop has to answer; only
// once the bus has shown that it answers, since connecting to one that does not waits for good.
std::optional<QDBusMessage> callOverBus(const QDBusMessage& call) {
    if (!sessionBusAnswers())
        return std::nullopt;
    QDBusMessage reply = QDBusConnection::sessionBus().call(
        call, QDBus::Block, static_cast<int>(kBusCallTimeout.count()));
    if (reply.type() != QDBusMessage::ReplyMessage)
        return std::nullopt;
    return reply;
}

std::optional<QString> evaluate(const QString& script) {
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                       QStringLiteral("evaluateScript"));
    call << script;
    const auto reply = callOverBus(call);
    if (!reply)
        return std::nullopt;
    const auto arguments = reply->arguments();
    return arguments.isEmpty() ? QString() : arguments.front().toString();
}

// Plasma keeps every desktop's wallpaper in its applets' configuration file and has no signal
// of its own for a change: the file is watched. KConfig replaces the file whole (a new file
// renamed over it), which ends a watch on the file itself, so its folder is watched as well and
// the file's watch made again; a change of the folder that leaves the file as it was tells
// nothing.
class PlasmaChanges final : public ChangeSubscription {
public:
    explicit PlasmaChanges(ChangeCallback changed)
        : m_file(toQString(xdgConfigHome() + "/plasma-org.kde.plasma.desktop-appletsrc")),
          m_changed(std::move(changed)) {
        m_watcher.addPath(QFileInfo(m_file).absolutePath());
        m_seen = identityOf(m_file);
        watchFile();
        QObject::connect(&m_watcher, &QFileSystemWatcher::fileChanged, [this] { tell(); });
        QObject::connect(&m_watcher, &QFileSystemWatcher::directoryChanged, [this] { tell(); });
    }

private:
    // What tells one version of the file from the next.
    static QString identityOf(const QString& file) {
        struct stat info {};
        if (::stat(QFile::encodeName(file).constData(), &info) != 0)
            return {};
        return QStringLiteral("%1:%2:%3.%4")
            .arg(info.st_ino)
            .arg(info.st_size)
            .arg(info.st_mtim.tv_sec)
            .arg(info.st_mtim.tv_nsec);
    }
    void watchFile() {
        if (!m_watcher.files().contains(m_file) && QFileInfo::exists(m_file))
            m_watcher.addPath(m_file);
    }
    void tell() {
        watchFile();
        const QString now = identityOf(m_file);
        if (now == m_seen)
            return;
        m_seen = now;
        m_changed();
    }

    QString m_file;
    ChangeCallback m_changed;
    QFileSystemWatcher m_watcher;
    QString m_seen;
};

class PlasmaBackend final : public WallpaperBackend {
public:
    std::string name() const override { return "KDE Plasma"; }

    bool available() override {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
        call << QString::fromLatin1(kService);
        const auto reply = callOverBus(call);
        return reply && !reply->arguments().isEmpty() && reply->arguments().front().toBool();
    }

    std::optional<DesktopWallpaper> current() override {
        const auto output = evaluate(QString::fromLatin1(kCurrentScript));
        if (!output)
            return std::nullopt;
        const QStringList lines = output->split(u'\n');
        if (lines.size() < 3 || lines[0].trimmed() != QStringLiteral("org.kde.image"))
            return std::nullopt;
        const QString image = lines[1].trimmed();
        const QUrl url(image);
        DesktopWallpaper wallpaper;
        wallpaper.file = toStdString(url.isLocalFile() ? url.toLocalFile() : image);
        bool number = false;
        const int mode = lines[2].trimmed().toInt(&number);
        wallpaper.style = styleOfFillMode(number ? mode : 2);
        return wallpaper;
    }

    bool show(const std::string& file, WallpaperStyle style) override {
        return evaluate(plasmaShowScript(file, fillModeOf(style))).has_value();
    }

    std::unique_ptr<ChangeSubscription> watchChanges(ChangeCallback changed) override {
        return std::make_unique<PlasmaChanges>(std::move(changed));
    }
};

} // namespace

QString plasmaShowScript(const std::string& file, int fillMode) {
    const QString url = QUrl::fromLocalFile(toQString(file)).toString();
    return QStringLiteral(R"(var all = desktops();
for (var i = 0; i < all.length; ++i) {
    all[i].wallpaperPlugin = "org.kde.image";
    all[i].currentConfigGroup = ["Wallpaper", "org.kde.image", "General"];
    all[i].writeConfig("Image", %1);
    all[i].writeConfig("FillMode", %2);
}
)")
        .arg(scriptString(url))
        .arg(fillMode);
}

std::unique_ptr<WallpaperBackend> makePlasmaBackend() {
    return std::make_unique<PlasmaBackend>();
}

} // namespace zbpg::platform

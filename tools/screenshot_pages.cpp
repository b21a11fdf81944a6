// Renders every page of the settings window, as it looks at first start on a 1024 by 768
// screen, to PNG files in the folder given.

#include "options/Options.h"
#include "platform/desktop/DesktopService.h"
#include "platform/dialogs/qt/FontColorDialog.h"
#include "text/qt/QtConvert.h"
#include "ui/Main.h"
#include "ui/MultiRowTabWidget.h"
#include "ui/pages/VersionPage.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>

namespace {

class ScreenOf1024x768 final : public zbpg::platform::DesktopService {
public:
    bool openDocument(const std::string&) override { return false; }
    bool openDisplaySettings() override { return false; }
    int screenWidth() override { return 1024; }
    int screenHeight() override { return 768; }
    bool showWallpaper(const zbpg::platform::DesktopWallpaper&) override { return false; }
    bool showScreenPicture(const zbpg::platform::ScreenPicture&) override { return false; }
};

bool save(QWidget& widget, const QString& path) {
    const bool saved = widget.grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT-FOLDER\n", argv[0]);
        return 2;
    }
    zbpg::installFontSubstitutions();
    ScreenOf1024x768 screen;
    zbpg::platform::setDesktopService(&screen);
    const QDir output(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir settings;

    bool ok = true;
    {
        const std::string folder = settings.path().toStdString();
        zbpg::ProgramFiles files;
        files.programFile = folder + "/ZorbelPaneglyph";
        files.iniFile = folder + "/ZorbelPaneglyph.ini";
        files.helpFile = folder + "/help.html";
        files.startUpLink = folder + "/ZorbelPaneglyph.desktop";
        files.tmpBitmapFile = folder + "/ZorbelPaneglyphTmp.bmp";
        zbpg::TFormMain window(files);
        (void)window.FormCreate();
        window.show();
        auto* tabs = window.findChild<zbpg::MultiRowTabWidget*>("PageControlEnv");
        const char* names[] = {"1-settei",  "2-wallpaper", "3-screen-size", "4-system-info",
                               "5-message", "6-programs",  "7-version"};
        for (int page = 0; page < tabs->count(); ++page) {
            tabs->setCurrentIndex(page);
            if (auto* version = qobject_cast<zbpg::VersionPage*>(tabs->widget(page)))
                version->TimerVersionTimer(); // past the plain first seconds
            QApplication::processEvents();
            ok = save(window, output.filePath(QString(names[page]) + ".png")) && ok;
        }
        zbpg::platform::FontColorDialog fontDialog;
        fontDialog.setFontDescription(zbpg::factoryOptions().monitorFrame.font);
        fontDialog.show();
        QApplication::processEvents();
        ok = save(fontDialog, output.filePath("8-font-dialog.png")) && ok;
    }
    zbpg::platform::setDesktopService(nullptr);
    return ok ? 0 : 1;
}

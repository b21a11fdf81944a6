// The settings window as the program starts it, ending the process as soon as the window's
// first paint has reached the screen, so that the time from process start to that paint can
// be taken from outside:
//   window_bench <program path>          the settings file beside that program path
//   window_bench census <program path>   lists the window's widgets for bare_window_bench

#include "FirstPaint.h"
#include "app/Application.h"
#include "common/ProgramFiles.h"
#include "platform/desktop/qt/QtDesktopService.h"
#include "platform/dialogs/qt/QtDialogService.h"
#include "platform/dialogs/qt/QtMessageService.h"
#include "text/qt/QtConvert.h"
#include "ui/Main.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QStackedWidget>
#include <cstdio>
#include <string>

namespace {

// The nearest class of Qt's own a widget is made of.
const char* qtClassOf(const QWidget* widget) {
    const QMetaObject* meta = widget->metaObject();
    while (meta->superClass() && meta->className()[0] != 'Q')
        meta = meta->superClass();
    return meta->className();
}

// Widgets that Qt's composite widgets make for themselves come with their owner.
bool isPartOfQtWidget(const QWidget* widget) {
    for (const QObject* owner = widget->parent(); owner; owner = owner->parent()) {
        for (const char* composite :
             {"QAbstractScrollArea", "QAbstractSpinBox", "QComboBox", "QTabWidget"})
            if (owner->inherits(composite))
                return true;
    }
    return false;
}

QString captionOf(const QWidget* widget) {
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (const auto* box = qobject_cast<const QGroupBox*>(widget))
        return box->title();
    return {};
}

// The page a widget sits on, -1 for the frame around the pages.
int pageOf(const QWidget* widget) {
    for (const QWidget* child = widget; child && child->parentWidget();
         child = child->parentWidget()) {
        if (const auto* pages = qobject_cast<const QStackedWidget*>(child->parentWidget()))
            return pages->indexOf(const_cast<QWidget*>(child));
    }
    return -1;
}

// One line a widget: page, Qt class, whether hidden, caption (line breaks as "\n").
void printCensus(const QWidget& window) {
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        if (isPartOfQtWidget(widget) || qobject_cast<const QStackedWidget*>(widget))
            continue;
        const QString caption = captionOf(widget).replace('\n', "\\n");
        std::printf("%d\t%s\t%d\t%s\n", pageOf(widget), qtClassOf(widget),
                    widget->isHidden() ? 1 : 0, caption.toUtf8().constData());
    }
}

} // namespace

int main(int argc, char** argv) {
    const bool census = argc == 3 && std::string(argv[1]) == "census";
    if (argc != 2 && !census) {
        std::fprintf(stderr, "usage: window_bench [census] <program path>\n");
        return 2;
    }
    zbpg::Application application(argc, argv);
    zbpg::installFontSubstitutions();
    zbpg::platform::QtMessageService messages;
    zbpg::platform::QtDialogService dialogs;
    zbpg::platform::QtDesktopService desktop;
    zbpg::platform::setMessageService(&messages);
    zbpg::platform::setDialogService(&dialogs);
    zbpg::platform::setDesktopService(&desktop);
    zbpg::TFormMain window(zbpg::ProgramFiles::forProgram(argv[argc - 1]));
    (void)window.FormCreate();
    if (census) {
        printCensus(window);
        return 0;
    }
    endAtFirstPaint(window);
    window.show();
    return application.exec();
}

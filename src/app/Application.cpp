#include "app/Application.h"

#include "platform/dialogs/MessageService.h"
#include "text/Texts.h"

#include <QLibraryInfo>
#include <exception>

namespace zbpg {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(texts::kProgramName);
    // The desktop entry's name: a Wayland compositor finds the menu entry and its icon by it.
    setDesktopFileName(texts::kApplicationId);
    // No display name: Qt would append it to every window title ("エラー — ZorbelPaneglyph"),
    // and each window and box carries its exact title itself.
    // Without the translations (not installed) Qt's texts stay English; nothing else changes.
    if (m_qtTranslations.load(QStringLiteral("qtbase_ja"),
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(&m_qtTranslations);
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        platform::showErrorReport(error.what());
    }
    return false;
}

} // namespace zbpg

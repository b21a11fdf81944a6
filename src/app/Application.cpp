#include "app/Application.h"

#include "platform/MessageService.h"

#include <exception>

namespace zbpg {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName("ZorbelPaneglyph");
    setApplicationDisplayName("ZorbelPaneglyph");
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

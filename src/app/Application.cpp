#include "app/Application.h"

#include "platform/MessageService.h"
#include "text/Texts.h"

#include <exception>

namespace zbpg {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(texts::kProgramName);
    setApplicationDisplayName(texts::kProgramName);
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

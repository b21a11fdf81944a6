#include "app/QtPlatform.h"

#include "base/Error.h"
#include "platform/desktop/WaylandCompositor.h"
#include "platform/desktop/qt/DesktopPicture.h"
#include "text/Texts.h"

#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace zbpg {
namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

void addName(std::string& names, const std::string& name) {
    names += (names.empty() ? "" : ", ") + name;
}

// Qt's headless platforms draw, but nobody sees their windows.
bool showsWindows(const std::string& request) {
    return request != "offscreen" && request != "minimal";
}

// What the failure of Qt's start is told with, and the handler Qt had before.
std::string g_startingOn;
QtMessageHandler g_qtHandler = nullptr;

// Qt's fatal message ends the process with an abort; while Qt starts, that can only mean that
// no platform could start, which is the program's to say, and to end on with a plain failure.
void endFailedStart(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        if (g_qtHandler != nullptr)
            g_qtHandler(type, context, text);
        else
            std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
        return;
    }
    std::fprintf(stderr, "%s: %s\n", texts::kProgramName,
                 formatMessage(texts::kCannotShowOnDisplay, g_startingOn).c_str());
    std::_Exit(1);
}

} // namespace

QtPlatform chooseQtPlatform() {
    QtPlatform chosen;
    const std::string wayland = environment("WAYLAND_DISPLAY");
    const std::string x11 = environment("DISPLAY");
    for (const std::string& name : {wayland, x11})
        if (!name.empty())
            addName(chosen.named, name);
    if (const std::string own = environment("QT_QPA_PLATFORM"); !own.empty()) {
        chosen.request = own; // the user knows best, and tests draw offscreen
        chosen.onScreen = showsWindows(own);
        return chosen;
    }
    std::vector<const char*> answering;
    const auto ask = [&](const std::string& name, const char* qtPlatform, bool (*answers)()) {
        if (name.empty())
            return;
        if (answers())
            answering.push_back(qtPlatform);
        else
            addName(chosen.unanswered, name);
    };
    ask(wayland, "wayland", platform::waylandCompositorAnswers);
    ask(x11, "xcb", platform::DesktopPicture::hasXServer);
    chosen.onScreen = !answering.empty();
    if (answering.size() == 1)
        chosen.request = answering.front();
    return chosen;
}

std::unique_ptr<Application> startApplication(int& argc, char** argv, const QtPlatform& chosen) {
    const std::string request = chosen.onScreen ? chosen.request : "offscreen";
    if (!request.empty())
        ::setenv("QT_QPA_PLATFORM", request.c_str(), 1);
    g_startingOn = chosen.named.empty() ? request : chosen.named;
    g_qtHandler = qInstallMessageHandler(endFailedStart);
    auto application = std::make_unique<Application>(argc, argv);
    qInstallMessageHandler(g_qtHandler);
    return application;
}

} // namespace zbpg

#include "platform/os/Shortcut.h"

#include "platform/os/AtomicFile.h"

namespace zbpg::platform {
namespace {

// The general escapes of string values in a desktop entry.
std::string escapeValue(const std::string& text) {
    std::string result;
    for (char c : text) {
        switch (c) {
        case '\\':
            result += "\\\\";
            break;
        case '\n':
            result += "\\n";
            break;
        case '\t':
            result += "\\t";
            break;
        case '\r':
            result += "\\r";
            break;
        default:
            result += c;
        }
    }
    return result;
}

} // namespace

std::string quotedExecArgument(const std::string& path) {
    std::string quoted = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        if (c == '%')
            quoted += '%';
        quoted += c;
    }
    return quoted + "\"";
}

bool writeDesktopEntry(const std::string& entryPath, const std::string& target,
                       const std::string& arguments, const std::string& workingFolder,
                       const std::string& description) {
    std::string exec = quotedExecArgument(target);
    if (!arguments.empty())
        exec += " " + arguments;
    const std::string content = "[Desktop Entry]\n"
                                "Type=Application\n"
                                "Name=" +
                                escapeValue(description) +
                                "\n"
                                "Comment=" +
                                escapeValue(description) +
                                "\n"
                                "Exec=" +
                                escapeValue(exec) +
                                "\n"
                                "Path=" +
                                escapeValue(workingFolder) +
                                "\n"
                                "Terminal=false\n";
    return makeFolders(parentFolder(entryPath)) &&
           writeFileAtomically(entryPath, content, Durability::SurvivesPowerLoss,
                               AtLink::WriteTarget);
}

} // namespace zbpg::platform

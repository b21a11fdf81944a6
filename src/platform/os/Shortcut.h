#pragma once

#include <string>

namespace zbpg::platform {

// Shortcuts are desktop entries here: a Startup-folder shortcut is a file of the XDG autostart
// folder, named with this extension.
constexpr const char* kShortcutExtension = ".desktop";

// A desktop entry that starts the target with the arguments in the working folder. The target
// is quoted in Exec as the Desktop Entry rules require (so any path works); the arguments are
// written as given. The folder of the entry is created when missing. False when the file could
// not be written.
[[nodiscard]] bool writeDesktopEntry(const std::string& entryPath, const std::string& target,
                                     const std::string& arguments, const std::string& workingFolder,
                                     const std::string& description);

// The Exec value for a program path: in double quotes, with the characters that need it
// escaped, and every "%" doubled (a field code otherwise).
std::string quotedExecArgument(const std::string& path);

} // namespace zbpg::platform

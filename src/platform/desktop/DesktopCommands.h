#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zbpg::platform {

// What the backends that reach a desktop through its commands and files share.

// Runs a program to its end, for at most the seconds given (then it is ended with whatever it
// started); true when it exited with status 0. A desktop's command may wait for a desktop that
// is not there.
[[nodiscard]] bool commandSucceeds(const std::vector<std::string>& arguments, int seconds);

// Whether the condition holds now or comes to hold within the milliseconds given: a desktop
// takes a change in its own time after the command that asked for it has ended.
[[nodiscard]] bool holdsWithin(const std::function<bool()>& condition, int milliseconds);

// A configuration file of a desktop's own: its text when it is a regular file of at most a
// mebibyte.
std::optional<std::string> readConfigFile(const std::string& path);

// The configuration file below each configuration folder, the user's first: $XDG_CONFIG_HOME,
// then every folder of $XDG_CONFIG_DIRS (default /etc/xdg). A desktop reads its user's own
// configuration and, while there is none, the one the system gives.
std::vector<std::string> configFilesNamed(const std::string& relativePath);

// One value of an INI-style text (UTF-8, "[Section]" and "key=value"); the first of the key's
// lines in the section counts. Nothing when the section or key is missing.
std::optional<std::string> iniValue(const std::string& text, const std::string& section,
                                    const std::string& key);

// "#RRGGBB" (hex digits in either case) as 0xRRGGBB; nothing for any other text.
std::optional<unsigned> colourOfHexText(const std::string& text);

} // namespace zbpg::platform

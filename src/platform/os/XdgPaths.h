#pragma once

#include <string>
#include <vector>

namespace zbpg::platform {

// The user's folders by the XDG base directory rules: the variable when it holds an absolute
// path, else the default below HOME.
std::string homeFolder();
std::string xdgConfigHome();
std::string xdgCacheHome();
std::string xdgDataHome();

// The machine's configuration folders, most important first: the absolute paths of
// XDG_CONFIG_DIRS (a ":" list), else "/etc/xdg".
std::vector<std::string> xdgConfigDirs();

// A folder of the user's own ("DESKTOP", "TEMPLATES", …) as "user-dirs.dirs" in the
// configuration folder names it, else its usual place ("~/Desktop", "~/Templates").
std::string xdgUserFolder(const std::string& name);

// The program's own folders below those ("…/ZorbelPaneglyph").
std::string appConfigFolder();
std::string appCacheFolder();

} // namespace zbpg::platform

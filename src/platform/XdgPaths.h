#pragma once

#include <string>

namespace zbpg::platform {

// The user's folders by the XDG base directory rules: the variable when it holds an absolute
// path, else the default below HOME.
std::string homeFolder();
std::string xdgConfigHome();
std::string xdgCacheHome();

// The program's own folders below those ("…/ZorbelPaneglyph").
std::string appConfigFolder();
std::string appCacheFolder();

} // namespace zbpg::platform

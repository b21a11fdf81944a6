#pragma once

#include <string>

namespace zbpg::platform {

// One line on standard error, "ZorbelPaneglyph: <text>", which the login session keeps in its
// log: for what nobody has to answer, as a logon run's failures before any message box, what a
// run could not keep, and what the watch redrew.
void tellOnStandardError(const std::string& text);

} // namespace zbpg::platform

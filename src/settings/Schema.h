#pragma once

#include "settings/RegMng.h"

#include <string>

namespace zbpg {

// The program's settings vocabulary: the 83 items of the settings window's manager, in the
// order in which they are loaded and saved.
void fillSettingsSchema(TRegItems& items);

// Items that the window's load and save leave alone: the parts that use them read them when
// needed and write them at once.
bool isDirectSettingsItem(const std::string& name);

} // namespace zbpg

#pragma once

#include "settings/ComponentStream.h"
#include "settings/RegMng.h"

#include <string>

namespace zbpg {

// The program's settings vocabulary: the 83 items of the settings window's manager, in the
// order in which they are loaded and saved.
void fillSettingsSchema(TRegItems& items);

// The draw-sequence list as the program ships it: its place on the window and the three items
// in their first order. Its stream is what a first save stores as "DrawSeq".
ListControlDescription shippedDrawSequence();

} // namespace zbpg

#pragma once

#include "text/FontDescription.h"

#include <string>
#include <vector>

namespace zbpg {

class TEditUpDown;

// Places a drawn text on the screen with the pointer. A pick starts and returns at once; the
// place the user takes goes into the two fields later, as if typed there. The preview is laid
// out as the draw run lays out the same text, so what is picked is where it is drawn.
class PositionPicker {
public:
    virtual ~PositionPicker() = default;

    // One line of text in the font, as a system-information line is drawn.
    virtual void PickTextPosition(const std::string& text, const FontDescription& font,
                                  TEditUpDown& editX, TEditUpDown& editY) = 0;
    // Lines one under another with interval extra pixels between two, as the free message is
    // drawn.
    virtual void PickLinesPosition(const std::vector<std::string>& lines,
                                   const FontDescription& font, TEditUpDown& editX,
                                   TEditUpDown& editY, int interval) = 0;
};

} // namespace zbpg

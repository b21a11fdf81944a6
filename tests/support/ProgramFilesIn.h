#pragma once

#include "common/ProgramFiles.h"
#include "support/TempFolder.h"

namespace zbpg::test {

// The program's files as they lie beside a program in the folder: settings, help, Startup
// link, composed picture, converted wallpaper; no installation's settings.
inline ProgramFiles programFilesIn(const TempFolder& folder) {
    return {folder.file("ZorbelPaneglyph"),        folder.file("ZorbelPaneglyph.ini"),
            folder.file("help/index.html"),        folder.file("autostart/ZorbelPaneglyph.desktop"),
            folder.file("ZorbelPaneglyphTmp.bmp"), {},
            folder.file("ZorbelPaneglyph.bmp"),    {}};
}

} // namespace zbpg::test

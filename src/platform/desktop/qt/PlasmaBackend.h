#pragma once

#include "platform/desktop/WallpaperBackend.h"

#include <QString>
#include <memory>

namespace zbpg::platform {

// KDE Plasma 5 and 6: the shell's scripting interface over D-Bus
// (org.kde.PlasmaShell.evaluateScript) sets the image of every desktop's "org.kde.image"
// wallpaper.
std::unique_ptr<WallpaperBackend> makePlasmaBackend();

// The script that shows the file on every desktop, placed by Plasma's fill mode.
QString plasmaShowScript(const std::string& file, int fillMode);

} // namespace zbpg::platform

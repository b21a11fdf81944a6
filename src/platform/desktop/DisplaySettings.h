#pragma once

namespace zbpg::platform {

// Starts the display settings of a desktop installed here (the first found of GNOME's, XFCE's,
// LXQt's, LXDE's and a plain RandR tool), detached; false when none is installed or it could
// not be started.
[[nodiscard]] bool startDisplaySettings();

} // namespace zbpg::platform

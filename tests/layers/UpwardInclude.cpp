// Compiled when the build is configured, with the settings layer's include folders: its own
// header must be found, the window's header above it must not.
#include "settings/RegMng.h"
#include "ui/Main.h"

// Built only by the layer test, which expects the include below to fail: the settings layer
// cannot see the settings window, which lies above it.
#include "ui/Main.h"

#pragma once

#include "common/ProgramFiles.h"

namespace zbpg {

// "-Watch": one copy per login session. It waits the configured seconds, performs the logon run
// and stays without a window, redrawing on the clean wallpaper when a value the drawing shows has
// changed: the address or the host name the kernel tells of, the primary screen's size or
// density, the wallpaper the user chose in the desktop's own settings. It ends with the login
// session: when its display or session bus goes away, or when asked to end (SIGTERM, SIGINT,
// SIGHUP). Everything it has to say goes to standard error, the session's log; a run that fails
// leaves the drawing as it is until the next change. The exit status: 0 when the session ended
// it, 1 when another copy watches this session or the settings cannot be read.
int runWatch(const ProgramFiles& files);

} // namespace zbpg

#pragma once

#include <string>

namespace zbpg::platform {

// What the desktop shell does for the program: showing a document (the help pages) with the
// user's associated viewer, and telling the size of the primary screen.
class DesktopService {
public:
    virtual ~DesktopService() = default;
    // True when a viewer was started.
    virtual bool openDocument(const std::string& path) = 0;
    // Width and height of the primary screen in pixels.
    virtual int screenWidth() = 0;
    virtual int screenHeight() = 0;
};

// The installed service; without one nothing is opened and the screen is 1024 by 768.
DesktopService& desktopService();
void setDesktopService(DesktopService* service);

} // namespace zbpg::platform

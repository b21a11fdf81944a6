#pragma once

#include "platform/DesktopService.h"

namespace zbpg::platform {

// Documents open with the desktop's associated viewer (QDesktopServices); the screen is Qt's
// primary screen.
class QtDesktopService final : public DesktopService {
public:
    bool openDocument(const std::string& path) override;
    int screenWidth() override;
    int screenHeight() override;
};

} // namespace zbpg::platform

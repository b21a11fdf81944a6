#include "platform/DesktopService.h"

namespace zbpg::platform {
namespace {

class HeadlessDesktopService final : public DesktopService {
public:
    bool openDocument(const std::string&) override { return false; }
    int screenWidth() override { return 1024; }
    int screenHeight() override { return 768; }
    bool setDeskWallpaper(const std::string&, bool) override { return false; }
};

HeadlessDesktopService g_defaultService;
DesktopService* g_service = nullptr;

} // namespace

DesktopService& desktopService() {
    return g_service ? *g_service : g_defaultService;
}

void setDesktopService(DesktopService* service) {
    g_service = service;
}

} // namespace zbpg::platform

#include "platform/desktop/DesktopService.h"

#include "base/ServiceSlot.h"

namespace zbpg::platform {
namespace {

class HeadlessDesktopService final : public DesktopService {
public:
    bool openDocument(const std::string&) override { return false; }
    bool openDisplaySettings() override { return false; }
    int screenWidth() override { return 1024; }
    int screenHeight() override { return 768; }
    bool showWallpaper(const DesktopWallpaper&) override { return false; }
    bool showScreenPicture(const ScreenPicture&) override { return false; }
};

HeadlessDesktopService g_headless;
ServiceSlot<DesktopService> g_slot(g_headless);

} // namespace

DesktopService& desktopService() {
    return g_slot.get();
}

void setDesktopService(DesktopService* service) {
    g_slot.install(service);
}

} // namespace zbpg::platform

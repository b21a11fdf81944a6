#include "platform/dialogs/DialogService.h"

#include "base/ServiceSlot.h"

namespace zbpg::platform {
namespace {

class CancellingDialogService final : public DialogService {
public:
    std::optional<FileDialogResult> openFile(const FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<FolderDialogResult> browseFolder(const FolderDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<FontDescription> chooseFont(const FontDescription&) override {
        return std::nullopt;
    }
    std::optional<Color> chooseColor(Color) override { return std::nullopt; }
};

CancellingDialogService g_cancelling;
ServiceSlot<DialogService> g_slot(g_cancelling);

} // namespace

std::vector<FileFilter> parseFilterText(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto bar = text.find('|', start);
        const auto end = bar == std::string::npos ? text.size() : bar;
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    std::vector<FileFilter> filters;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2)
        filters.push_back({parts[i], parts[i + 1]});
    return filters;
}

DialogService& dialogService() {
    return g_slot.get();
}

void setDialogService(DialogService* service) {
    g_slot.install(service);
}

} // namespace zbpg::platform

#include "platform/dialogs/MessageService.h"

#include "base/ServiceSlot.h"
#include "text/Texts.h"

#include <cstdio>

namespace zbpg::platform {
namespace {

class StandardErrorMessageService final : public MessageService {
public:
    MessageAnswer show(const MessageRequest& request) override {
        std::fprintf(stderr, "%s: %s\n", request.caption.c_str(), request.text.c_str());
        switch (request.buttons) {
        case MessageButtons::Ok:
            return MessageAnswer::Ok;
        case MessageButtons::OkCancel:
            return MessageAnswer::Cancel;
        case MessageButtons::YesNo:
            return MessageAnswer::No;
        case MessageButtons::YesNoCancel:
            return MessageAnswer::Cancel;
        }
        return MessageAnswer::Cancel;
    }
};

StandardErrorMessageService g_standardError;
ServiceSlot<MessageService> g_slot(g_standardError);

} // namespace

MessageService& messageService() {
    return g_slot.get();
}

void setMessageService(MessageService* service) {
    g_slot.install(service);
}

void showErrorDialog(const std::string& text) {
    messageService().show({texts::kErrorCaption, text, MessageIcon::Error, MessageButtons::Ok});
}

void showErrorReport(const std::string& text) {
    const bool endsWithPeriod = !text.empty() && text.back() == '.';
    messageService().show({texts::kProgramName, endsWithPeriod ? text : text + ".",
                           MessageIcon::Error, MessageButtons::Ok});
}

} // namespace zbpg::platform

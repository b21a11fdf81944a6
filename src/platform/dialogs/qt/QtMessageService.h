#pragma once

#include "platform/dialogs/MessageService.h"

#include <QMessageBox>
#include <memory>

namespace zbpg::platform {

// Message boxes as real modal Qt message boxes (application-modal, no owner window).
class QtMessageService final : public MessageService {
public:
    MessageAnswer show(const MessageRequest& request) override;

    // The box a request shows, configured but not yet shown.
    static std::unique_ptr<QMessageBox> build(const MessageRequest& request);
    // The answer of a closed box: its clicked button, or its escape button when closed otherwise.
    static MessageAnswer answerOf(const QMessageBox& box);
    static MessageAnswer answerFor(QMessageBox::StandardButton button);
};

} // namespace zbpg::platform

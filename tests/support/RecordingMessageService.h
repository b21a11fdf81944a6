#pragma once

#include "platform/dialogs/MessageService.h"

#include <deque>
#include <functional>
#include <vector>

namespace zbpg::test {

// Records every message box and answers from a queue (then Ok, or Yes where Ok is not
// offered). Installs itself for its lifetime.
class RecordingMessageService final : public platform::MessageService {
public:
    RecordingMessageService() { platform::setMessageService(this); }
    ~RecordingMessageService() override { platform::setMessageService(nullptr); }
    RecordingMessageService(const RecordingMessageService&) = delete;
    RecordingMessageService& operator=(const RecordingMessageService&) = delete;

    platform::MessageAnswer show(const platform::MessageRequest& request) override {
        shown.push_back(request);
        if (whileShowing)
            whileShowing();
        if (!answers.empty()) {
            const auto answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return request.buttons == platform::MessageButtons::Ok ||
                       request.buttons == platform::MessageButtons::OkCancel
                   ? platform::MessageAnswer::Ok
                   : platform::MessageAnswer::Yes;
    }

    std::vector<platform::MessageRequest> shown;
    std::deque<platform::MessageAnswer> answers;
    // Runs while a box is shown, before it is answered.
    std::function<void()> whileShowing;
};

} // namespace zbpg::test

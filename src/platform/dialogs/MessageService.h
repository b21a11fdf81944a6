#pragma once

#include <string>

namespace zbpg::platform {

enum class MessageIcon { None, Error, Warning, Information, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// One modal message box: the program's caption, its text and what the user may answer.
struct MessageRequest {
    std::string caption;
    std::string text;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;

    bool operator==(const MessageRequest&) const = default;
};

// Every message box of the program goes through the installed service, so that the window
// shows real boxes while tests and headless runs record and answer them.
class MessageService {
public:
    virtual ~MessageService() = default;
    virtual MessageAnswer show(const MessageRequest& request) = 0;
};

// The service in use; without an installed one, messages go to standard error and take the
// cautious answer (No or Cancel where offered).
MessageService& messageService();

// Installs a service (not owned) or, with nullptr, returns to the default one.
void setMessageService(MessageService* service);

// Shorthand for the settings manager's own error dialog titled "エラー".
void showErrorDialog(const std::string& text);

// The program's general error report for an error that ended an operation: the error's text
// with a "." added when it does not end in one, the caption "ZorbelPaneglyph", the error icon.
void showErrorReport(const std::string& text);

} // namespace zbpg::platform

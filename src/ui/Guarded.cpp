#include "ui/Guarded.h"

#include "platform/dialogs/MessageService.h"

#include <QAbstractButton>
#include <exception>

namespace zbpg {

void runGuarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        platform::showErrorReport(error.what());
    }
}

void onClick(QAbstractButton* button, QObject* context, std::function<void()> handler) {
    QObject::connect(button, &QAbstractButton::clicked, context,
                     [handler = std::move(handler)] { runGuarded(handler); });
}

} // namespace zbpg

#pragma once

#include <functional>

class QAbstractButton;
class QObject;

namespace zbpg {

// Runs a handler of the window. An error it raises ends the handler there and is shown by the
// general error report; the window goes on. (Qt must not see an exception pass through it.)
void runGuarded(const std::function<void()>& handler);

// Runs the handler, guarded, on every click of the button while the context lives.
void onClick(QAbstractButton* button, QObject* context, std::function<void()> handler);

} // namespace zbpg

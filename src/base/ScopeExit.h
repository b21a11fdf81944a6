#pragma once

#include <utility>

namespace zbpg {

// Runs an action when it goes out of scope, however the scope is left: for a state that must be
// put back after an operation, also when the operation fails.
template <typename Action> class ScopeExit final {
public:
    explicit ScopeExit(Action action) : m_action(std::move(action)) {}
    ~ScopeExit() { m_action(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    Action m_action;
};

} // namespace zbpg

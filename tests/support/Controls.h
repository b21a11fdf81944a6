#pragma once

#include <QObject>
#include <stdexcept>
#include <string>

namespace zbpg::test {

// The control of a window or page by its established name, as a user finds
// it by its place; a missing control fails the test.
template <typename Control> Control& control(const QObject& root, const char* name) {
    auto* found = root.findChild<Control*>(QString::fromLatin1(name));
    if (found == nullptr)
        throw std::logic_error(std::string("no control named ") + name);
    return *found;
}

} // namespace zbpg::test

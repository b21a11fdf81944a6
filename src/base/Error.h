#pragma once

#include <stdexcept>
#include <string>

namespace zbpg {

// An error that ends the operation raising it. Its text is the message shown to the
// user (UTF-8), exactly as the program words it.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// Substitutes the first "%s" of a message template; the messages carry at most one.
std::string formatMessage(const std::string& pattern, const std::string& argument);

} // namespace zbpg

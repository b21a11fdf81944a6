#pragma once

#include <cctype>
#include <string>
#include <string_view>

namespace zbpg::test {

// A text as part of a test's name, the same on every run: its letters and digits, every other
// character as '_' ("Empty" for no text).
inline std::string nameOf(std::string_view text) {
    std::string name;
    for (const char c : text)
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name.empty() ? "Empty" : name;
}

} // namespace zbpg::test

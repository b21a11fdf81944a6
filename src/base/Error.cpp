#include "base/Error.h"

namespace zbpg {

std::string formatMessage(const std::string& pattern, const std::string& argument) {
    const auto at = pattern.find("%s");
    if (at == std::string::npos)
        return pattern;
    std::string text = pattern;
    text.replace(at, 2, argument);
    return text;
}

} // namespace zbpg

#include "platform/os/SessionLog.h"

#include "text/Texts.h"

#include <cstdio>

namespace zbpg::platform {

void tellOnStandardError(const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", texts::kProgramName, text.c_str());
}

} // namespace zbpg::platform

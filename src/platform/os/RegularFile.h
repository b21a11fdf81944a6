#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace zbpg::platform {

// The bytes of a file the user names (a message, a picture), read only when it is a regular
// file: a FIFO, a device or a folder gives nothing, and so does a file that cannot be opened or
// read or that holds more than maxBytes. Opening never waits, whatever the path names, and no
// more than maxBytes are ever held.
[[nodiscard]] std::optional<std::string> readRegularFile(const std::string& path,
                                                         std::size_t maxBytes);

} // namespace zbpg::platform

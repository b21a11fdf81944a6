#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zbpg {

// A byte stream as text lines for the settings file: uppercase hex, two digits a byte,
// 32 bytes a line, the last line holding the rest.
constexpr std::size_t kHexLineBytes = 32;

std::vector<std::string> encodeHexLines(const std::vector<std::uint8_t>& bytes);

// Appends the bytes of one stored line. Each pair is read as "$" and the pair in integer
// text (its low 8 bits; a pair that is not hex gives 0), a single last character likewise.
void decodeHexLine(std::string_view line, std::vector<std::uint8_t>& bytes);

} // namespace zbpg

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zbpg {

// Integer text as every stored number is read: leading blanks, then either an optional sign
// and decimal digits within the signed 32-bit range, or one of the prefixes "$", "x", "X",
// "0x", "0X" and at most eight significant hexadecimal digits (no sign; 80000000 and above
// wrap to negative values). Nothing may follow.
std::optional<std::int32_t> parseIntegerText(std::string_view text);

std::int32_t integerTextOr(std::string_view text, std::int32_t fallback);

std::string integerToText(std::int64_t value);

// 0 to 15 for a hexadecimal digit of either case, -1 for any other character.
int hexDigitValue(char c);

} // namespace zbpg

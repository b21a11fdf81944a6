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
[[nodiscard]] std::optional<std::int32_t> parseIntegerText(std::string_view text);

std::int32_t integerTextOr(std::string_view text, std::int32_t fallback);

std::string integerToText(std::int64_t value);

// A value bounded into [low, high] as a numeric field holds its position; with a reversed
// range the lower bound wins.
std::int16_t clampToRange(int value, std::int16_t low, std::int16_t high);

// A size as the program writes it: "640 * 480".
std::string sizeText(int width, int height);

// 0 to 15 for a hexadecimal digit of either case, -1 for any other character.
int hexDigitValue(char c);

} // namespace zbpg

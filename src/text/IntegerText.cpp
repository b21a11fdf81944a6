#include "text/IntegerText.h"

#include <limits>

namespace zbpg {
int hexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

namespace {

std::optional<std::int32_t> parseHexDigits(std::string_view digits) {
    if (digits.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    int significant = 0;
    for (char c : digits) {
        const int digit = hexDigitValue(c);
        if (digit < 0)
            return std::nullopt;
        if (value != 0 || digit != 0)
            ++significant;
        if (significant > 8)
            return std::nullopt;
        value = value * 16 + static_cast<std::uint64_t>(digit);
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

std::optional<std::int32_t> parseDecimal(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > limit)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

} // namespace

std::optional<std::int32_t> parseIntegerText(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    if (text.starts_with('$') || text.starts_with('x') || text.starts_with('X'))
        return parseHexDigits(text.substr(1));
    if (text.starts_with("0x") || text.starts_with("0X"))
        return parseHexDigits(text.substr(2));
    return parseDecimal(text);
}

std::int32_t integerTextOr(std::string_view text, std::int32_t fallback) {
    return parseIntegerText(text).value_or(fallback);
}

std::string integerToText(std::int64_t value) {
    return std::to_string(value);
}

std::int16_t clampToRange(int value, std::int16_t low, std::int16_t high) {
    if (value < low)
        return low;
    return static_cast<std::int16_t>(value > high ? high : value);
}

std::string sizeText(int width, int height) {
    return std::to_string(width) + " * " + std::to_string(height);
}

} // namespace zbpg

#include "settings/HexLines.h"

#include "text/IntegerText.h"

namespace zbpg {

std::vector<std::string> encodeHexLines(const std::vector<std::uint8_t>& bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::vector<std::string> lines;
    lines.reserve((bytes.size() + kHexLineBytes - 1) / kHexLineBytes);
    for (std::size_t start = 0; start < bytes.size(); start += kHexLineBytes) {
        const std::size_t end = std::min(bytes.size(), start + kHexLineBytes);
        std::string line;
        line.reserve((end - start) * 2);
        for (std::size_t i = start; i < end; ++i) {
            line.push_back(kDigits[bytes[i] >> 4]);
            line.push_back(kDigits[bytes[i] & 0x0F]);
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

// Each pair reads as the integer text "$" and the pair would: a pair with anything but hex
// digits is 0, and a last single digit is its own value. Read digit by digit, since a long list
// holds thousands of these lines.
void decodeHexLine(std::string_view line, std::vector<std::uint8_t>& bytes) {
    for (std::size_t i = 0; i < line.size(); i += 2) {
        int value = hexDigitValue(line[i]);
        if (i + 1 < line.size()) {
            const int low = hexDigitValue(line[i + 1]);
            value = value < 0 || low < 0 ? -1 : value * 16 + low;
        }
        bytes.push_back(static_cast<std::uint8_t>(value < 0 ? 0 : value));
    }
}

} // namespace zbpg

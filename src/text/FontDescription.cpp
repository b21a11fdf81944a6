#include "text/FontDescription.h"

#include <algorithm>
#include <cstdlib>

namespace zbpg {

int mulDiv(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    const long long quotient = (std::llabs(product) * 2 + std::llabs(c)) / (std::llabs(c) * 2);
    return static_cast<int>((product < 0) != (c < 0) ? -quotient : quotient);
}

int FontDescription::size() const {
    return -mulDiv(height, 72, kPixelsPerInch);
}

void FontDescription::setSize(int points) {
    points = std::clamp(points, -kMaxFontPoints, kMaxFontPoints);
    // Keep the exact height when the size is unchanged: an 11.5-point height would otherwise
    // drift by one pixel on every load.
    if (points != size())
        height = -mulDiv(points, kPixelsPerInch, 72);
}

} // namespace zbpg

#include "text/ColorText.h"

#include "base/Error.h"
#include "text/Encoding.h"
#include "text/IntegerText.h"
#include "text/Texts.h"

#include <array>
#include <cstdio>

namespace zbpg {
namespace {

struct NamedColor {
    Color value;
    const char* name;
};

constexpr Color system(int index) {
    return static_cast<Color>(0x80000000u + index);
}

constexpr std::array<NamedColor, 42> kNamedColors{{
    {0x000000, "clBlack"},
    {0x000080, "clMaroon"},
    {0x008000, "clGreen"},
    {0x008080, "clOlive"},
    {0x800000, "clNavy"},
    {0x800080, "clPurple"},
    {0x808000, "clTeal"},
    {0x808080, "clGray"},
    {0xC0C0C0, "clSilver"},
    {0x0000FF, "clRed"},
    {0x00FF00, "clLime"},
    {0x00FFFF, "clYellow"},
    {0xFF0000, "clBlue"},
    {0xFF00FF, "clFuchsia"},
    {0xFFFF00, "clAqua"},
    {0xFFFFFF, "clWhite"},
    {system(0), "clScrollBar"},
    {system(1), "clBackground"},
    {system(2), "clActiveCaption"},
    {system(3), "clInactiveCaption"},
    {system(4), "clMenu"},
    {system(5), "clWindow"},
    {system(6), "clWindowFrame"},
    {system(7), "clMenuText"},
    {system(8), "clWindowText"},
    {system(9), "clCaptionText"},
    {system(10), "clActiveBorder"},
    {system(11), "clInactiveBorder"},
    {system(12), "clAppWorkSpace"},
    {system(13), "clHighlight"},
    {system(14), "clHighlightText"},
    {system(15), "clBtnFace"},
    {system(16), "clBtnShadow"},
    {system(17), "clGrayText"},
    {system(18), "clBtnText"},
    {system(19), "clInactiveCaptionText"},
    {system(20), "clBtnHighlight"},
    {system(21), "cl3DDkShadow"},
    {system(22), "cl3DLight"},
    {system(23), "clInfoText"},
    {system(24), "clInfoBk"},
    {kColorNone, "clNone"},
}};

} // namespace

std::string colorToText(Color color) {
    for (const auto& named : kNamedColors) {
        if (named.value == color)
            return named.name;
    }
    char text[16];
    std::snprintf(text, sizeof text, "$%08X", static_cast<unsigned>(color));
    return text;
}

Color textToColor(std::string_view text) {
    for (const auto& named : kNamedColors) {
        if (equalsIgnoringAsciiCase(text, named.name))
            return named.value;
    }
    if (const auto value = parseIntegerText(text))
        return *value;
    throw Error(formatMessage(texts::kNotAnInteger, std::string(text)));
}

} // namespace zbpg

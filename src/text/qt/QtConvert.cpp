#include "text/qt/QtConvert.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPalette>
#include <algorithm>
#include <array>

namespace zbpg {
namespace {

// The palette colour standing in for each system colour index, or a fixed colour where the
// palette has no counterpart (the classic defaults).
QColor systemColor(int index) {
    const QPalette palette = QGuiApplication::palette();
    switch (index) {
    case 0: // scroll bar
        return palette.color(QPalette::Button);
    case 1: // desktop background
        return QColor(0, 128, 128);
    case 2:  // active caption
    case 13: // highlight
        return palette.color(QPalette::Highlight);
    case 3:  // inactive caption
    case 11: // inactive border
        return palette.color(QPalette::Inactive, QPalette::Window).darker(125);
    case 4:  // menu
    case 10: // active border
    case 15: // button face
    case 22: // 3-D light
        return palette.color(QPalette::Button);
    case 5: // window
        return palette.color(QPalette::Base);
    case 6:  // window frame
    case 21: // 3-D dark shadow
        return palette.color(QPalette::Shadow);
    case 7: // menu text
    case 8: // window text
        return palette.color(QPalette::WindowText);
    case 9:  // caption text
    case 14: // highlight text
        return palette.color(QPalette::HighlightedText);
    case 12: // application workspace
        return palette.color(QPalette::Dark);
    case 16: // button shadow
        return palette.color(QPalette::Mid);
    case 17: // grey text
        return palette.color(QPalette::Disabled, QPalette::Text);
    case 18: // button text
        return palette.color(QPalette::ButtonText);
    case 19: // inactive caption text
        return palette.color(QPalette::Inactive, QPalette::WindowText);
    case 20: // button highlight
        return palette.color(QPalette::Light);
    case 23: // tooltip text
        return palette.color(QPalette::ToolTipText);
    case 24: // tooltip background
        return palette.color(QPalette::ToolTipBase);
    default:
        return Qt::black;
    }
}

} // namespace

QColor toQColor(Color color) {
    if (color == kColorNone)
        return Qt::transparent;
    const auto value = static_cast<std::uint32_t>(color);
    if (value & 0x80000000u)
        return systemColor(static_cast<int>(value & 0xFF));
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

Color fromQColor(const QColor& color) {
    return static_cast<Color>(color.red() | (color.green() << 8) | (color.blue() << 16));
}

QFont toQFont(const FontDescription& font) {
    QFont result(toQString(font.face));
    // A height from a hand-edited file may be anything: bound it before it is negated.
    const int height = std::clamp(font.height, -kMaxFontPixels, kMaxFontPixels);
    const int pixels = height < 0 ? -height : height;
    result.setPixelSize(pixels > 0 ? pixels : 12);
    if (height > 0) {
        // A cell height: take off the internal leading the face has at that size.
        const QFontMetrics metrics(result);
        const int leading = metrics.height() - metrics.ascent() - metrics.descent();
        if (leading > 0 && height - leading > 0)
            result.setPixelSize(height - leading);
    }
    result.setBold(font.style & kFontBold);
    result.setItalic(font.style & kFontItalic);
    result.setUnderline(font.style & kFontUnderline);
    result.setStrikeOut(font.style & kFontStrikeOut);
    return result;
}

void installFontSubstitutions() {
    const std::array<std::pair<const char*, const char*>, 4> substitutions{{
        {"ＭＳ ゴシック", "IPAGothic"},
        {"MS Gothic", "IPAGothic"},
        {"ＭＳ Ｐゴシック", "IPAPGothic"},
        {"MS PGothic", "IPAPGothic"},
    }};
    for (const auto& [face, substitute] : substitutions)
        QFont::insertSubstitution(QString::fromUtf8(face), QString::fromUtf8(substitute));
}

} // namespace zbpg

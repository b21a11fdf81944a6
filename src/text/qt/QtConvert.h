#pragma once

#include "text/ColorText.h"
#include "text/FontDescription.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <string>

namespace zbpg {

inline QString toQString(const std::string& utf8) {
    return QString::fromStdString(utf8);
}
inline std::string toStdString(const QString& text) {
    return text.toStdString();
}

// A colour as the screen shows it: RGB colours directly, system colours (0x80000000 plus an
// index) through the application's palette, clNone as transparent.
QColor toQColor(Color color);
Color fromQColor(const QColor& color);

// The font a description names. A negative height is the character height in pixels, a
// positive one the cell height (internal leading included), as the stored fonts use them. A
// height beyond kMaxFontPixels either way is taken as kMaxFontPixels.
QFont toQFont(const FontDescription& font);

// Maps the Windows face names the stored settings use to the metric-compatible IPA fonts.
void installFontSubstitutions();

} // namespace zbpg

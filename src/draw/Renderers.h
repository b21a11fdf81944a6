#pragma once

#include "options/Options.h"
#include "text/ColorText.h"
#include "text/FontDescription.h"

#include <QImage>
#include <QSize>
#include <cstddef>
#include <string>
#include <vector>

namespace zbpg {

// The drawing of a draw run: plain functions of a canvas and their options, so that they are
// tested without a window. Texts are written with the top left of their character cell at the
// given point, in the font's colour, on a transparent background; whatever falls outside the
// canvas is cut off. Font heights are pixels at 96 dots per inch and grow with the density the
// canvas carries (QImage's dots per metre); frames and positions are the canvas's own pixels.

// Where a frame of w by h and its label of the given width go on a screen of sw by sh: the
// frame's top left corner (x0, y0) and the label's point (tx, ty), 10 pixels in from the frame's
// side and 5 down from its top edge.
struct FrameLayout {
    int x0 = 0;
    int y0 = 0;
    int tx = 0;
    int ty = 0;
};
FrameLayout monitorFrameLayout(int w, int h, int labelWidth, FrameAnchor anchor, int sw, int sh);

// A one-pixel frame inside the rectangle (x0, y0)–(x0 + w − 1, y0 + h − 1), right and bottom
// exclusive, in the frame colour, then its label in the font.
void drawMonitorFrame(QImage& canvas, int w, int h, const std::string& label,
                      const FontDescription& font, FrameAnchor anchor, Color frameColor);

// The font as the text of a screen of dpi dots per inch shows it: a stored font height is in
// pixels of a screen of 96 dots per inch.
FontDescription fontAtDensity(FontDescription font, int dpi);

// One line of text, at the density the canvas carries.
void drawTextItem(QImage& canvas, const std::string& text, const FontDescription& font, int x,
                  int y);

// Lines one under another from (x, y): each line as high as the font's line (an empty line as
// high as a blank), with interval extra pixels between two lines.
void drawTextLines(QImage& canvas, const std::vector<std::string>& lines,
                   const FontDescription& font, int interval, int x, int y);

// The block drawTextLines writes from its point on a canvas of 96 dots per inch: as wide as its
// widest line, as high as its lines and the intervals between them.
QSize textLinesSize(const std::vector<std::string>& lines, const FontDescription& font,
                    int interval);

// The width and the height of a text in a font, as the renderers measure them.
int textWidth(const FontDescription& font, const std::string& text);
int textHeight(const FontDescription& font, const std::string& text);

// The most a message file may hold: far more text than any screen shows.
inline constexpr std::size_t kMaxMessageFileBytes = 16 * 1024 * 1024;

// The lines of a message file: split at CR LF, a lone CR and a lone LF; a break at the very
// end adds no empty line; the text ends at a NUL byte. The bytes are code page 932 (or UTF-8,
// which a Linux editor writes: recognised by its byte order mark or by being valid UTF-8).
// Only a regular file of at most kMaxMessageFileBytes is read; anything else (missing,
// unreadable, a folder, a FIFO, a device, a larger file) raises "ファイル %s は開けません".
std::vector<std::string> readMessageFile(const std::string& path);

} // namespace zbpg

#pragma once

#include "text/FontDescription.h"

#include <QToolButton>

namespace zbpg {

// A speed button that carries the font of a drawn item: face, size, style, colour and
// character set, as the settings store them. With a caption it shows the caption in that font
// at actual size and colour; without one, a glyph.
class FontButton final : public QToolButton {
    Q_OBJECT
public:
    explicit FontButton(QWidget* parent = nullptr);

    const FontDescription& Font() const { return m_font; }
    void SetFont(const FontDescription& font);

    void setCaption(const QString& caption);

private:
    void applyFont();

    FontDescription m_font;
    bool m_hasCaption = false;
};

// The click of every font button: runs the font dialog on the button's font and takes the
// chosen font; a cancelled dialog leaves the button's own font.
void SpeedButtonClick(FontButton& sender);

} // namespace zbpg

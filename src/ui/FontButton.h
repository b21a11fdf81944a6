#pragma once

#include "common/FontDescription.h"

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

} // namespace zbpg

#pragma once

#include "text/FontDescription.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QFontComboBox;
class QLabel;
class QSpinBox;

namespace zbpg::platform {

// The font dialog the settings need and Qt lacks: face, size in points, bold, italic,
// underline, strike-out and the colour of the text, with a sample. The character set of the
// font given is kept.
class FontColorDialog final : public QDialog {
    Q_OBJECT
public:
    explicit FontColorDialog(QWidget* parent = nullptr);

    void setFontDescription(const FontDescription& font);
    FontDescription fontDescription() const;

    // The parts, named for tests and screenshots.
    QFontComboBox* faceBox() const { return m_face; }
    QSpinBox* sizeBox() const { return m_size; }
    QCheckBox* boldBox() const { return m_bold; }
    QCheckBox* italicBox() const { return m_italic; }
    QCheckBox* underlineBox() const { return m_underline; }
    QCheckBox* strikeOutBox() const { return m_strikeOut; }
    QComboBox* colorBox() const { return m_color; }
    QLabel* sample() const { return m_sample; }

private:
    void buildLayout();
    void updateSample();
    void selectColor(Color color);
    int customColorIndex(Color color);
    Color currentColor() const;
    int otherColorIndex() const;
    void colorIndexChanged(int index);
    void colorActivated(int index);

    QFontComboBox* m_face;
    QSpinBox* m_size;
    QCheckBox* m_bold;
    QCheckBox* m_italic;
    QCheckBox* m_underline;
    QCheckBox* m_strikeOut;
    QComboBox* m_color;
    QLabel* m_sample;
    FontDescription m_font;
    int m_initialSize = 0;    // the size shown by setFontDescription
    int m_lastColorIndex = 0; // the last real colour chosen, for when "other" is cancelled
};

} // namespace zbpg::platform

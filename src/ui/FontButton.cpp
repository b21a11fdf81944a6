#include "ui/FontButton.h"

#include "platform/dialogs/DialogService.h"
#include "text/qt/QtConvert.h"

#include <QPainter>
#include <QPixmap>

namespace zbpg {
namespace {

QIcon fontGlyph() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QFont font("serif");
    font.setPixelSize(14);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(0, 0, 128));
    painter.drawText(pixmap.rect(), Qt::AlignCenter, "A");
    return QIcon(pixmap);
}

} // namespace

FontButton::FontButton(QWidget* parent) : QToolButton(parent) {
    setIcon(fontGlyph());
    setToolButtonStyle(Qt::ToolButtonIconOnly);
}

void FontButton::SetFont(const FontDescription& font) {
    m_font = font;
    applyFont();
}

void FontButton::setCaption(const QString& caption) {
    m_hasCaption = !caption.isEmpty();
    setText(caption);
    setToolButtonStyle(m_hasCaption ? Qt::ToolButtonTextOnly : Qt::ToolButtonIconOnly);
    applyFont();
}

void SpeedButtonClick(FontButton& sender) {
    if (const auto chosen = platform::dialogService().chooseFont(sender.Font()))
        sender.SetFont(*chosen);
}

void FontButton::applyFont() {
    if (!m_hasCaption)
        return; // a glyph does not show the font
    setFont(toQFont(m_font));
    QPalette colours = palette();
    colours.setColor(QPalette::ButtonText, toQColor(m_font.color));
    // A white caption needs a darker face to stay readable.
    if (toQColor(m_font.color).lightness() > 200)
        colours.setColor(QPalette::Button, QColor(96, 96, 96));
    setPalette(colours);
    setAutoFillBackground(true);
}

} // namespace zbpg

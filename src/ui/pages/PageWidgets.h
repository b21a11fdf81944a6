#pragma once

#include "options/Options.h"

#include <QAbstractButton>
#include <QFont>
#include <QString>
#include <QStyle>
#include <array>
#include <cstddef>
#include <vector>

class QLabel;
class QListWidget;
class QToolButton;

namespace zbpg {

class TEditUpDown;

// The building blocks the pages share.

// A control under its established name (tests and stored lists find it by it).
template <typename Control> Control* named(Control* control, const char* name) {
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

QFont pixelFont(const char* face, int pixels, bool bold = false, bool italic = false);
QLabel* label(const QString& text);
QToolButton* speedButton(const QString& text);
QToolButton* glyphButton(QStyle::StandardPixmap glyph, const QString& hint);
TEditUpDown* numberField(int width = 52);
// A check list of single selection that a right click leaves selected as it is, and where the
// row whose check box is clicked is selected before its check toggles.
QListWidget* checkList();

// Sets a check box, radio button or speed button down or up the way a stored value does:
// setting a radio button up checks no other one of its group, and the button of an exclusive
// group of speed buttons that is down stays down.
void setButtonDown(QAbstractButton* button, bool down);

// A group of buttons shown as, or read back into, the options' states, button by button.
template <typename Button, std::size_t N>
void showButtons(const std::array<QAbstractButton*, N>& buttons,
                 const ButtonGroup<Button, N>& group) {
    for (std::size_t i = 0; i < N; ++i)
        setButtonDown(buttons[i], group.down[i]);
}
template <typename Button, std::size_t N>
void takeButtons(const std::array<QAbstractButton*, N>& buttons, ButtonGroup<Button, N>& group) {
    for (std::size_t i = 0; i < N; ++i)
        group.down[i] = buttons[i]->isChecked();
}

// The rows of a visible check list.
void showRows(QListWidget* list, const std::vector<CheckListRow>& rows);
std::vector<CheckListRow> rowsOf(const QListWidget* list);
// Moves a row of a visible check list to another place, its check with it, and selects it there.
void moveSelectedRow(QListWidget* list, int row, int to);

// The screen as the platform reports it now.
ScreenBounds currentScreen();

} // namespace zbpg

#include "ui/pages/PageParts.h"

#include "controls/EditUpDown.h"
#include "platform/DesktopService.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QToolButton>

namespace zbpg {

QFont pixelFont(const char* face, int pixels, bool bold, bool italic) {
    QFont font(QString::fromUtf8(face));
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

QLabel* label(const QString& text) {
    return new QLabel(text);
}

QToolButton* speedButton(const QString& text) {
    auto* button = new QToolButton;
    button->setText(text);
    button->setAutoRaise(false);
    return button;
}

QToolButton* glyphButton(QStyle::StandardPixmap glyph, const QString& hint) {
    auto* button = new QToolButton;
    button->setIcon(QApplication::style()->standardIcon(glyph));
    button->setToolTip(hint);
    return button;
}

TEditUpDown* numberField(int width) {
    auto* field = new TEditUpDown;
    field->setFixedWidth(width);
    return field;
}

QListWidget* checkList() {
    auto* list = new QListWidget;
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

void setButtonDown(QAbstractButton* button, bool down) {
    // Qt refuses to uncheck the checked button of an exclusive radio group: lift the
    // exclusivity for that one step.
    auto* radio = qobject_cast<QRadioButton*>(button);
    if (radio && !down && radio->isChecked()) {
        radio->setAutoExclusive(false);
        radio->setChecked(false);
        radio->setAutoExclusive(true);
        return;
    }
    // An exclusive group of speed buttons keeps one button down: raising it has no effect.
    button->setChecked(down);
}

void showRows(QListWidget* list, const std::vector<CheckListRow>& rows) {
    list->clear();
    for (const auto& row : rows) {
        auto* item = new QListWidgetItem(QString::fromStdString(row.text), list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(row.checked ? Qt::Checked : Qt::Unchecked);
    }
}

std::vector<CheckListRow> rowsOf(const QListWidget* list) {
    std::vector<CheckListRow> rows;
    for (int i = 0; i < list->count(); ++i)
        rows.push_back(
            {list->item(i)->text().toStdString(), list->item(i)->checkState() == Qt::Checked});
    return rows;
}

void moveSelectedRow(QListWidget* list, int row, int to) {
    list->insertItem(to, list->takeItem(row));
    list->setCurrentRow(to);
}

ScreenBounds currentScreen() {
    auto& desktop = platform::desktopService();
    return {desktop.screenWidth(), desktop.screenHeight()};
}

} // namespace zbpg

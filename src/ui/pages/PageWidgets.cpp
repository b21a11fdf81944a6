#include "ui/pages/PageWidgets.h"

#include "controls/EditUpDown.h"
#include "platform/desktop/DesktopService.h"

#include <QApplication>
#include <QIconEngine>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
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

namespace {

// A standard glyph that the style makes only when it is first painted: the style reads every
// size of a glyph's picture at once, which for the buttons of pages not yet seen would only
// hold up the window's first paint. The button's size does not depend on it.
class StandardGlyph final : public QIconEngine {
public:
    explicit StandardGlyph(QStyle::StandardPixmap glyph) : m_glyph(glyph) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon().availableSizes(mode, state);
    }
    QIconEngine* clone() const override { return new StandardGlyph(m_glyph); }

private:
    const QIcon& icon() {
        if (m_icon.isNull())
            m_icon = QApplication::style()->standardIcon(m_glyph);
        return m_icon;
    }

    QStyle::StandardPixmap m_glyph;
    QIcon m_icon;
};

} // namespace

QToolButton* glyphButton(QStyle::StandardPixmap glyph, const QString& hint) {
    auto* button = new QToolButton;
    button->setIcon(QIcon(new StandardGlyph(glyph)));
    button->setToolTip(hint);
    return button;
}

TEditUpDown* numberField(int width) {
    auto* field = new TEditUpDown;
    field->setFixedWidth(width);
    return field;
}

namespace {

// The pages' check lists keep their selection as the design's list boxes do: a right click
// leaves it where it is, so the list's menu acts on the selected row; a click on a row's check
// box selects that row before the check toggles, so the list's handlers act on the toggled row.
class CheckListBox final : public QListWidget {
public:
    CheckListBox() { setSelectionMode(QAbstractItemView::SingleSelection); }

protected:
    // The right button's presses, moves and releases never reach the view's own handlers.
    bool viewportEvent(QEvent* event) override {
        auto* mouse = dynamic_cast<QMouseEvent*>(event);
        return mouse != nullptr && byRightButton(*mouse) ? false
                                                         : QListWidget::viewportEvent(event);
    }
    // The check box takes its press before the view selects the row.
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override {
        if (event != nullptr && event->type() == QEvent::MouseButtonPress && index.isValid())
            setCurrentIndex(index);
        return QListWidget::edit(index, trigger, event);
    }

private:
    // The press, move or release of the right button alone; the event goes on to the list's
    // parents (the menu comes from the context menu event).
    static bool byRightButton(QMouseEvent& event) {
        const bool right = event.button() == Qt::RightButton ||
                           (event.button() == Qt::NoButton && event.buttons() == Qt::RightButton);
        if (right)
            event.ignore();
        return right;
    }
};

} // namespace

QListWidget* checkList() {
    return new CheckListBox;
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

#include "ui/MultiRowTabWidget.h"

#include <QEvent>
#include <QMouseEvent>
#include <QStackedWidget>
#include <QStyleOptionTab>
#include <QStylePainter>

namespace zbpg {
namespace {

constexpr int kTabPadding = 14;

} // namespace

MultiRowTabWidget::MultiRowTabWidget(QWidget* parent)
    : QWidget(parent), m_pages(new QStackedWidget(this)) {
    m_pages->setFrameShape(QFrame::StyledPanel);
    connect(m_pages, &QStackedWidget::currentChanged, this, [this](int index) {
        layOutTabs();
        update();
        emit currentChanged(index);
    });
}

int MultiRowTabWidget::addTab(QWidget* page, const QString& text) {
    m_texts.push_back(text);
    const int index = m_pages->addWidget(page);
    layOutTabs();
    return index;
}

int MultiRowTabWidget::count() const {
    return m_pages->count();
}

QString MultiRowTabWidget::tabText(int index) const {
    return index >= 0 && index < count() ? m_texts[static_cast<std::size_t>(index)] : QString();
}

QWidget* MultiRowTabWidget::widget(int index) const {
    return m_pages->widget(index);
}

int MultiRowTabWidget::indexOf(QWidget* page) const {
    return m_pages->indexOf(page);
}

int MultiRowTabWidget::currentIndex() const {
    return m_pages->currentIndex();
}

QWidget* MultiRowTabWidget::currentWidget() const {
    return m_pages->currentWidget();
}

void MultiRowTabWidget::setCurrentIndex(int index) {
    m_pages->setCurrentIndex(index);
}

void MultiRowTabWidget::setCurrentWidget(QWidget* page) {
    m_pages->setCurrentWidget(page);
}

QRect MultiRowTabWidget::tabRect(int index) const {
    ensureLayout();
    return index >= 0 && index < static_cast<int>(m_rects.size())
               ? m_rects[static_cast<std::size_t>(index)]
               : QRect();
}

int MultiRowTabWidget::rowCount() const {
    ensureLayout();
    return m_rows;
}

void MultiRowTabWidget::ensureLayout() const {
    if (m_layoutWidth != width())
        layOutTabs();
}

int MultiRowTabWidget::tabHeight() const {
    return fontMetrics().height() + 10;
}

int MultiRowTabWidget::naturalTabWidth(int index) const {
    return fontMetrics().horizontalAdvance(m_texts[static_cast<std::size_t>(index)]) + kTabPadding;
}

void MultiRowTabWidget::layOutTabs() const {
    // Fill rows from the first tab on, then stretch each row to the full width.
    m_layoutWidth = this->width();
    const int width = std::max(1, this->width());
    std::vector<std::vector<int>> rows(1);
    int used = 0;
    for (int i = 0; i < count(); ++i) {
        const int tab = naturalTabWidth(i);
        if (!rows.back().empty() && used + tab > width) {
            rows.emplace_back();
            used = 0;
        }
        rows.back().push_back(i);
        used += tab;
    }
    // The row of the current tab moves next to the pages.
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto& row = rows[r];
        if (std::find(row.begin(), row.end(), currentIndex()) != row.end()) {
            std::rotate(rows.begin(), rows.begin() + static_cast<long>(r) + 1, rows.end());
            break;
        }
    }
    m_rows = static_cast<int>(rows.size());
    m_rects.assign(static_cast<std::size_t>(count()), QRect());
    const int height = tabHeight();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        int natural = 0;
        for (int index : rows[r])
            natural += naturalTabWidth(index);
        const bool stretch = rows.size() > 1;
        int left = 0;
        int extra = stretch ? width - natural : 0;
        for (std::size_t k = 0; k < rows[r].size(); ++k) {
            const int index = rows[r][k];
            const int share = stretch ? extra / static_cast<int>(rows[r].size() - k) : 0;
            extra -= share;
            const int tabWidth = naturalTabWidth(index) + share;
            m_rects[static_cast<std::size_t>(index)] =
                QRect(left, static_cast<int>(r) * height, tabWidth, height);
            left += tabWidth;
        }
    }
    const int tabsHeight = m_rows * height;
    m_pages->setGeometry(0, tabsHeight - 1, this->width(), this->height() - tabsHeight + 1);
}

void MultiRowTabWidget::paintEvent(QPaintEvent*) {
    ensureLayout();
    QStylePainter painter(this);
    for (int i = 0; i < count(); ++i) {
        QStyleOptionTab option;
        option.initFrom(this);
        option.rect = m_rects[static_cast<std::size_t>(i)];
        option.text = m_texts[static_cast<std::size_t>(i)];
        option.shape = QTabBar::RoundedNorth;
        option.position = QStyleOptionTab::Middle;
        option.state &= ~QStyle::State_HasFocus;
        if (i == currentIndex())
            option.state |= QStyle::State_Selected;
        painter.drawControl(QStyle::CE_TabBarTab, option);
    }
}

void MultiRowTabWidget::mousePressEvent(QMouseEvent* event) {
    ensureLayout();
    for (int i = 0; i < count(); ++i) {
        if (m_rects[static_cast<std::size_t>(i)].contains(event->position().toPoint())) {
            setCurrentIndex(i);
            return;
        }
    }
    QWidget::mousePressEvent(event);
}

void MultiRowTabWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOutTabs();
}

bool MultiRowTabWidget::event(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        layOutTabs();
    return QWidget::event(event);
}

} // namespace zbpg

#pragma once

#include <QWidget>
#include <vector>

class QStackedWidget;

namespace zbpg {

// Pages with their tabs in as many rows as the width needs, so that every tab of a narrow
// window stays visible; the row holding the current tab sits next to the pages.
class MultiRowTabWidget final : public QWidget {
    Q_OBJECT
public:
    explicit MultiRowTabWidget(QWidget* parent = nullptr);

    int addTab(QWidget* page, const QString& text);
    int count() const;
    QString tabText(int index) const;
    QWidget* widget(int index) const;
    int indexOf(QWidget* page) const;
    int currentIndex() const;
    QWidget* currentWidget() const;
    void setCurrentIndex(int index);
    void setCurrentWidget(QWidget* page);

    // The tab's area in this widget's coordinates (for clicks and tests).
    QRect tabRect(int index) const;
    int rowCount() const;

signals:
    void currentChanged(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    // Lays the tabs out again when the width has changed since the last time (a hidden widget
    // gets its resize event only when shown).
    void ensureLayout() const;
    void layOutTabs() const;
    int tabHeight() const;
    int naturalTabWidth(int index) const;

    QStackedWidget* m_pages;
    std::vector<QString> m_texts;
    mutable std::vector<QRect> m_rects;
    mutable int m_rows = 1;
    mutable int m_layoutWidth = -1;
};

} // namespace zbpg

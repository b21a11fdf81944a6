#include "ui/MultiRowTabWidget.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace zbpg {
namespace {

class MultiRowTabWidgetTest : public ::testing::Test {
protected:
    MultiRowTabWidgetTest() {
        const char* captions[] = {"設定",     "壁紙設定",       "画面サイズ",    "システム情報",
                                  "任意表示", "外部アプリ起動", "バージョン情報"};
        QFont font("IPAPGothic");
        font.setPixelSize(12);
        tabs.setFont(font);
        for (const char* caption : captions)
            pages.push_back(new QWidget), tabs.addTab(pages.back(), QString::fromUtf8(caption));
    }

    MultiRowTabWidget tabs;
    std::vector<QWidget*> pages;
};

TEST_F(MultiRowTabWidgetTest, NarrowWidthWrapsEveryTabIntoView) {
    tabs.resize(431, 300);
    EXPECT_EQ(tabs.rowCount(), 2);
    for (int i = 0; i < tabs.count(); ++i) {
        const QRect tab = tabs.tabRect(i);
        EXPECT_GE(tab.left(), 0) << i;
        EXPECT_LE(tab.right(), 430) << i;
        EXPECT_GT(tab.width(), tabs.fontMetrics().horizontalAdvance(tabs.tabText(i))) << i;
    }
    tabs.resize(1000, 300);
    EXPECT_EQ(tabs.rowCount(), 1);
}

TEST_F(MultiRowTabWidgetTest, TheCurrentRowSitsNextToThePages) {
    tabs.resize(431, 300);
    const int bottom = tabs.tabRect(0).top();
    tabs.setCurrentIndex(6);
    EXPECT_GT(tabs.tabRect(6).top(), tabs.tabRect(0).top());
    tabs.setCurrentIndex(0);
    EXPECT_EQ(tabs.tabRect(0).top(), bottom);
    EXPECT_GT(tabs.tabRect(0).top(), tabs.tabRect(6).top());
}

TEST_F(MultiRowTabWidgetTest, ClickingATabShowsItsPage) {
    tabs.resize(431, 300);
    tabs.show();
    QSignalSpy changed(&tabs, &MultiRowTabWidget::currentChanged);
    QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.tabRect(5).center());
    EXPECT_EQ(tabs.currentIndex(), 5);
    EXPECT_EQ(tabs.currentWidget(), pages[5]);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toInt(), 5);
    EXPECT_EQ(tabs.indexOf(pages[3]), 3);
    EXPECT_EQ(tabs.tabText(3), "システム情報");
}

} // namespace
} // namespace zbpg

#include "ui/pages/PageWidgets.h"

#include <QApplication>
#include <QListWidget>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

namespace zbpg {
namespace {

class GlyphButton : public testing::TestWithParam<QStyle::StandardPixmap> {};

// The glyph is made when first painted, yet the button looks and sizes as with the style's own.
TEST_P(GlyphButton, ShowsTheStylesGlyphAtTheSameSize) {
    const std::unique_ptr<QToolButton> button(glyphButton(GetParam(), "hint"));
    QToolButton eager;
    eager.setIcon(QApplication::style()->standardIcon(GetParam()));
    EXPECT_EQ(button->sizeHint(), eager.sizeHint());
    EXPECT_EQ(button->toolTip(), "hint");
    for (const int size : {16, 32})
        EXPECT_EQ(button->icon().pixmap(size).toImage(), eager.icon().pixmap(size).toImage())
            << size;
}

INSTANTIATE_TEST_SUITE_P(Glyphs, GlyphButton,
                         testing::Values(QStyle::SP_ArrowUp, QStyle::SP_TrashIcon),
                         [](const auto& glyph) {
                             return glyph.param == QStyle::SP_ArrowUp ? "ArrowUp" : "TrashIcon";
                         });

// Both pages' lists: a right click leaves the selection for the menu to act on, and the row
// whose check box is clicked is selected by the time its toggle is handled.
TEST(CheckList, ARightClickKeepsTheSelectionAndAClickedCheckSelectsItsRowFirst) {
    const std::unique_ptr<QListWidget> list(checkList());
    showRows(list.get(), {{"a", true}, {"b", false}, {"c", false}});
    list->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list.get()));
    list->setCurrentRow(0);
    QTest::mouseClick(list->viewport(), Qt::RightButton, {},
                      list->visualItemRect(list->item(2)).center());
    EXPECT_EQ(list->selectedItems(), QList<QListWidgetItem*>{list->item(0)});

    std::vector<bool> selectedWhenToggled;
    QObject::connect(list.get(), &QListWidget::itemChanged, [&](QListWidgetItem* item) {
        selectedWhenToggled.push_back(item->isSelected());
    });
    QStyleOptionViewItem box;
    box.rect = list->visualItemRect(list->item(1));
    box.features = QStyleOptionViewItem::HasCheckIndicator;
    const QRect check =
        list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &box, list.get());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, check.center());
    EXPECT_EQ(selectedWhenToggled, std::vector<bool>{true});
}

} // namespace
} // namespace zbpg

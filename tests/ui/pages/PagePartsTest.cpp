#include "ui/pages/PageWidgets.h"

#include <QApplication>
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

} // namespace
} // namespace zbpg

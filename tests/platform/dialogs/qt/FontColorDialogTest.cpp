#include "platform/dialogs/qt/FontColorDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>
#include <ostream>

// Readable failure messages.
static void PrintTo(const QString& text, std::ostream* out) {
    *out << text.toStdString();
}

namespace zbpg {
static void PrintTo(const FontDescription& font, std::ostream* out) {
    *out << '"' << font.face << "\" height " << font.height << " colour " << font.color << " style "
         << int(font.style) << " charset " << int(font.charset);
}
} // namespace zbpg

namespace zbpg::platform {
namespace {

// A stored font as the settings hold it: a face known only through a substitution, a
// height of 11 pixels (8 points), bold white text and the Japanese character set.
FontDescription storedGothic() {
    FontDescription font;
    font.face = "ＭＳ ゴシック";
    font.height = -11;
    font.color = kColorWhite;
    font.style = kFontBold;
    font.charset = kShiftJisCharset;
    return font;
}

int colorIndex(const FontColorDialog& dialog, const char* name) {
    return dialog.colorBox()->findText(QString::fromUtf8(name));
}

QColor sampleColor(const FontColorDialog& dialog) {
    return dialog.sample()->palette().color(QPalette::WindowText);
}

TEST(FontColorDialog, UnchangedDialogReturnsTheDescriptionGiven) {
    FontColorDialog dialog;
    dialog.setFontDescription(storedGothic());
    EXPECT_EQ(dialog.faceBox()->currentText(), QStringLiteral("ＭＳ ゴシック"));
    EXPECT_EQ(dialog.sizeBox()->value(), 8);
    EXPECT_TRUE(dialog.boldBox()->isChecked());
    EXPECT_FALSE(dialog.italicBox()->isChecked());
    EXPECT_FALSE(dialog.underlineBox()->isChecked());
    EXPECT_FALSE(dialog.strikeOutBox()->isChecked());
    EXPECT_EQ(dialog.colorBox()->currentText(), QStringLiteral("白"));
    EXPECT_EQ(dialog.fontDescription(), storedGothic());
}

TEST(FontColorDialog, UnchangedDialogKeepsCellHeightsAndUnknownStyleBits) {
    FontColorDialog dialog;
    FontDescription font = storedGothic();
    font.face = "IPAMincho";
    font.height = 16; // a cell height, 12 points
    font.style = 0x10 | kFontItalic;
    font.charset = kDefaultCharset;
    dialog.setFontDescription(font);
    EXPECT_EQ(dialog.sizeBox()->value(), 12);
    EXPECT_EQ(dialog.fontDescription(), font);

    // The same dialog takes a second font completely.
    dialog.setFontDescription(storedGothic());
    EXPECT_EQ(dialog.fontDescription(), storedGothic());
}

TEST(FontColorDialog, ChangedSizeDerivesTheHeight) {
    FontColorDialog dialog;
    dialog.setFontDescription(storedGothic());
    dialog.sizeBox()->setValue(12);
    FontDescription expected = storedGothic();
    expected.height = -16;
    EXPECT_EQ(dialog.fontDescription(), expected);
    EXPECT_EQ(dialog.sizeBox()->minimum(), 1);
    EXPECT_EQ(dialog.sizeBox()->maximum(), 500);
}

TEST(FontColorDialog, StyleBoxesSetTheirBits) {
    FontColorDialog dialog;
    dialog.setFontDescription(storedGothic());
    dialog.underlineBox()->click();
    EXPECT_EQ(dialog.fontDescription().style, kFontBold | kFontUnderline);
    dialog.strikeOutBox()->click();
    EXPECT_EQ(dialog.fontDescription().style, kFontBold | kFontUnderline | kFontStrikeOut);
    dialog.boldBox()->click();
    dialog.italicBox()->click();
    EXPECT_EQ(dialog.fontDescription().style, kFontItalic | kFontUnderline | kFontStrikeOut);
    dialog.underlineBox()->click();
    EXPECT_EQ(dialog.fontDescription().style, kFontItalic | kFontStrikeOut);
}

TEST(FontColorDialog, ColourListHoldsTheClassicColoursThenOther) {
    const std::pair<const char*, Color> expected[] = {
        {"黒", 0x000000},   {"栗色", 0x000080}, {"緑", 0x008000},     {"オリーブ", 0x008080},
        {"紺", 0x800000},   {"紫", 0x800080},   {"青緑", 0x808000},   {"灰色", 0x808080},
        {"銀色", 0xC0C0C0}, {"赤", 0x0000FF},   {"ライム", 0x00FF00}, {"黄", 0x00FFFF},
        {"青", 0xFF0000},   {"赤紫", 0xFF00FF}, {"水色", 0xFFFF00},   {"白", 0xFFFFFF},
    };
    FontColorDialog dialog;
    const QComboBox* colors = dialog.colorBox();
    ASSERT_EQ(colors->count(), 17);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(colors->itemText(i), QString::fromUtf8(expected[i].first)) << i;
        EXPECT_EQ(colors->itemData(i).toInt(), expected[i].second) << i;
        EXPECT_FALSE(colors->itemIcon(i).isNull()) << i;
    }
    EXPECT_EQ(colors->itemText(16), QStringLiteral("その他..."));
    EXPECT_FALSE(colors->itemData(16).isValid());
}

TEST(FontColorDialog, ChosenColourItemGivesItsValue) {
    FontColorDialog dialog;
    dialog.setFontDescription(storedGothic());
    dialog.colorBox()->setCurrentIndex(colorIndex(dialog, "赤"));
    EXPECT_EQ(dialog.fontDescription().color, 0x0000FF);
    EXPECT_EQ(sampleColor(dialog), QColor(255, 0, 0));
    dialog.colorBox()->setCurrentIndex(colorIndex(dialog, "青"));
    EXPECT_EQ(dialog.fontDescription().color, 0xFF0000);
    EXPECT_EQ(sampleColor(dialog), QColor(0, 0, 255));

    // "Other" only stands for the dialog it opens: the last real colour stays in effect.
    dialog.colorBox()->setCurrentIndex(colorIndex(dialog, "その他..."));
    EXPECT_EQ(dialog.fontDescription().color, 0xFF0000);
}

TEST(FontColorDialog, UnlistedColourBecomesTheSelectedCustomEntry) {
    FontColorDialog dialog;
    FontDescription font = storedGothic();
    font.color = 0x123456;
    dialog.setFontDescription(font);
    const QComboBox* colors = dialog.colorBox();
    ASSERT_EQ(colors->count(), 18);
    EXPECT_EQ(colors->currentIndex(), 16);
    EXPECT_EQ(colors->currentText(), QStringLiteral("カスタム"));
    EXPECT_FALSE(colors->itemIcon(16).isNull());
    EXPECT_EQ(colors->itemText(17), QStringLiteral("その他..."));
    EXPECT_EQ(dialog.fontDescription(), font);
    EXPECT_EQ(sampleColor(dialog), QColor(0x56, 0x34, 0x12));

    // A second custom colour takes over the one entry.
    font.color = 0x654321;
    dialog.setFontDescription(font);
    EXPECT_EQ(colors->count(), 18);
    EXPECT_EQ(colors->currentIndex(), 16);
    EXPECT_EQ(dialog.fontDescription(), font);
    EXPECT_EQ(sampleColor(dialog), QColor(0x21, 0x43, 0x65));

    // A listed colour is selected as itself.
    dialog.setFontDescription(storedGothic());
    EXPECT_EQ(colors->currentText(), QStringLiteral("白"));
    EXPECT_EQ(dialog.fontDescription(), storedGothic());
}

TEST(FontColorDialog, SampleFollowsTheChoices) {
    FontColorDialog dialog;
    dialog.setFontDescription(storedGothic());
    const QLabel* sample = dialog.sample();
    EXPECT_EQ(sample->text(), QStringLiteral("Aaあぁアァ亜宇"));
    EXPECT_EQ(sample->font().family(), QStringLiteral("ＭＳ ゴシック"));
    EXPECT_EQ(sample->font().pixelSize(), 11);
    EXPECT_TRUE(sample->font().bold());
    EXPECT_EQ(sampleColor(dialog), QColor(255, 255, 255));

    dialog.sizeBox()->setValue(12);
    EXPECT_EQ(sample->font().pixelSize(), 16);
    dialog.boldBox()->click();
    dialog.italicBox()->click();
    dialog.underlineBox()->click();
    dialog.strikeOutBox()->click();
    EXPECT_FALSE(sample->font().bold());
    EXPECT_TRUE(sample->font().italic());
    EXPECT_TRUE(sample->font().underline());
    EXPECT_TRUE(sample->font().strikeOut());
    dialog.colorBox()->setCurrentIndex(colorIndex(dialog, "緑"));
    EXPECT_EQ(sampleColor(dialog), QColor(0, 128, 0));

    dialog.faceBox()->setCurrentFont(QFont(QStringLiteral("IPAMincho")));
    EXPECT_EQ(sample->font().family(), QStringLiteral("IPAMincho"));
    EXPECT_EQ(dialog.fontDescription().face, "IPAMincho");
}

TEST(FontColorDialog, ShowsJapaneseLabelsAndClosesWithItsButtons) {
    FontColorDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("フォント"));
    const auto labelFor = [&dialog](QWidget* buddy) {
        for (const QLabel* label : dialog.findChildren<QLabel*>())
            if (label->buddy() == buddy)
                return label->text();
        return QString();
    };
    EXPECT_EQ(labelFor(dialog.faceBox()), QStringLiteral("フォント名(&F):"));
    EXPECT_EQ(labelFor(dialog.sizeBox()), QStringLiteral("サイズ(&S):"));
    EXPECT_EQ(labelFor(dialog.colorBox()), QStringLiteral("色(&C):"));
    EXPECT_EQ(dialog.boldBox()->text(), QStringLiteral("太字(&B)"));
    EXPECT_EQ(dialog.italicBox()->text(), QStringLiteral("斜体(&I)"));
    EXPECT_EQ(dialog.underlineBox()->text(), QStringLiteral("下線(&U)"));
    EXPECT_EQ(dialog.strikeOutBox()->text(), QStringLiteral("取り消し線(&K)"));
    const auto* group = qobject_cast<QGroupBox*>(dialog.sample()->parentWidget());
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->title(), QStringLiteral("サンプル"));

    const auto* buttons = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    QPushButton* cancel = buttons->button(QDialogButtonBox::Cancel);
    ASSERT_NE(ok, nullptr);
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(ok->text(), QStringLiteral("OK"));
    EXPECT_EQ(cancel->text(), QStringLiteral("キャンセル"));

    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    ok->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    cancel->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

} // namespace
} // namespace zbpg::platform

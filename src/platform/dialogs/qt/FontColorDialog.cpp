#include "platform/dialogs/qt/FontColorDialog.h"

#include "text/qt/QtConvert.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <cstdlib>

namespace zbpg::platform {
namespace {

struct NamedColor {
    const char* name;
    Color value;
};

// The sixteen classic colours, in the order the colour list has always shown them.
constexpr std::array<NamedColor, 16> kNamedColors{{
    {"黒", 0x000000},
    {"栗色", 0x000080},
    {"緑", 0x008000},
    {"オリーブ", 0x008080},
    {"紺", 0x800000},
    {"紫", 0x800080},
    {"青緑", 0x808000},
    {"灰色", 0x808080},
    {"銀色", 0xC0C0C0},
    {"赤", 0x0000FF},
    {"ライム", 0x00FF00},
    {"黄", 0x00FFFF},
    {"青", 0xFF0000},
    {"赤紫", 0xFF00FF},
    {"水色", 0xFFFF00},
    {"白", 0xFFFFFF},
}};

constexpr int kCustomIndex = static_cast<int>(kNamedColors.size());
constexpr int kMinimumSize = 1;
constexpr int kMaximumSize = 500;
constexpr QSize kSwatchSize(24, 14);

QIcon swatch(Color color) {
    QPixmap pixmap(kSwatchSize);
    pixmap.fill(toQColor(color));
    QPainter painter(&pixmap);
    painter.setPen(Qt::gray);
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    return QIcon(pixmap);
}

QLabel* buddyLabel(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

} // namespace

FontColorDialog::FontColorDialog(QWidget* parent)
    : QDialog(parent), m_face(new QFontComboBox(this)), m_size(new QSpinBox(this)),
      m_bold(new QCheckBox(QStringLiteral("太字(&B)"), this)),
      m_italic(new QCheckBox(QStringLiteral("斜体(&I)"), this)),
      m_underline(new QCheckBox(QStringLiteral("下線(&U)"), this)),
      m_strikeOut(new QCheckBox(QStringLiteral("取り消し線(&K)"), this)),
      m_color(new QComboBox(this)), m_sample(new QLabel(QStringLiteral("Aaあぁアァ亜宇"), this)) {
    setWindowTitle(QStringLiteral("フォント"));
    m_size->setRange(kMinimumSize, kMaximumSize);
    m_color->setIconSize(kSwatchSize);
    for (const auto& named : kNamedColors)
        m_color->addItem(swatch(named.value), QString::fromUtf8(named.name), named.value);
    m_color->addItem(QStringLiteral("その他..."));
    buildLayout();

    connect(m_face, &QComboBox::currentTextChanged, this, [this] { updateSample(); });
    connect(m_size, &QSpinBox::valueChanged, this, [this] { updateSample(); });
    for (auto* box : {m_bold, m_italic, m_underline, m_strikeOut})
        connect(box, &QCheckBox::toggled, this, [this] { updateSample(); });
    connect(m_color, &QComboBox::currentIndexChanged, this, &FontColorDialog::colorIndexChanged);
    connect(m_color, &QComboBox::activated, this, &FontColorDialog::colorActivated);

    FontDescription initial;
    initial.face = toStdString(font().family());
    setFontDescription(initial);
}

void FontColorDialog::buildLayout() {
    auto* fields = new QGridLayout;
    fields->addWidget(buddyLabel(QStringLiteral("フォント名(&F):"), m_face), 0, 0);
    fields->addWidget(m_face, 0, 1);
    fields->addWidget(buddyLabel(QStringLiteral("サイズ(&S):"), m_size), 1, 0);
    fields->addWidget(m_size, 1, 1, Qt::AlignLeft);
    auto* styles = new QHBoxLayout;
    for (auto* box : {m_bold, m_italic, m_underline, m_strikeOut})
        styles->addWidget(box);
    styles->addStretch();
    fields->addLayout(styles, 2, 1);
    fields->addWidget(buddyLabel(QStringLiteral("色(&C):"), m_color), 3, 0);
    fields->addWidget(m_color, 3, 1, Qt::AlignLeft);

    // A large size must not stretch the dialog: the sample is clipped instead.
    auto* sampleGroup = new QGroupBox(QStringLiteral("サンプル"), this);
    auto* sampleLayout = new QVBoxLayout(sampleGroup);
    m_sample->setAlignment(Qt::AlignCenter);
    m_sample->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_sample->setMinimumSize(280, 80);
    sampleLayout->addWidget(m_sample);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(sampleGroup);
    layout->addWidget(buttons);
}

void FontColorDialog::setFontDescription(const FontDescription& font) {
    // Taken first: the widgets' change signals already read them.
    m_font = font;
    m_initialSize = std::clamp(std::abs(font.size()), kMinimumSize, kMaximumSize);

    // The stored face may be a name only known through a substitution ("ＭＳ ゴシック"):
    // the list then shows the face it resolves to, and the text keeps the name itself.
    const QString face = toQString(font.face);
    m_face->setCurrentFont(QFont(face));
    m_face->setEditText(face);
    m_size->setValue(m_initialSize);
    m_bold->setChecked(font.style & kFontBold);
    m_italic->setChecked(font.style & kFontItalic);
    m_underline->setChecked(font.style & kFontUnderline);
    m_strikeOut->setChecked(font.style & kFontStrikeOut);
    selectColor(font.color);
    updateSample();
}

FontDescription FontColorDialog::fontDescription() const {
    FontDescription result = m_font;
    const QString face = m_face->currentText();
    if (!face.isEmpty())
        result.face = toStdString(face);
    // An untouched size keeps the exact height given, which need not be a whole point size.
    if (m_size->value() != m_initialSize)
        result.setSize(m_size->value());
    result.color = currentColor();
    const int style = (m_bold->isChecked() ? kFontBold : 0) |
                      (m_italic->isChecked() ? kFontItalic : 0) |
                      (m_underline->isChecked() ? kFontUnderline : 0) |
                      (m_strikeOut->isChecked() ? kFontStrikeOut : 0);
    result.style = static_cast<std::uint8_t>((m_font.style & ~kFontStyleMask) | style);
    return result;
}

void FontColorDialog::updateSample() {
    const FontDescription font = fontDescription();
    m_sample->setFont(toQFont(font));
    QPalette palette = m_sample->palette();
    const QColor text = toQColor(font.color);
    palette.setColor(QPalette::WindowText, text);
    // A light text needs a dark ground to be seen, as on most wallpapers.
    palette.setColor(QPalette::Window, text.lightness() > 160 ? QColor(64, 64, 64) : Qt::white);
    m_sample->setAutoFillBackground(true);
    m_sample->setPalette(palette);
}

void FontColorDialog::selectColor(Color color) {
    int index = m_color->findData(color);
    if (index < 0 || index == otherColorIndex())
        index = customColorIndex(color);
    m_color->setCurrentIndex(index);
    // A custom entry taken over in place changes no index, so no signal redraws the sample.
    updateSample();
}

// The one custom entry, added before "その他..." or taken over for the new colour.
int FontColorDialog::customColorIndex(Color color) {
    const QString text = QStringLiteral("カスタム");
    if (otherColorIndex() == kCustomIndex)
        m_color->insertItem(kCustomIndex, swatch(color), text, color);
    m_color->setItemIcon(kCustomIndex, swatch(color));
    m_color->setItemData(kCustomIndex, color);
    return kCustomIndex;
}

Color FontColorDialog::currentColor() const {
    const QVariant current = m_color->currentData();
    return (current.isValid() ? current : m_color->itemData(m_lastColorIndex)).toInt();
}

int FontColorDialog::otherColorIndex() const {
    return m_color->count() - 1;
}

void FontColorDialog::colorIndexChanged(int index) {
    if (index >= 0 && index != otherColorIndex())
        m_lastColorIndex = index;
    updateSample();
}

void FontColorDialog::colorActivated(int index) {
    if (index != otherColorIndex())
        return;
    const QColor chosen =
        QColorDialog::getColor(toQColor(currentColor()), this, QStringLiteral("色の設定"));
    if (chosen.isValid())
        selectColor(fromQColor(chosen));
    else
        m_color->setCurrentIndex(m_lastColorIndex);
}

} // namespace zbpg::platform

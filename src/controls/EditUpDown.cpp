#include "controls/EditUpDown.h"

#include "text/IntegerText.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QTimer>
#include <algorithm>
#include <optional>

namespace zbpg {

namespace {

constexpr int kArrowWidth = 15;
constexpr int kArrowHeight = 17;
// Gap kept between the text and the arrows.
constexpr int kTextGap = 2;
// Enough room for any text, so a rewrite is never cut short while the limit is recomputed.
constexpr int kNoLengthLimit = 32767;

const QString kAcceptedCharacters = QStringLiteral("0123456789-");

// An optional minus sign and decimal digits within the 16-bit range; nothing else.
std::optional<std::int16_t> decimalInt16(const QString& text) {
    const bool negative = text.startsWith(QLatin1Char('-'));
    const qsizetype first = negative ? 1 : 0;
    if (text.size() <= first)
        return std::nullopt;
    int magnitude = 0;
    for (qsizetype i = first; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        magnitude = magnitude * 10 + (c.unicode() - '0');
        if (magnitude > 32768)
            return std::nullopt;
    }
    const int value = negative ? -magnitude : magnitude;
    if (value > INT16_MAX)
        return std::nullopt;
    return static_cast<std::int16_t>(value);
}

bool isCursorKey(int key) {
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Home || key == Qt::Key_End;
}

bool isModifierKey(int key) {
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
           key == Qt::Key_Meta || key == Qt::Key_AltGr || key == Qt::Key_CapsLock;
}

// What a key press does to the field. Only the accepted characters, the Delete key and the
// keys that move the cursor or the selection reach the edit; every other character, control
// characters and the editing shortcuts included (select all, undo and redo, the clipboard keys
// in both forms, deleting words and lines), is refused with a beep, since each of them could
// change the value without typing it. Other keys (function keys, Alt with a letter) belong to
// the window and pass silently.
enum class KeyUse { Edit, Refuse, Pass };

KeyUse keyUse(const QKeyEvent* event) {
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    if (isModifierKey(key))
        return KeyUse::Pass;
    if (isCursorKey(key) && (modifiers == Qt::NoModifier || modifiers == Qt::ControlModifier))
        return KeyUse::Edit;
    if (modifiers == Qt::ControlModifier) {
        const bool character = key < Qt::Key_Escape || key == Qt::Key_Backspace ||
                               key == Qt::Key_Delete || key == Qt::Key_Insert ||
                               key == Qt::Key_Return || key == Qt::Key_Enter;
        return character ? KeyUse::Refuse : KeyUse::Pass;
    }
    if (modifiers != Qt::NoModifier)
        return KeyUse::Pass;
    if (key == Qt::Key_Delete)
        return shift ? KeyUse::Refuse : KeyUse::Edit; // Shift+Delete cuts
    if (key == Qt::Key_Insert)
        return shift ? KeyUse::Refuse : KeyUse::Pass; // Shift+Insert pastes
    if (key == Qt::Key_Backspace || key == Qt::Key_Return || key == Qt::Key_Enter)
        return KeyUse::Refuse;
    const QString text = event->text();
    if (text.isEmpty())
        return KeyUse::Pass;
    const bool accepted = std::all_of(text.begin(), text.end(),
                                      [](QChar c) { return kAcceptedCharacters.contains(c); });
    return accepted ? KeyUse::Edit : KeyUse::Refuse;
}

int decimalLength(int value) {
    return static_cast<int>(QString::number(value).size());
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TUpDownButton

TUpDownButton::TUpDownButton(QWidget* parent) : QWidget(parent), FRepeatTimer(new QTimer(this)) {
    // Clicking the arrows must leave the keyboard focus where it is (in the field).
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
    resize(kArrowWidth, kArrowHeight);
    connect(FRepeatTimer, &QTimer::timeout, this, [this] {
        FRepeatTimer->setInterval(
            style()->styleHint(QStyle::SH_SpinBox_ClickAutoRepeatRate, nullptr, this));
        step();
    });
}

void TUpDownButton::SetMin(std::int16_t value) {
    FMin = value;
    update();
}

void TUpDownButton::SetMax(std::int16_t value) {
    FMax = value;
    update();
}

std::int16_t TUpDownButton::Position() const {
    // The stored value survives a narrowing of the range, so widening it again restores it.
    return clampToRange(FPosition, FMin, FMax);
}

void TUpDownButton::SetPosition(int value) {
    FPosition = clampToRange(value, FMin, FMax);
}

QSize TUpDownButton::sizeHint() const {
    return {kArrowWidth, kArrowHeight};
}

void TUpDownButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int upperHeight = height() / 2;
    const QRect halves[2] = {QRect(0, 0, width(), upperHeight),
                             QRect(0, upperHeight, width(), height() - upperHeight)};
    for (int i = 0; i < 2; ++i) {
        const int direction = i == 0 ? 1 : -1;
        QStyleOption option;
        option.initFrom(this);
        option.rect = halves[i];
        option.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
        const bool sunken = FPressedArrow == direction && isEnabled();
        option.state |= sunken ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &option, &painter, this);
        // The triangle moves with the pressed surface, as on a push button.
        option.rect = halves[i].adjusted(3, 2, -3, -2);
        if (sunken)
            option.rect.translate(1, 1);
        style()->drawPrimitive(i == 0 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown,
                               &option, &painter, this);
    }
}

void TUpDownButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    FPressedArrow = event->position().y() < height() / 2.0 ? 1 : -1;
    update();
    step();
    FRepeatTimer->start(
        style()->styleHint(QStyle::SH_SpinBox_ClickAutoRepeatThreshold, nullptr, this));
}

void TUpDownButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    stopStepping();
}

void TUpDownButton::changeEvent(QEvent* event) {
    // A disabled control gets no release.
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        stopStepping();
    QWidget::changeEvent(event);
}

void TUpDownButton::hideEvent(QHideEvent* event) {
    stopStepping();
    QWidget::hideEvent(event);
}

void TUpDownButton::step() {
    SetPosition(Position() + FPressedArrow);
    if (OnStep)
        OnStep();
}

void TUpDownButton::stopStepping() {
    FRepeatTimer->stop();
    FPressedArrow = 0;
    update();
}

// ---------------------------------------------------------------------------------------------
// TEditUpDown

TEditUpDown::TEditUpDown(QWidget* parent) : QLineEdit(parent), FUpDown(new TUpDownButton(this)) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setTextMargins(0, 0, kArrowWidth + kTextGap, 0);
    connect(this, &QLineEdit::textChanged, this, &TEditUpDown::textChangedHandler);
    FUpDown->OnStep = [this] {
        FLastPosition = FUpDown->Position();
        showPosition();
    };
    updateLengthLimit();
    setText(QStringLiteral("0"));
    placeArrows();
    FUpDown->show();
}

std::int16_t TEditUpDown::Min() const {
    return FUpDown->Min();
}

void TEditUpDown::SetMin(std::int16_t value) {
    FUpDown->SetMin(value);
    setMaxLength(kNoLengthLimit);
    showPosition();
    updateLengthLimit();
}

std::int16_t TEditUpDown::Max() const {
    return FUpDown->Max();
}

void TEditUpDown::SetMax(std::int16_t value) {
    FUpDown->SetMax(value);
    setMaxLength(kNoLengthLimit);
    showPosition();
    updateLengthLimit();
}

std::int16_t TEditUpDown::Position() const {
    return FUpDown->Position();
}

void TEditUpDown::SetPosition(int value) {
    FUpDown->SetPosition(value);
    FLastPosition = FUpDown->Position();
    showPosition();
}

void TEditUpDown::keyPressEvent(QKeyEvent* event) {
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
        const int step = event->key() == Qt::Key_Up ? 1 : -1;
        const int value = decimalInt16(text()).value_or(FLastPosition) + step;
        // Beyond the bounds the key does nothing at all, not even a beep.
        if (value >= Min() && value <= Max())
            SetPosition(value);
        event->accept();
        return;
    }
    switch (keyUse(event)) {
    case KeyUse::Edit:
        QLineEdit::keyPressEvent(event);
        return;
    case KeyUse::Refuse:
        QApplication::beep();
        break;
    case KeyUse::Pass:
        break;
    }
    // Left ignored so that the window still sees the key.
    event->ignore();
}

void TEditUpDown::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    placeArrows();
}

void TEditUpDown::textChangedHandler(const QString& text) {
    // Fired before the text is taken over, so a handler still sees the previous position.
    if (OnChange)
        OnChange(this);
    const int value = decimalInt16(text).value_or(FLastPosition);
    if (value < Min() || value > Max() || value == FLastPosition)
        return;
    FLastPosition = static_cast<std::int16_t>(value);
    FUpDown->SetPosition(value);
}

void TEditUpDown::updateLengthLimit() {
    setMaxLength(std::max(decimalLength(Min()), decimalLength(Max())));
}

void TEditUpDown::placeArrows() {
    int frame = 0;
    if (hasFrame()) {
        QStyleOptionFrame option;
        initStyleOption(&option);
        frame = std::max(1, style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this));
    }
    const int arrowWidth = std::min(kArrowWidth, std::max(0, width() - 2 * frame));
    const int arrowHeight = std::max(0, height() - 2 * frame);
    FUpDown->setGeometry(width() - frame - arrowWidth, frame, arrowWidth, arrowHeight);
}

void TEditUpDown::showPosition() {
    setText(QString::number(FUpDown->Position()));
}

} // namespace zbpg

#pragma once

#include <QLineEdit>
#include <QWidget>
#include <cstdint>
#include <functional>

class QTimer;

namespace zbpg {

// The spin arrows of a numeric field: a position clamped into [Min, Max] that a press on an
// arrow steps by exactly one (no wrapping), after which the owning field is notified. Held, the
// arrow goes on stepping by one as the platform's spin boxes do: after their first delay, at
// their steady rate, without acceleration.
class TUpDownButton final : public QWidget {
    Q_OBJECT
public:
    explicit TUpDownButton(QWidget* parent = nullptr);

    std::int16_t Min() const { return FMin; }
    void SetMin(std::int16_t value);
    std::int16_t Max() const { return FMax; }
    void SetMax(std::int16_t value);
    // Reports a position left outside a narrowed range as the nearer bound.
    std::int16_t Position() const;
    // Clamps into [Min, Max].
    void SetPosition(int value);

    // Called after every step made by an arrow, pressed or held.
    std::function<void()> OnStep;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void step();
    void stopStepping();

    QTimer* FRepeatTimer;
    std::int16_t FMin = 0;
    std::int16_t FMax = 100;
    std::int16_t FPosition = 0;
    int FPressedArrow = 0; // +1 upper, -1 lower, 0 none
};

// A one-line field for a small signed integer with spin arrows inside its right edge. The
// text is the decimal form of Position except while the user has typed a value that is not
// valid or not in range; such a text stays on screen and Position keeps its last valid value.
class TEditUpDown final : public QLineEdit {
    Q_OBJECT
public:
    explicit TEditUpDown(QWidget* parent = nullptr);

    std::int16_t Min() const;
    void SetMin(std::int16_t value);
    std::int16_t Max() const;
    void SetMax(std::int16_t value);
    std::int16_t Position() const;
    // Clamped into [Min, Max]; rewrites the text.
    void SetPosition(int value);

    TUpDownButton* UpDown() const { return FUpDown; }

    // Fires on every change of the text (typed, arrows, or written by the program), before the
    // text is taken over as the position.
    std::function<void(QObject* sender)> OnChange;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void textChangedHandler(const QString& text);
    void updateLengthLimit();
    void placeArrows();
    void showPosition();

    TUpDownButton* FUpDown;
    std::int16_t FLastPosition = 0;
};

} // namespace zbpg

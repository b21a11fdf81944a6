#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>

namespace zbpg {

enum TCoupleAlignment { caTopJustify = 0, caCenter = 1, caBottomJustify = 2 };
enum TTextEllipsis { teNone = 0, tePathEllipsis = 1, teEndEllipsis = 2 };
enum TAlignment { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };

// A label that shows two texts side by side, each in its own font and colour: Caption on the
// left, Text on the right, Pitch pixels apart, with their baselines lined up when both stand
// on the bottom edge.
class TCoupleLabel final : public QWidget {
    Q_OBJECT
public:
    explicit TCoupleLabel(QWidget* parent = nullptr);

    QString Caption() const { return FCaption; }
    void SetCaption(const QString& value);
    QFont Font() const { return font(); }
    void SetFont(const QFont& value);
    QColor FontColor() const { return FFontColor; }
    void SetFontColor(const QColor& value);
    QString Text() const { return FText; }
    void SetText(const QString& value);
    QFont TextFont() const { return FTextFont; }
    void SetTextFont(const QFont& value);
    QColor TextFontColor() const { return FTextFontColor; }
    void SetTextFontColor(const QColor& value);
    int Pitch() const { return FPitch; }
    void SetPitch(int value);
    TCoupleAlignment CoupleAlignment() const { return FCoupleAlignment; }
    void SetCoupleAlignment(TCoupleAlignment value);
    bool ConsDescent() const { return FConsDescent; }
    void SetConsDescent(bool value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    TAlignment TextAlignment() const { return FTextAlignment; }
    void SetTextAlignment(TAlignment value);
    TTextEllipsis TextEllipsis() const { return FTextEllipsis; }
    void SetTextEllipsis(TTextEllipsis value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    QColor Color() const { return FColor; }
    void SetColor(const QColor& value);

    // The laid-out areas of the two parts, in the label's coordinates.
    QRect CaptionRect() const { return FCaptionRect; }
    QRect TextRect() const { return FTextRect; }
    // The text as it is drawn in its area (shortened by the ellipsis rule).
    QString DisplayedText() const;

    void UpdateLayout();
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Measures both parts, resizes when asked and places the two areas.
    void layOut(bool resizeToFit);

    QString FCaption;
    QString FText;
    QFont FTextFont;
    QColor FFontColor;
    QColor FTextFontColor;
    QColor FColor;
    int FPitch = 0;
    TCoupleAlignment FCoupleAlignment = caBottomJustify;
    bool FConsDescent = true;
    bool FAutoSize = true;
    TAlignment FTextAlignment = taLeftJustify;
    TTextEllipsis FTextEllipsis = teNone;
    bool FShowAccelChar = true;
    bool FTransparent = false;
    QRect FCaptionRect;
    QRect FTextRect;
};

} // namespace zbpg

#pragma once

#include "text/ColorText.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>

namespace zbpg {

enum TGradStyle { gsTopBottom = 0, gsBottomTop = 1, gsLeftRight = 2, gsRightLeft = 3, gsNone = 4 };
enum TFontStyle3D { fsLowShadow = 0, fsRaiseShadow = 1, fsLow3D = 2, fsRaise3D = 3 };

// A box filled with a two-colour gradient in one of four directions (or none, showing its
// parent), with a caption drawn plainly, with a shadow or stepped in 3-D.
class TGradBox final : public QWidget {
    Q_OBJECT
public:
    explicit TGradBox(QWidget* parent = nullptr);

    zbpg::Color TopColor() const { return FTopColor; }
    void SetTopColor(zbpg::Color value);
    zbpg::Color LastColor() const { return FLastColor; }
    void SetLastColor(zbpg::Color value);
    TGradStyle GradStyle() const { return FGradStyle; }
    void SetGradStyle(TGradStyle value);
    void SetOutLineColor(zbpg::Color value);
    bool DrawOutLine() const { return FDrawOutLine; }
    void SetDrawOutLine(bool value);
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& value);
    int CaptionLeft() const { return FCaptionLeft; }
    void SetCaptionLeft(int value);
    int CaptionTop() const { return FCaptionTop; }
    void SetCaptionTop(int value);
    QFont Font() const { return font(); }
    void SetFont(const QFont& value);
    zbpg::Color FontColor() const { return FFontColor; }
    void SetFontColor(zbpg::Color value);
    bool Font3D() const { return FFont3D; }
    void SetFont3D(bool value);
    TFontStyle3D Style3D() const { return FStyle3D; }
    void SetStyle3D(TFontStyle3D value);
    std::uint8_t FontDepth() const { return FFontDepth; }
    void SetFontDepth(std::uint8_t value);
    zbpg::Color BackFont() const { return FBackFont; }
    void SetBackFont(zbpg::Color value);

    // Called after the box has painted itself.
    std::function<void(QObject* sender)> OnPaint;

    // The colour table of the current style, as the next paint builds it.
    std::array<zbpg::Color, 256> ColorTable() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void paintGradient(class QPainter& painter, const std::array<zbpg::Color, 256>& table);
    void paintCaption(class QPainter& painter);

    zbpg::Color FTopColor = 0x008000;
    zbpg::Color FLastColor = 0x00FF00;
    TGradStyle FGradStyle = gsTopBottom;
    zbpg::Color FOutLineColor = 0;
    bool FDrawOutLine = false;
    QString FCaption;
    int FCaptionLeft = 10;
    int FCaptionTop = 10;
    zbpg::Color FFontColor = 0;
    bool FFont3D = false;
    TFontStyle3D FStyle3D = fsRaise3D;
    std::uint8_t FFontDepth = 1;
    zbpg::Color FBackFont = 0x00FFFF;
    std::array<zbpg::Color, 256> FLastTable{};
};

} // namespace zbpg

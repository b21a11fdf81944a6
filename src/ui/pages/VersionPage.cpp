#include "ui/pages/VersionPage.h"

#include "controls/GradBox.h"
#include "ui/pages/PageWidgets.h"

#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>

namespace zbpg {
namespace {

// The icon of the page: a screen with the frames the program draws.
QPixmap programIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.setBrush(QColor(0, 128, 128));
    painter.drawRect(1, 3, 29, 21);
    painter.setPen(Qt::white);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(3, 5, 18, 13);
    painter.drawRect(3, 5, 12, 9);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::gray);
    painter.drawRect(11, 25, 9, 3);
    return pixmap;
}

QPixmap zorbelImage() {
    QPixmap pixmap(96, 96);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 0, 160), 4));
    painter.setBrush(QColor(255, 255, 255, 160));
    painter.drawEllipse(4, 4, 88, 88);
    painter.setFont(pixelFont("serif", 64, true, true));
    painter.setPen(QColor(200, 0, 0));
    painter.drawText(pixmap.rect(), Qt::AlignCenter, "Z");
    return pixmap;
}

} // namespace

VersionPage::VersionPage()
    : GradBoxVersion(named(new TGradBox, "GradBoxVersion")),
      ImageZorbel(named(new QLabel, "ImageZorbel")),
      LabelTitle(named(new QLabel("Paneglyph"), "LabelTitle")),
      LabelVersion(named(new QLabel("Ver.1.02"), "LabelVersion")),
      ImageIcon(named(new QLabel, "ImageIcon")),
      LabelWindows(named(new QLabel("for Windows98/NT/2000"), "LabelWindows")),
      TimerVersion(named(new QTimer(this), "TimerVersion")) {
    setObjectName("TabSheetVersion");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    GradBoxVersion->SetTopColor(kSystemColorBase + 15); // button face
    GradBoxVersion->SetLastColor(kColorWhite);
    GradBoxVersion->SetDrawOutLine(false);
    GradBoxVersion->SetFont(pixelFont("MT たれっぴ", 96, true, true));
    GradBoxVersion->SetFontColor(0x0000FF);
    GradBoxVersion->SetFont3D(true);
    GradBoxVersion->SetStyle3D(fsLowShadow);
    GradBoxVersion->SetFontDepth(5);
    GradBoxVersion->SetBackFont(kColorWhite);
    layout->addWidget(GradBoxVersion);

    auto* content = new QGridLayout(GradBoxVersion);
    content->setContentsMargins(16, 16, 16, 16);
    ImageZorbel->setPixmap(zorbelImage());
    LabelTitle->setFont(pixelFont("serif", 64, true, true));
    LabelTitle->setStyleSheet("color: blue; background: transparent;");
    LabelVersion->setFont(pixelFont("ＭＳ Ｐゴシック", 24, true));
    LabelVersion->setAlignment(Qt::AlignCenter);
    ImageIcon->setPixmap(programIcon());
    ImageIcon->setFixedSize(32, 32);
    LabelWindows->setStyleSheet("color: red; background: transparent;");
    content->addWidget(LabelTitle, 0, 0, 1, 3, Qt::AlignCenter);
    content->addWidget(ImageZorbel, 1, 0, 2, 1);
    content->addWidget(LabelVersion, 1, 1, 1, 2);
    content->addWidget(ImageIcon, 2, 1, Qt::AlignRight);
    content->addWidget(LabelWindows, 2, 2);
    content->setRowStretch(3, 1);
    content->setColumnStretch(2, 1);

    // The timer runs from the start, at the platform's default second.
    TimerVersion->setInterval(1000);
    TimerVersion->start();
    connect(TimerVersion, &QTimer::timeout, this, [this] { TimerVersionTimer(); });
}

void VersionPage::pageShown() {
    TabSheetVersionShow();
}

void VersionPage::pageHidden() {
    TabSheetVersionHide();
}

void VersionPage::TabSheetVersionShow() {
    GradBoxVersion->SetGradStyle(gsNone);
    TimerVersion->setInterval(3000);
    TimerVersion->start();
}

void VersionPage::TabSheetVersionHide() {
    // The timer keeps running; showing the page again restarts the cycle.
}

void VersionPage::TimerVersionTimer() {
    switch (GradBoxVersion->GradStyle()) {
    case gsNone:
        GradBoxVersion->SetGradStyle(gsTopBottom);
        TimerVersion->setInterval(1000);
        break;
    case gsTopBottom:
        GradBoxVersion->SetGradStyle(gsRightLeft);
        break;
    case gsRightLeft:
        GradBoxVersion->SetGradStyle(gsBottomTop);
        break;
    case gsBottomTop:
        GradBoxVersion->SetGradStyle(gsLeftRight);
        break;
    case gsLeftRight:
        GradBoxVersion->SetGradStyle(gsTopBottom);
        break;
    }
}

} // namespace zbpg

#include "ui/pages/WallpaperPage.h"

#include "common/zbpg_common.h"
#include "controls/DROPDST.h"
#include "controls/PanelEx.h"
#include "text/Texts.h"
#include "ui/Guarded.h"
#include "ui/pages/PageParts.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace zbpg {

WallpaperPage::WallpaperPage()
    : CheckBoxWallpaper(named(new QCheckBox("壁紙を変更・描画する"), "CheckBoxWallpaper")),
      PanelExWallPaper(named(new TPanelEx, "PanelExWallPaper")),
      CheckListBoxWPList(named(checkList(), "CheckListBoxWPList")),
      SpeedButtonWPOpen(
          named(glyphButton(QStyle::SP_DialogOpenButton, "開く（追加）"), "SpeedButtonWPOpen")),
      SpeedButtonWPDel(
          named(glyphButton(QStyle::SP_DialogDiscardButton, "削除"), "SpeedButtonWPDel")),
      SpeedButtonWPAllDel(
          named(glyphButton(QStyle::SP_TrashIcon, "全て削除"), "SpeedButtonWPAllDel")),
      SpeedButtonWPAllOn(named(glyphButton(QStyle::SP_DialogApplyButton, "全てのチェックをON"),
                               "SpeedButtonWPAllOn")),
      SpeedButtonWPAllOff(named(glyphButton(QStyle::SP_DialogCancelButton, "全てのチェックをOFF"),
                                "SpeedButtonWPAllOff")),
      SpeedButtonWPUp(named(glyphButton(QStyle::SP_ArrowUp, texts::kMoveUp), "SpeedButtonWPUp")),
      SpeedButtonWPDown(
          named(glyphButton(QStyle::SP_ArrowDown, texts::kMoveDown), "SpeedButtonWPDown")),
      SpeedButtonProperty(named(speedButton("「画面のプロパティ」を開く"), "SpeedButtonProperty")),
      CheckBoxWPSubFolder(named(new QCheckBox("フォルダ指定時に配下のサブフォルダも対象にする"),
                                "CheckBoxWPSubFolder")),
      RadioButtonWPPCenter(named(new QRadioButton("中央に表示"), "RadioButtonWPPCenter")),
      RadioButtonWPPEnum(named(new QRadioButton("並べて表示"), "RadioButtonWPPEnum")),
      RadioButtonWPPSpread(named(new QRadioButton("拡大して表示"), "RadioButtonWPPSpread")),
      RadioButtonWPSRandom(named(new QRadioButton("ランダムに表示"), "RadioButtonWPSRandom")),
      RadioButtonWPSSeq(named(new QRadioButton("上から順番に表示"), "RadioButtonWPSSeq")),
      DropDstWallpaper(named(new TDropDst(this), "DropDstWallpaper")) {
    setObjectName("TabSheetWallpaper");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CheckBoxWallpaper);

    auto* panel = new QVBoxLayout(PanelExWallPaper);
    panel->setContentsMargins(0, 0, 0, 0);
    auto* listRow = new QHBoxLayout;
    auto* buttons = new QVBoxLayout;
    for (auto* button :
         {SpeedButtonWPOpen, SpeedButtonWPDel, SpeedButtonWPAllDel, SpeedButtonWPAllOn,
          SpeedButtonWPAllOff, SpeedButtonWPUp, SpeedButtonWPDown})
        buttons->addWidget(button);
    buttons->addStretch();
    listRow->addWidget(CheckListBoxWPList, 1);
    listRow->addLayout(buttons);
    panel->addLayout(listRow, 1);
    panel->addWidget(CheckBoxWPSubFolder);

    auto* options = new QHBoxLayout;
    auto* position = new QGroupBox("壁紙の表示位置");
    auto* positionLayout = new QVBoxLayout(position);
    for (auto* radio : {RadioButtonWPPCenter, RadioButtonWPPEnum, RadioButtonWPPSpread})
        positionLayout->addWidget(radio);
    auto* order = new QGroupBox("壁紙の選択方法");
    auto* orderLayout = new QVBoxLayout(order);
    orderLayout->addWidget(RadioButtonWPSRandom);
    orderLayout->addWidget(RadioButtonWPSSeq);
    orderLayout->addStretch();
    options->addWidget(position);
    options->addWidget(order);
    panel->addLayout(options);

    auto* property = new QHBoxLayout;
    property->addStretch();
    property->addWidget(SpeedButtonProperty);
    panel->addLayout(property);
    layout->addWidget(PanelExWallPaper, 1);

    DropDstWallpaper->SetControl(CheckListBoxWPList);
    connect(CheckBoxWallpaper, &QAbstractButton::toggled, this,
            [this] { CheckBoxWallpaperClick(); });
    onClick(SpeedButtonProperty, this, [this] { SpeedButtonPropertyClick(); });
}

void WallpaperPage::showOptions(const Options& options) {
    const auto& wallpaper = options.wallpaper;
    CheckBoxWallpaper->setChecked(wallpaper.draw);
    CheckBoxWPSubFolder->setChecked(wallpaper.subFolder);
    showButtons<WallpaperPosition, 3>(
        {RadioButtonWPPCenter, RadioButtonWPPEnum, RadioButtonWPPSpread}, wallpaper.position);
    showButtons<WallpaperOrder, 2>({RadioButtonWPSRandom, RadioButtonWPSSeq}, wallpaper.order);
    m_stat = wallpaper.stat;
    m_file = wallpaper.file;
    showRows(CheckListBoxWPList, wallpaper.rows);
}

void WallpaperPage::takeOptions(Options& options) const {
    auto& wallpaper = options.wallpaper;
    wallpaper.draw = CheckBoxWallpaper->isChecked();
    wallpaper.subFolder = CheckBoxWPSubFolder->isChecked();
    takeButtons<WallpaperPosition, 3>(
        {RadioButtonWPPCenter, RadioButtonWPPEnum, RadioButtonWPPSpread}, wallpaper.position);
    takeButtons<WallpaperOrder, 2>({RadioButtonWPSRandom, RadioButtonWPSSeq}, wallpaper.order);
    wallpaper.stat = m_stat;
    wallpaper.file = m_file;
    wallpaper.rows = rowsOf(CheckListBoxWPList);
}

void WallpaperPage::CheckBoxWallpaperClick() {
    PanelExWallPaper->SetEnabled(CheckBoxWallpaper->isChecked());
    emit changed();
}

void WallpaperPage::SpeedButtonPropertyClick() {
    // The display settings of the desktop; nothing is shown when there are none.
    (void)ExecApplication(this, false, "control.exe", "desk.cpl", "", 5);
}

} // namespace zbpg

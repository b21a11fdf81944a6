#include "ui/pages/AppExecPage.h"

#include "controls/DROPDST.h"
#include "text/Texts.h"
#include "ui/pages/PageParts.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace zbpg {
namespace {

constexpr AppList kLists[] = {AppList::Before, AppList::After};

std::size_t indexOf(AppList list) {
    return static_cast<std::size_t>(list);
}

QToolButton* listButton(const char* caption, const char* name) {
    auto* button = named(speedButton(QString::fromUtf8(caption)), name);
    button->setMinimumWidth(48);
    return button;
}

} // namespace

AppExecPage::AppExecPage()
    : CheckListBoxAEBef(named(checkList(), "CheckListBoxAEBef")),
      SpeedButtonAEBAdd(listButton("追加", "SpeedButtonAEBAdd")),
      SpeedButtonAEBDel(listButton("削除", "SpeedButtonAEBDel")),
      SpeedButtonAEBUpd(listButton("編集", "SpeedButtonAEBUpd")),
      SpeedButtonAEBUp(named(glyphButton(QStyle::SP_ArrowUp, texts::kMoveUp), "SpeedButtonAEBUp")),
      SpeedButtonAEBDown(
          named(glyphButton(QStyle::SP_ArrowDown, texts::kMoveDown), "SpeedButtonAEBDown")),
      DropDstAEBef(named(new TDropDst(this), "DropDstAEBef")),
      CheckListBoxAEAft(named(checkList(), "CheckListBoxAEAft")),
      SpeedButtonAEAAdd(listButton("追加", "SpeedButtonAEAAdd")),
      SpeedButtonAEADel(listButton("削除", "SpeedButtonAEADel")),
      SpeedButtonAEAUpd(listButton("編集", "SpeedButtonAEAUpd")),
      SpeedButtonAEAUp(named(glyphButton(QStyle::SP_ArrowUp, texts::kMoveUp), "SpeedButtonAEAUp")),
      SpeedButtonAEADown(
          named(glyphButton(QStyle::SP_ArrowDown, texts::kMoveDown), "SpeedButtonAEADown")),
      DropDstAEAft(named(new TDropDst(this), "DropDstAEAft")) {
    setObjectName("TabSheetAppExec");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label("チェックをONにしたアプリケーションを上から順に起動します"));
    layout->addWidget(createListBox(AppList::Before, "描画前に起動するアプリケーション"), 1);
    layout->addWidget(createListBox(AppList::After, "描画後に起動するアプリケーション"), 1);
}

QWidget* AppExecPage::createListBox(AppList list, const char* caption) {
    const ListControls c = listControls(list);
    auto* box = new QGroupBox(QString::fromUtf8(caption));
    auto* boxLayout = new QHBoxLayout(box);
    auto* buttons = new QVBoxLayout;
    for (QToolButton* button : {c.add, c.del, c.upd})
        buttons->addWidget(button);
    auto* arrows = new QHBoxLayout;
    arrows->addWidget(c.up);
    arrows->addWidget(c.down);
    buttons->addLayout(arrows);
    buttons->addStretch();
    for (QObject* control :
         std::initializer_list<QObject*>{c.checkList, c.add, c.del, c.upd, c.up, c.down})
        control->setProperty("Tag", static_cast<int>(indexOf(list)));
    boxLayout->addWidget(c.checkList, 1);
    boxLayout->addLayout(buttons);
    c.drop->SetControl(c.checkList);
    return box;
}

AppExecPage::ListControls AppExecPage::listControls(AppList list) const {
    if (list == AppList::Before)
        return {CheckListBoxAEBef, SpeedButtonAEBAdd,  SpeedButtonAEBDel, SpeedButtonAEBUpd,
                SpeedButtonAEBUp,  SpeedButtonAEBDown, DropDstAEBef};
    return {CheckListBoxAEAft, SpeedButtonAEAAdd,  SpeedButtonAEADel, SpeedButtonAEAUpd,
            SpeedButtonAEAUp,  SpeedButtonAEADown, DropDstAEAft};
}

void AppExecPage::showOptions(const Options& options) {
    for (const AppList list : kLists) {
        const auto& stored = options.appList(list);
        m_fields[indexOf(list)] = stored.fields;
        showRows(listControls(list).checkList, stored.rows);
    }
}

void AppExecPage::takeOptions(Options& options) const {
    for (const AppList list : kLists) {
        auto& stored = options.appList(list);
        stored.fields = m_fields[indexOf(list)];
        stored.rows = rowsOf(listControls(list).checkList);
    }
}

} // namespace zbpg

#pragma once

#include "ui/pages/SettingsPage.h"

#include <array>

class QListWidget;
class QToolButton;

namespace zbpg {

class TDropDst;

// The page "外部アプリ起動": the programs started before and after drawing, each list with its
// buttons. The controls of a list carry its number as "Tag" (0 before, 1 after).
class AppExecPage final : public SettingsPage {
    Q_OBJECT
public:
    AppExecPage();

    void showOptions(const Options& options) override;
    void takeOptions(Options& options) const override;

private:
    // The controls of one list.
    struct ListControls {
        QListWidget* checkList;
        QToolButton* add;
        QToolButton* del;
        QToolButton* upd;
        QToolButton* up;
        QToolButton* down;
        TDropDst* drop;
    };
    ListControls listControls(AppList list) const;
    QWidget* createListBox(AppList list, const char* caption);

    QListWidget* CheckListBoxAEBef;
    QToolButton* SpeedButtonAEBAdd;
    QToolButton* SpeedButtonAEBDel;
    QToolButton* SpeedButtonAEBUpd;
    QToolButton* SpeedButtonAEBUp;
    QToolButton* SpeedButtonAEBDown;
    TDropDst* DropDstAEBef;
    QListWidget* CheckListBoxAEAft;
    QToolButton* SpeedButtonAEAAdd;
    QToolButton* SpeedButtonAEADel;
    QToolButton* SpeedButtonAEAUpd;
    QToolButton* SpeedButtonAEAUp;
    QToolButton* SpeedButtonAEADown;
    TDropDst* DropDstAEAft;

    // The hidden field lists of both lists (ListBoxAEBStat … ListBoxAEAWTNoWaitSec).
    std::array<decltype(AppListOptions::fields), 2> m_fields;
};

} // namespace zbpg

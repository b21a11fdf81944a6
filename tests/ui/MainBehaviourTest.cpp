#include "controls/CoupleLb.h"
#include "controls/DROPDST.h"
#include "controls/GradBox.h"
#include "controls/OpenDialogEx.h"
#include "controls/PanelEx.h"
#include "ui/FontButton.h"
#include "ui/MainWindowFixture.h"
#include "ui/MultiRowTabWidget.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <filesystem>

namespace zbpg {
namespace {

class MainBehaviourTest : public test::MainWindowFixture {
protected:
    // Every widget on a page except the given ones.
    static std::vector<QWidget*> controlsOf(QWidget* page, std::initializer_list<QWidget*> except) {
        std::vector<QWidget*> controls;
        for (auto* child : page->findChildren<QWidget*>()) {
            const bool excluded = std::find(except.begin(), except.end(), child) != except.end();
            const bool control = qobject_cast<QAbstractButton*>(child) ||
                                 qobject_cast<QLineEdit*>(child) ||
                                 qobject_cast<QPlainTextEdit*>(child);
            if (control && !excluded && child->parentWidget() != nullptr &&
                !qobject_cast<QLineEdit*>(child->parentWidget()))
                controls.push_back(child);
        }
        return controls;
    }
};

TEST_F(MainBehaviourTest, FrameCheckBoxEnablesThePageAndTheFreeSizeOnlyWhenChosen) {
    window->CheckBoxMonitorFrame->setChecked(false);
    for (auto* control : controlsOf(window->TabSheetMonitorFrame, {window->CheckBoxMonitorFrame}))
        EXPECT_FALSE(control->isEnabled()) << control->metaObject()->className();
    EXPECT_FALSE(window->CheckBoxSZFree->isEnabled());

    window->CheckBoxMonitorFrame->setChecked(true);
    EXPECT_TRUE(window->CheckBoxSZFree->isEnabled());
    EXPECT_TRUE(window->CheckBoxSZ[0]->isEnabled());
    EXPECT_FALSE(window->EditUpDownSZWidth->isEnabled()) << "free size is off";
    window->CheckBoxSZFree->setChecked(true);
    EXPECT_TRUE(window->EditUpDownSZWidth->isEnabled());
    EXPECT_TRUE(window->EditCmnt->isEnabled());
}

TEST_F(MainBehaviourTest, FreeMessageCheckBoxFollowsTheRadioButtonsWhenEnabled) {
    EXPECT_FALSE(window->MemoFMInput->isEnabled());
    EXPECT_FALSE(window->EditFMFile->isEnabled());
    EXPECT_FALSE(window->EditUpDownFMLineInterval->isEnabled());
    window->CheckBoxFreeMessage->setChecked(true);
    EXPECT_TRUE(window->MemoFMInput->isEnabled());
    EXPECT_FALSE(window->EditFMFile->isEnabled()) << "\"直接入力する\" is chosen";
    EXPECT_TRUE(window->EditUpDownFMLeft->isEnabled());
    EXPECT_TRUE(window->SpeedButtonFMFont->isEnabled());
    window->RadioButtonFMFile->setChecked(true);
    EXPECT_TRUE(window->EditFMFile->isEnabled());
    EXPECT_FALSE(window->MemoFMInput->isEnabled());
    window->CheckBoxFreeMessage->setChecked(false);
    for (auto* control : controlsOf(window->TabSheetFree, {window->CheckBoxFreeMessage}))
        EXPECT_FALSE(control->isEnabled()) << control->metaObject()->className();
}

TEST_F(MainBehaviourTest, SystemInformationLinesEnableTheirPanels) {
    window->CheckBoxSIComp->setChecked(false);
    EXPECT_FALSE(window->EditSICompLabel->isEnabled());
    EXPECT_FALSE(window->EditUpDownSICompTop->isEnabled());
    EXPECT_TRUE(window->EditSIUserLabel->isEnabled());
    window->CheckBoxSIComp->setChecked(true);
    EXPECT_TRUE(window->SpeedButtonSICompFont->isEnabled());
}

TEST_F(MainBehaviourTest, FieldsAreBoundedByTheScreen) {
    EXPECT_EQ(window->EditUpDownSZWidth->Max(), 1023);
    EXPECT_EQ(window->EditUpDownSZHeight->Max(), 767);
    EXPECT_EQ(window->EditUpDownSIUserLeft->Max(), 1023);
    EXPECT_EQ(window->EditUpDownSIIPAddrTop->Max(), 767);
    EXPECT_EQ(window->EditUpDownFMLineInterval->Max(), 767);
    EXPECT_EQ(window->EditUpDownStartUp->Max(), 999);
    window->EditUpDownSZWidth->SetPosition(5000);
    EXPECT_EQ(window->EditUpDownSZWidth->Position(), 1023);
    EXPECT_EQ(window->CoupleLabelNowSize->Text(), "1024 * 768");
}

TEST_F(MainBehaviourTest, ChangedStateFollowsTheRulesOfEachControl) {
    window->EditUpDownStartUp->SetPosition(30);
    EXPECT_FALSE(applyEnabled()) << "the start-up wait has no change event";
    window->CheckBoxSZFreeClick();
    EXPECT_FALSE(applyEnabled()) << "the free-size rule does not mark";
    window->ListBoxDrawSeq->setCurrentRow(1);
    EXPECT_FALSE(applyEnabled()) << "selecting a row is no change";
    window->SpeedButtonMFPc->click();
    EXPECT_TRUE(applyEnabled());
}

TEST_F(MainBehaviourTest, DrawSequenceMovesTheSelectedRow) {
    window->ListBoxDrawSeq->setCurrentRow(2);
    window->SpeedButtonDSDown->click();
    EXPECT_FALSE(applyEnabled()) << "the last row cannot move down";
    window->SpeedButtonDSUp->click();
    EXPECT_TRUE(applyEnabled());
    EXPECT_EQ(window->ListBoxDrawSeqStream.lines,
              (std::vector<std::string>{"画面サイズ", "任意表示", "システム情報"}));
    EXPECT_EQ(window->ListBoxDrawSeq->currentRow(), 1) << "the selection moves with the row";
    EXPECT_EQ(window->ListBoxDrawSeq->item(1)->text(), "任意表示");
    window->ListBoxDrawSeq->clearSelection();
    window->SpeedButtonDSUp->click();
    EXPECT_EQ(window->ListBoxDrawSeqStream.lines[0], "画面サイズ");
}

TEST_F(MainBehaviourTest, FontButtonsRunTheFontDialogAndMarkEvenWhenCancelled) {
    window->SpeedButtonSICompFont->click();
    ASSERT_EQ(dialogs.fontRequests.size(), 1u);
    EXPECT_EQ(dialogs.fontRequests[0].face, "ＭＳ ゴシック");
    EXPECT_EQ(dialogs.fontRequests[0].height, -12);
    EXPECT_TRUE(applyEnabled());
    EXPECT_EQ(window->SpeedButtonSICompFont->Font().height, -12);

    const FontDescription chosen{"IPAPGothic", -24, 0x0000FF, kFontItalic, 128};
    dialogs.fontAnswers.push_back(chosen);
    window->SpeedButtonMFFont->click();
    EXPECT_EQ(window->SpeedButtonMFFont->Font(), chosen);
    window->SaveSettings();
    EXPECT_NE(iniText().find("MFFont_FontName=IPAPGothic\r\nMFFont_FontSize=18\r\n"
                             "MFFont_FontColor=clRed\r\nMFFont_FontStyle=2\r\n"),
              std::string::npos);
}

TEST_F(MainBehaviourTest, MessageFileChooserStartsInTheRememberedFolder) {
    std::filesystem::create_directories(folder.file("texts"));
    window->RegManager.ItemFiler("FMFileDir").WriteString(folder.file("texts/"));
    dialogs.fileAnswers.push_back(platform::FileDialogResult{{folder.file("texts/msg.txt")}, 1});
    window->CheckBoxFreeMessage->setChecked(true);
    window->RadioButtonFMFile->setChecked(true);
    window->ButtonSave->setEnabled(false);
    window->SpeedButtonFMFileOpen->click();
    ASSERT_EQ(dialogs.fileRequests.size(), 1u);
    const auto& request = dialogs.fileRequests[0];
    EXPECT_EQ(request.initialFolder, folder.file("texts/"));
    EXPECT_EQ(request.title, "ファイルを選択してください");
    ASSERT_EQ(request.filters.size(), 1u);
    EXPECT_EQ(request.filters[0].patterns, "*.*");
    EXPECT_FALSE(request.multiSelect);
    EXPECT_EQ(window->EditFMFile->text().toStdString(), folder.file("texts/msg.txt"));
    EXPECT_EQ(window->RegManager.ItemFiler("FMFileDir").ReadString(), folder.file("texts/"));
    EXPECT_TRUE(applyEnabled());
    // Placed under the file field, at the window's left edge.
    EXPECT_EQ(dialogs.placedAt.first, window->x());
    EXPECT_EQ(dialogs.placedAt.second,
              window->EditFMFile->mapToGlobal(QPoint(0, window->EditFMFile->height())).y());
}

TEST_F(MainBehaviourTest, AMissingRememberedFolderAndACancelChangeNothing) {
    window->RegManager.ItemFiler("FMFileDir").WriteString(folder.file("gone/"));
    window->SpeedButtonFMFileOpenClick();
    ASSERT_EQ(dialogs.fileRequests.size(), 1u);
    EXPECT_EQ(dialogs.fileRequests[0].initialFolder, "");
    EXPECT_EQ(window->EditFMFile->text(), "");
    EXPECT_EQ(window->RegManager.ItemFiler("FMFileDir").ReadString(), folder.file("gone/"));
    EXPECT_FALSE(applyEnabled());
}

TEST_F(MainBehaviourTest, ADropOnTheFileFieldTakesTheFirstName) {
    window->DropDstFreeFile->OnFileDrop(window->DropDstFreeFile, {"/a/first.txt", "/b/second.txt"},
                                        3, 4);
    EXPECT_EQ(window->EditFMFile->text(), "/a/first.txt");
}

TEST_F(MainBehaviourTest, HelpOpensTheShippedPages) {
    window->SpeedButtonHelp->click();
    ASSERT_EQ(desktop.opened.size(), 1u);
    EXPECT_EQ(desktop.opened[0], files().helpFile);
}

TEST_F(MainBehaviourTest, VersionPageTurnsItsGradientAfterAPause) {
    window->PageControlEnv->setCurrentWidget(window->TabSheetVersion);
    EXPECT_EQ(window->GradBoxVersion->GradStyle(), gsNone);
    EXPECT_EQ(window->TimerVersion->interval(), 3000);
    const TGradStyle expected[] = {gsTopBottom, gsRightLeft, gsBottomTop, gsLeftRight, gsTopBottom};
    for (TGradStyle style : expected) {
        window->TimerVersionTimer();
        EXPECT_EQ(window->GradBoxVersion->GradStyle(), style);
    }
    EXPECT_EQ(window->TimerVersion->interval(), 1000);
    window->PageControlEnv->setCurrentWidget(window->TabSheetSetEnv);
    EXPECT_TRUE(window->TimerVersion->isActive()) << "the timer is never stopped";
    window->PageControlEnv->setCurrentWidget(window->TabSheetVersion);
    EXPECT_EQ(window->GradBoxVersion->GradStyle(), gsNone) << "showing the page restarts";
}

TEST_F(MainBehaviourTest, TheWindowHasTheDesignedFrame) {
    EXPECT_EQ(window->windowTitle(), "ZorbelPaneglyph");
    EXPECT_EQ(window->size(), QSize(443, 401));
    EXPECT_EQ(window->PageControlEnv->count(), 7);
    const char* captions[] = {"設定",     "壁紙設定",       "画面サイズ",    "システム情報",
                              "任意表示", "外部アプリ起動", "バージョン情報"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(window->PageControlEnv->tabText(i).toStdString(), captions[i]);
    EXPECT_EQ(window->SpeedButtonStartUp->text(), "登録");
}

} // namespace
} // namespace zbpg

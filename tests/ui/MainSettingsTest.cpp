#include "controls/SCB.h"
#include "ui/FontButton.h"
#include "ui/MainWindowFixture.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QToolButton>
#include <filesystem>
#include <map>
#include <sys/stat.h>

namespace zbpg {
namespace {

using test::writeFile;

std::string fontText(const FontDescription& font) {
    return font.face + "/" + std::to_string(font.height) + "/" + std::to_string(font.color) + "/" +
           std::to_string(font.style);
}

std::string listText(const QListWidget* list) {
    std::string text;
    for (int i = 0; i < list->count(); ++i)
        text += (list->item(i)->checkState() == Qt::Checked ? "[x]" : "[ ]") +
                list->item(i)->text().toStdString() + ";";
    return text;
}

std::string linesText(const ListControlDescription& list) {
    std::string text;
    for (const auto& line : list.lines)
        text += line + ";";
    return text;
}

// Every option of the window as text, keyed by the item that stores it.
std::map<std::string, std::string> options(const TFormMain& w) {
    std::map<std::string, std::string> o;
    const auto flag = [](const QAbstractButton* b) { return b->isChecked() ? "1" : "0"; };
    o["Left"] = std::to_string(w.x());
    o["Top"] = std::to_string(w.y());
    o["DrawTypeOverwrite"] = flag(w.RadioButtonOverwrite);
    o["DrawTypeRewrite"] = flag(w.RadioButtonRewrite);
    o["DrawSeq"] = linesText(w.ListBoxDrawSeqStream);
    o["StartUpWaitSec"] = std::to_string(w.EditUpDownStartUp->Position());
    o["WallpaperDraw"] = flag(w.CheckBoxWallpaper);
    o["WPSubFolder"] = flag(w.CheckBoxWPSubFolder);
    o["WPPCenter"] = flag(w.RadioButtonWPPCenter);
    o["WPPEnum"] = flag(w.RadioButtonWPPEnum);
    o["WPPSpread"] = flag(w.RadioButtonWPPSpread);
    o["WPSRandom"] = flag(w.RadioButtonWPSRandom);
    o["WPSSeq"] = flag(w.RadioButtonWPSSeq);
    o["WPList"] =
        listText(w.CheckListBoxWPList) + linesText(w.ListBoxWPStat) + linesText(w.ListBoxWPFile);
    o["MonitorFrameDraw"] = flag(w.CheckBoxMonitorFrame);
    o["Anchor"] = std::string(flag(w.SpeedButtonMFPlt)) + flag(w.SpeedButtonMFPlb) +
                  flag(w.SpeedButtonMFPrt) + flag(w.SpeedButtonMFPrb) + flag(w.SpeedButtonMFPc);
    for (std::size_t i = 0; i < w.CheckBoxSZ.size(); ++i)
        o["MFSZ" + std::to_string(i + 1)] = flag(w.CheckBoxSZ[i]);
    o["MFSZFree"] = flag(w.CheckBoxSZFree);
    o["MFSZFWidth"] = std::to_string(w.EditUpDownSZWidth->Position());
    o["MFSZFHeight"] = std::to_string(w.EditUpDownSZHeight->Position());
    o["MFSZFCmnt"] = w.EditCmnt->text().toStdString();
    o["MFColor"] = std::to_string(w.SelectColorButtonMF->Color());
    o["MFFont"] = fontText(w.SpeedButtonMFFont->Font());
    o["SIUser"] = std::string(flag(w.CheckBoxSIUser)) + w.EditSIUserLabel->text().toStdString() +
                  std::to_string(w.EditUpDownSIUserLeft->Position()) + "," +
                  std::to_string(w.EditUpDownSIUserTop->Position()) +
                  fontText(w.SpeedButtonSIUserFont->Font());
    o["SIComp"] = std::string(flag(w.CheckBoxSIComp)) + w.EditSICompLabel->text().toStdString() +
                  std::to_string(w.EditUpDownSICompLeft->Position()) + "," +
                  std::to_string(w.EditUpDownSICompTop->Position()) +
                  fontText(w.SpeedButtonSICompFont->Font());
    o["SIIPAddr"] = std::string(flag(w.CheckBoxSIIPAddr)) +
                    w.EditSIIPAddrLabel->text().toStdString() +
                    std::to_string(w.EditUpDownSIIPAddrLeft->Position()) + "," +
                    std::to_string(w.EditUpDownSIIPAddrTop->Position()) +
                    fontText(w.SpeedButtonSIIPAddrFont->Font());
    o["FreeMessage"] = std::string(flag(w.CheckBoxFreeMessage)) + flag(w.RadioButtonFMFile) +
                       flag(w.RadioButtonFMInput) + w.EditFMFile->text().toStdString() + "|" +
                       w.MemoFMInput->toPlainText().toStdString() + "|" +
                       std::to_string(w.EditUpDownFMLineInterval->Position()) + "," +
                       std::to_string(w.EditUpDownFMLeft->Position()) + "," +
                       std::to_string(w.EditUpDownFMTop->Position()) +
                       fontText(w.SpeedButtonFMFont->Font());
    for (std::size_t column = 0; column < 2; ++column) {
        std::string text = listText(w.FAppExecControls[column].checkList);
        for (const auto* field : w.FAppExecControls[column].fields)
            text += linesText(*field) + "|";
        o["AppExec" + std::to_string(column)] = text;
    }
    return o;
}

void addCheckRow(QListWidget* list, const char* text, bool checked) {
    auto* row = new QListWidgetItem(QString::fromUtf8(text), list);
    row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
    row->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

// Moves every option away from its default.
void changeEverything(TFormMain& w) {
    w.move(12, 34);
    w.RadioButtonRewrite->setChecked(true);
    w.ListBoxDrawSeqStream.lines = {"任意表示", "画面サイズ", "システム情報"};
    w.EditUpDownStartUp->SetPosition(25);
    w.CheckBoxWallpaper->setChecked(true);
    w.CheckBoxWPSubFolder->setChecked(false);
    w.RadioButtonWPPSpread->setChecked(true);
    w.RadioButtonWPSSeq->setChecked(true);
    addCheckRow(w.CheckListBoxWPList, "/pictures/a.jpg", true);
    addCheckRow(w.CheckListBoxWPList, "/home/zoë/Bilder", false);
    w.ListBoxWPStat.lines = {"1", "0"};
    w.ListBoxWPFile.lines = {"/pictures/a.jpg", "/home/zoë/Bilder"};
    w.CheckBoxMonitorFrame->setChecked(false);
    w.SpeedButtonMFPrb->setChecked(true);
    w.CheckBoxSZ[1]->setChecked(false);
    w.CheckBoxSZ[4]->setChecked(false);
    w.CheckBoxSZFree->setChecked(true);
    w.EditUpDownSZWidth->SetPosition(1000);
    w.EditUpDownSZHeight->SetPosition(700);
    w.EditCmnt->setText(" 試験 = ; \"x\" ");
    w.SelectColorButtonMF->SetColor(0x00FF8000);
    w.SpeedButtonMFFont->SetFont({"IPAGothic", -20, 0x0000FF, kFontItalic | kFontUnderline, 128});
    w.CheckBoxSIUser->setChecked(false);
    w.EditSIUserLabel->setText("");
    w.EditUpDownSIUserLeft->SetPosition(5);
    w.EditUpDownSIUserTop->SetPosition(6);
    w.SpeedButtonSIUserFont->SetFont({"IPAPGothic", -16, 0x00FF00, kFontStrikeOut, 128});
    w.EditSICompLabel->setText("Host:");
    w.EditUpDownSICompLeft->SetPosition(1023);
    w.EditUpDownSIIPAddrTop->SetPosition(767);
    w.CheckBoxFreeMessage->setChecked(true);
    w.RadioButtonFMFile->setChecked(true);
    w.EditFMFile->setText("/home/zoë/message.txt");
    w.MemoFMInput->setPlainText("一行目\n\n  三行目  \n");
    w.EditUpDownFMLineInterval->SetPosition(4);
    w.EditUpDownFMLeft->SetPosition(100);
    w.EditUpDownFMTop->SetPosition(200);
    for (std::size_t column = 0; column < 2; ++column) {
        auto& list = w.FAppExecControls[column];
        addCheckRow(list.checkList, column == 0 ? "/usr/bin/true" : "/bin/echo", column == 0);
        const std::vector<std::string> entry{column == 0 ? "1" : "0",
                                             column == 0 ? "/usr/bin/true" : "/bin/echo",
                                             "--flag \"quoted\"",
                                             "/tmp",
                                             "1",
                                             "0",
                                             "0",
                                             "0",
                                             "1",
                                             "3"};
        for (std::size_t i = 0; i < entry.size(); ++i)
            list.fields[i]->lines = {entry[i]};
    }
}

class MainSettingsTest : public test::MainWindowFixture {};

TEST_F(MainSettingsTest, FirstStartShowsTheFactorySettings) {
    auto o = options(*window);
    EXPECT_EQ(o["Left"], "0");
    EXPECT_EQ(o["Top"], "0");
    EXPECT_EQ(o["DrawTypeOverwrite"] + o["DrawTypeRewrite"], "10");
    EXPECT_EQ(o["DrawSeq"], "画面サイズ;システム情報;任意表示;");
    EXPECT_EQ(o["StartUpWaitSec"], "0");
    EXPECT_EQ(o["WallpaperDraw"] + o["WPSubFolder"], "01");
    EXPECT_EQ(o["WPPCenter"] + o["WPPEnum"] + o["WPPSpread"], "100");
    EXPECT_EQ(o["WPSRandom"] + o["WPSSeq"], "10");
    EXPECT_EQ(o["WPList"], "");
    EXPECT_EQ(o["MonitorFrameDraw"], "1");
    EXPECT_EQ(o["Anchor"], "10000");
    for (int i = 1; i <= 6; ++i)
        EXPECT_EQ(o["MFSZ" + std::to_string(i)], "1");
    EXPECT_EQ(o["MFSZFree"] + o["MFSZFWidth"] + o["MFSZFHeight"] + o["MFSZFCmnt"], "000");
    EXPECT_EQ(o["MFColor"], "16777215");
    EXPECT_EQ(o["MFFont"], "ＭＳ ゴシック/-11/16777215/1");
    EXPECT_EQ(o["SIUser"], "1ログインユーザ名：810,610ＭＳ ゴシック/-12/16777215/1");
    EXPECT_EQ(o["SIComp"], "1コンピュータ名　：810,630ＭＳ ゴシック/-12/16777215/1");
    EXPECT_EQ(o["SIIPAddr"], "1ＩＰアドレス　　：810,650ＭＳ ゴシック/-12/16777215/1");
    EXPECT_EQ(o["FreeMessage"], "001||0,0,0ＭＳ ゴシック/-12/16777215/1");
    EXPECT_EQ(o["AppExec0"], "||||||||||");
    EXPECT_FALSE(applyEnabled());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(std::filesystem::exists(iniPath()));
}

TEST_F(MainSettingsTest, OkOnFirstStartStoresEveryItemButTheDirectOnes) {
    window->ButtonOK->click();
    const std::string text = iniText();
    EXPECT_NE(
        text.find("[Application]\r\nDrawTypeOverwrite=1\r\nDrawTypeRewrite=0\r\n"
                  "DrawSeq_c=5\r\n"
                  "DrawSeq_d0=5450463008544C697374426F780E4C697374426F7844726177536571044C6566\r\n"
                  "DrawSeq_d1=74021003546F7002280557696474680391000648656967687402310A4974656D\r\n"
                  "DrawSeq_d2=486569676874020C0D4974656D732E537472696E677301060A89E696CA835483\r\n"
                  "DrawSeq_d3=438359060C83568358836583808FEE95F10608944388D3955C8EA60008546162\r\n"
                  "DrawSeq_d4=4F726465720200000000\r\n"
                  "StartUpWaitSec=0\r\n"),
        std::string::npos);
    EXPECT_NE(text.find("[System]\r\nLeft=0\r\nTop=0\r\n"), std::string::npos);
    EXPECT_NE(text.find("MFColor=16777215\r\nMFFont_FontName=\x82\x6C\x82\x72 "),
              std::string::npos);
    EXPECT_NE(text.find("SIUserLabel=\x83\x8D\x83\x4F\x83\x43\x83\x93"), std::string::npos);
    EXPECT_NE(text.find("WPStat_c=3\r\n"), std::string::npos) << "empty lists are stored too";
    EXPECT_NE(text.find("AEAWTNoWaitSec_c="), std::string::npos);
    for (const char* direct : {"WPFileDir", "WPFilterIdx", "WPPaintIdx", "FMFileDir", "AEECmdDir",
                               "AEETmpDir", "FMInput_ItemCount"})
        EXPECT_EQ(text.find(direct), std::string::npos) << direct;
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainSettingsTest, EveryOptionSurvivesSaveAndLoad) {
    changeEverything(*window);
    const auto before = options(*window);
    window->ButtonSave->click();
    reopen();
    EXPECT_EQ(options(*window), before);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(applyEnabled());
}

TEST_F(MainSettingsTest, RadioGroupsLoadEachButtonInOrder) {
    writeFile(iniPath(), "[Application]\nDrawTypeOverwrite=1\nDrawTypeRewrite=1\n"
                         "[MonitorFrame]\nMFPositionLT=1\nMFPositionLB=0\nMFPositionRT=0\n"
                         "MFPositionRB=1\nMFPositionCenter=0\n");
    reopen();
    EXPECT_FALSE(window->RadioButtonOverwrite->isChecked());
    EXPECT_TRUE(window->RadioButtonRewrite->isChecked());
    EXPECT_TRUE(window->SpeedButtonMFPrb->isChecked());
    EXPECT_FALSE(window->SpeedButtonMFPlt->isChecked());

    writeFile(iniPath(), "[Application]\nDrawTypeOverwrite=0\nDrawTypeRewrite=0\n"
                         "[MonitorFrame]\nMFPositionLT=0\nMFPositionLB=0\nMFPositionRT=0\n"
                         "MFPositionRB=0\nMFPositionCenter=0\n");
    reopen();
    EXPECT_FALSE(window->RadioButtonOverwrite->isChecked());
    EXPECT_FALSE(window->RadioButtonRewrite->isChecked());
    EXPECT_TRUE(window->SpeedButtonMFPlt->isChecked()) << "one anchor stays down";
}

TEST_F(MainSettingsTest, StoredStatusLinesCheckTheRows) {
    window->ListBoxWPStat.lines = {"1", "0", "$10"};
    window->ListBoxWPFile.lines = {"a.bmp", "b.jpg", "c.jpg"};
    window->SaveSettings();
    reopen();
    EXPECT_EQ(listText(window->CheckListBoxWPList), "[x]a.bmp;[ ]b.jpg;[x]c.jpg;");
}

TEST_F(MainSettingsTest, ABadStatusLineStopsTheLoadWithTheIntegerError) {
    window->ListBoxWPStat.lines = {"1", "yes"};
    window->ListBoxWPFile.lines = {"a.bmp", "b.bmp"};
    window->EditCmnt->setText("after the error");
    window->SaveSettings();
    reopen();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "'yes' は整数ではありません.");
    EXPECT_EQ(messages.shown[0].caption, "ZorbelPaneglyph");
    EXPECT_EQ(window->EditCmnt->text(), "") << "items after the failing one keep their values";
}

TEST_F(MainSettingsTest, AStatusListLongerThanItsPathsIsAnError) {
    window->ListBoxWPStat.lines = {"1", "1"};
    window->ListBoxWPFile.lines = {"a.bmp"};
    window->SaveSettings();
    reopen();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(window->CheckListBoxWPList->count(), 1);
}

TEST_F(MainSettingsTest, ResetAnsweredNoChangesNothing) {
    changeEverything(*window);
    window->SaveSettings();
    const std::string stored = iniText();
    const auto before = options(*window);
    messages.answers.push_back(platform::MessageAnswer::No);
    window->SpeedButtonAllInit->click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(
        messages.shown[0],
        (platform::MessageRequest{
            "ZorbelPaneglyph", "各設定内容をインストール時の状態に戻します。\rよろしいですか？",
            platform::MessageIcon::Question, platform::MessageButtons::YesNo}));
    EXPECT_EQ(options(*window), before);
    EXPECT_EQ(iniText(), stored);
}

TEST_F(MainSettingsTest, ResetRestoresTheFactoryStateAndCancelLeavesNoFile) {
    const auto factory = options(*window);
    changeEverything(*window);
    window->SaveSettings();
    window->RegManager.ItemFiler("WPFileDir").WriteString("/pictures/");
    messages.answers.push_back(platform::MessageAnswer::Yes);
    window->SpeedButtonAllInit->click();
    EXPECT_FALSE(std::filesystem::exists(iniPath()));
    EXPECT_EQ(options(*window), factory);
    EXPECT_FALSE(applyEnabled());
    EXPECT_EQ(window->RegManager.ItemFiler("WPFileDir").ReadString(), "");
    window->ButtonCancel->click();
    EXPECT_FALSE(std::filesystem::exists(iniPath()));
    reopen();
    EXPECT_EQ(options(*window), factory);
}

TEST_F(MainSettingsTest, ResetKeepsTheStartupShortcut) {
    const std::string link = files().startUpLink;
    std::filesystem::create_directories(std::filesystem::path(link).parent_path());
    writeFile(link, "[Desktop Entry]\n");
    messages.answers.push_back(platform::MessageAnswer::Yes);
    window->SpeedButtonAllInit->click();
    EXPECT_TRUE(std::filesystem::exists(link));
    EXPECT_EQ(window->SpeedButtonStartUp->text(), "解除");
}

TEST_F(MainSettingsTest, ApplyClearsTheChangedStateAndOkSavesAlways) {
    window->EditCmnt->setText("x");
    EXPECT_TRUE(applyEnabled());
    window->ButtonSave->click();
    EXPECT_FALSE(applyEnabled());
    EXPECT_NE(iniText().find("MFSZFCmnt=x\r\n"), std::string::npos);
    window->EditCmnt->setText("y");
    EXPECT_TRUE(applyEnabled());

    reopen();
    std::filesystem::remove(iniPath());
    window->ButtonOK->click(); // nothing changed, stored all the same
    EXPECT_NE(iniText().find("MFSZFCmnt=x\r\n"), std::string::npos);
}

TEST_F(MainSettingsTest, AFailedSaveKeepsTheWindowOpenAndApplyEnabled) {
    window->SaveSettings();
    ::chmod(iniPath().c_str(), 0444);
    window->show();
    window->EditCmnt->setText("lost");
    window->ButtonOK->click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, iniPath() + " に書き込めません.");
    EXPECT_EQ(messages.shown[0].icon, platform::MessageIcon::Error);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(applyEnabled());
}

TEST_F(MainSettingsTest, AStoredPositionOutsideADisabledLineIsKept) {
    writeFile(iniPath(), "[SystemInfo]\nSIUserDraw=0\nSIUserLeft=810\n");
    reopen();
    EXPECT_EQ(window->EditUpDownSIUserLeft->Position(), 810);
    EXPECT_FALSE(window->EditUpDownSIUserLeft->isEnabled());
    window->SaveSettings();
    EXPECT_NE(iniText().find("SIUserLeft=810\n"), std::string::npos);
}

TEST_F(MainSettingsTest, MemoLinesKeepEmptyAndBlankLines) {
    window->MemoFMInput->setPlainText("a\n\n  c  ");
    window->SaveSettings();
    EXPECT_NE(iniText().find("FMInput_ItemCount=3\r\nFMInput_Item0=a\r\nFMInput_Item1=\r\n"
                             "FMInput_Item2=\"  c  \"\r\n"),
              std::string::npos);
    reopen();
    EXPECT_EQ(window->MemoFMInput->toPlainText(), "a\n\n  c  \n");
}

} // namespace
} // namespace zbpg

#include "controls/OpenDialogEx.h"

#include "support/RecordingDialogService.h"

#include <gtest/gtest.h>

using zbpg::TOpenDialogEx;
using zbpg::platform::FileDialogResult;
using zbpg::platform::FileFilter;

namespace {

class OpenDialogExTest : public ::testing::Test {
protected:
    zbpg::test::RecordingDialogService dialogs;
    TOpenDialogEx dialog;
};

// What a placement handler saw on each call.
struct PlacementCall {
    QObject* sender;
    int left;
    int top;
    int width;
    int height;
};

TEST_F(OpenDialogExTest, ExecutePassesItsSettingsToTheService) {
    dialog.Title = "画像を開く";
    dialog.Filter = "ビットマップファイル(*.bmp)|*.bmp|すべてのファイル(*.*)|*.*";
    dialog.FilterIndex = 2;
    dialog.InitialDir = "/home/someone/画像";
    dialog.FileName = "a.bmp";
    dialog.AllowMultiSelect = true;
    dialog.FileMustExist = true;
    EXPECT_FALSE(dialog.Execute()) << "cancelled";

    ASSERT_EQ(dialogs.fileRequests.size(), 1u);
    const auto& request = dialogs.fileRequests[0];
    EXPECT_EQ(request.title, "画像を開く");
    const std::vector<FileFilter> filters{{"ビットマップファイル(*.bmp)", "*.bmp"},
                                          {"すべてのファイル(*.*)", "*.*"}};
    EXPECT_EQ(request.filters, filters);
    EXPECT_EQ(request.filterIndex, 2);
    EXPECT_EQ(request.initialFolder, "/home/someone/画像");
    EXPECT_EQ(request.fileName, "a.bmp");
    EXPECT_TRUE(request.multiSelect);
    EXPECT_TRUE(request.fileMustExist);
}

TEST_F(OpenDialogExTest, DefaultsAskForASingleFileAtTheFirstFilter) {
    EXPECT_FALSE(dialog.Execute()) << "cancelled";
    ASSERT_EQ(dialogs.fileRequests.size(), 1u);
    EXPECT_EQ(dialogs.fileRequests[0].filterIndex, 1);
    EXPECT_FALSE(dialogs.fileRequests[0].multiSelect);
    EXPECT_FALSE(dialogs.fileRequests[0].fileMustExist);
    EXPECT_TRUE(dialogs.fileRequests[0].filters.empty());
}

// --- placement ------------------------------------------------------------------------------

TEST_F(OpenDialogExTest, WithoutHandlerNoPlacementIsAsked) {
    EXPECT_FALSE(dialog.Execute()) << "cancelled";
    ASSERT_EQ(dialogs.fileRequests.size(), 1u);
    EXPECT_FALSE(dialogs.fileRequests[0].placement);
    EXPECT_EQ(dialogs.placedAt, std::make_pair(-1, -1));
}

TEST_F(OpenDialogExTest, HandlerLeavingThePositionKeepsTheProposedOne) {
    dialogs.proposedLeft = 123;
    dialogs.proposedTop = 45;
    std::vector<PlacementCall> calls;
    dialog.OnSetLeftTop = [&](QObject* sender, int& left, int& top, int width, int height) {
        calls.push_back({sender, left, top, width, height});
    };
    EXPECT_FALSE(dialog.Execute()) << "cancelled";
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].sender, &dialog);
    EXPECT_EQ(calls[0].left, 123);
    EXPECT_EQ(calls[0].top, 45);
    EXPECT_EQ(dialogs.placedAt, std::make_pair(123, 45));
}

TEST_F(OpenDialogExTest, HandlerMovingTheDialogIsHonouredAndSeesItsSize) {
    std::vector<PlacementCall> calls;
    dialog.OnSetLeftTop = [&](QObject* sender, int& left, int& top, int width, int height) {
        calls.push_back({sender, left, top, width, height});
        left = 1024 - width;
        top = -5;
    };
    EXPECT_FALSE(dialog.Execute()) << "cancelled";
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].width, 400);
    EXPECT_EQ(calls[0].height, 300);
    EXPECT_EQ(dialogs.placedAt, std::make_pair(624, -5));
}

TEST_F(OpenDialogExTest, EveryRunAsksTheHandlerOnce) {
    int calls = 0;
    dialog.OnSetLeftTop = [&](QObject*, int& left, int&, int, int) {
        ++calls;
        left += 10;
    };
    EXPECT_FALSE(dialog.Execute()) << "cancelled";
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(dialogs.placedAt.first, 110);
    EXPECT_FALSE(dialog.Execute()) << "cancelled";
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(dialogs.fileRequests.size(), 2u);
    EXPECT_EQ(dialogs.placedAt.first, 110) << "each run starts from the proposed place again";
}

// --- results --------------------------------------------------------------------------------

TEST_F(OpenDialogExTest, ConfirmedRunTakesFilesFileNameAndFilterIndex) {
    dialog.Filter = "ビットマップファイル(*.bmp)|*.bmp|すべてのファイル(*.*)|*.*";
    dialog.AllowMultiSelect = true;
    dialogs.fileAnswers.push_back(FileDialogResult{{"/pics/b.bmp", "/pics/a.bmp"}, 2});
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.Files, (std::vector<std::string>{"/pics/b.bmp", "/pics/a.bmp"}));
    EXPECT_EQ(dialog.FileName, "/pics/b.bmp");
    EXPECT_EQ(dialog.FilterIndex, 2);
}

TEST_F(OpenDialogExTest, CancelledRunReturnsFalseAndKeepsThePreviousChoice) {
    dialogs.fileAnswers.push_back(FileDialogResult{{"/pics/first.bmp"}, 1});
    ASSERT_TRUE(dialog.Execute());
    dialog.FilterIndex = 2;

    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.Files, std::vector<std::string>{"/pics/first.bmp"});
    EXPECT_EQ(dialog.FileName, "/pics/first.bmp");
    EXPECT_EQ(dialog.FilterIndex, 2);
    EXPECT_EQ(dialogs.fileRequests.size(), 2u);
    EXPECT_EQ(dialogs.fileRequests[1].fileName, "/pics/first.bmp")
        << "the next run starts at the last choice";
}

TEST_F(OpenDialogExTest, ConfirmationWithoutFilesCountsAsCancel) {
    dialog.Files = {"/keep.bmp"};
    dialogs.fileAnswers.push_back(FileDialogResult{{}, 2});
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.Files, std::vector<std::string>{"/keep.bmp"});
    EXPECT_EQ(dialog.FilterIndex, 1);
}

} // namespace

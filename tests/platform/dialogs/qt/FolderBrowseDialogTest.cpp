#include "platform/dialogs/qt/FolderBrowseDialog.h"

#include "support/TempFolder.h"

#include <QLabel>
#include <QTest>
#include <QTreeView>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace zbpg::platform {
namespace {

class FolderBrowseDialogTest : public ::testing::Test {
protected:
    FolderBrowseDialogTest() {
        ::mkdir(folder.file("写真").c_str(), 0755);
        ::mkdir(folder.file("写真/.隠し").c_str(), 0755);
    }
    test::TempFolder folder;
    std::vector<std::string> told;
};

TEST_F(FolderBrowseDialogTest, OpensAtTheInitialFolderAndTellsTheHandler) {
    FolderDialogRequest request;
    request.rootFolder = folder.path();
    request.initialFolder = folder.file("写真/.隠し");
    request.statusLine = true;
    request.selectionChanged = [&](const std::string& path, std::string& status,
                                   OkButtonState& ok) {
        told.push_back(path);
        status = "→ " + path;
        ok =
            path.find("/.") == std::string::npos ? OkButtonState::Enabled : OkButtonState::Disabled;
    };
    FolderBrowseDialog dialog(request);
    EXPECT_EQ(dialog.selectedFolder(), folder.file("写真/.隠し")) << "hidden folders are offered";
    EXPECT_EQ(told, std::vector<std::string>{folder.file("写真/.隠し")});
    EXPECT_EQ(dialog.statusText(), "→ " + folder.file("写真/.隠し"));
    EXPECT_FALSE(dialog.okEnabled()) << "the handler disabled OK";

    ASSERT_TRUE(dialog.selectFolder(folder.file("写真")));
    EXPECT_EQ(told.back(), folder.file("写真"));
    EXPECT_TRUE(dialog.okEnabled());
}

TEST_F(FolderBrowseDialogTest, AFolderOutsideTheRootIsNotSelectedAndOneBelowCanBeChosen) {
    FolderDialogRequest request;
    request.rootFolder = folder.file("写真");
    request.initialFolder = "/usr";
    FolderBrowseDialog dialog(request);
    EXPECT_EQ(dialog.selectedFolder(), "");
    EXPECT_FALSE(dialog.okEnabled()) << "nothing to choose";
    EXPECT_FALSE(dialog.selectFolder(folder.path())) << "the root's own parent";
    ASSERT_TRUE(dialog.selectFolder(folder.file("写真/.隠し")));
    EXPECT_TRUE(dialog.okEnabled()) << "a folder selected after none";
}

// The initial folder stays in view while the folders sorted above it are read.
TEST_F(FolderBrowseDialogTest, ADeepInitialFolderStaysInView) {
    const std::string deep = folder.path() + "/a/b/c/d";
    std::filesystem::create_directories(deep + "/f99");
    FolderDialogRequest request;
    request.rootFolder = folder.path();
    request.initialFolder = deep + "/f99";
    FolderBrowseDialog dialog(request);
    dialog.show();
    const auto& tree = *dialog.findChild<QTreeView*>();
    const auto inViewAtRow = [&](int row) {
        return QTest::qWaitFor([&] {
            return tree.currentIndex().row() == row &&
                   tree.viewport()->rect().contains(tree.visualRect(tree.currentIndex()));
        });
    };
    ASSERT_TRUE(inViewAtRow(0));
    for (int i = 10; i < 50; ++i)
        ::mkdir((deep + "/f" + std::to_string(i)).c_str(), 0755);
    EXPECT_TRUE(inViewAtRow(40));
}

} // namespace
} // namespace zbpg::platform

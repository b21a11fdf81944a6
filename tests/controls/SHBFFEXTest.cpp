#include "controls/SHBFFEX.h"

#include "support/RecordingDialogService.h"
#include "support/TempFolder.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zbpg {
namespace {

using platform::OkButtonState;

class SHBFFEXTest : public ::testing::Test {
protected:
    test::RecordingDialogService dialogs;
    test::TempFolder folder;
    TSHBrowseForFolderEx chooser;
};

TEST_F(SHBFFEXTest, AManualFolderIsSelectedOnlyWhenItIsAFolder) {
    test::writeFile(folder.file("a.txt"), "x");
    const std::pair<std::string, std::string> cases[] = {{folder.path(), folder.path()},
                                                         {folder.file("a.txt"), "/"},
                                                         {"", "/"},
                                                         {folder.file("missing"), "/"}};
    chooser.SelectFolder = sfManual;
    for (const auto& [name, selected] : cases) {
        chooser.SelectFolderName = name;
        (void)chooser.Execute();
        EXPECT_EQ(dialogs.folderRequests.back().initialFolder, selected) << name;
        EXPECT_EQ(dialogs.folderRequests.back().rootFolder, "/") << "rfDesktop by default";
    }
}

TEST_F(SHBFFEXTest, SpecialFoldersAreTheUsersXdgFolders) {
    const std::string config = std::getenv("XDG_CONFIG_HOME");
    ::mkdir(config.c_str(), 0700);
    test::writeFile(config + "/user-dirs.dirs",
                    "# written by a tool\nXDG_DESKTOP_DIR=\"$HOME/デスクトップ\"\n"
                    "XDG_TEMPLATES_DIR=\"/srv/ひな形\"\n");
    const std::string home = std::getenv("HOME");
    EXPECT_EQ(specialFolderPath(sfDrives), "/");
    EXPECT_EQ(specialFolderPath(sfDesktopDir), home + "/デスクトップ");
    EXPECT_EQ(specialFolderPath(sfTemplates), "/srv/ひな形");
    EXPECT_EQ(specialFolderPath(sfStartup), config + "/autostart");
    ::unlink((config + "/user-dirs.dirs").c_str());
    EXPECT_EQ(specialFolderPath(sfDesktopDir), home + "/Desktop") << "the usual place";
}

TEST_F(SHBFFEXTest, AChoiceGivesItsPathAndNameAndACancelLeavesBothEmpty) {
    dialogs.folderAnswers = {folder.path(), std::nullopt};
    ASSERT_TRUE(chooser.Execute());
    EXPECT_EQ(chooser.FolderPath(), folder.path());
    EXPECT_EQ(chooser.DisplayName(), folder.path().substr(folder.path().rfind('/') + 1));
    EXPECT_FALSE(chooser.Execute());
    EXPECT_EQ(chooser.FolderPath(), "");
    EXPECT_EQ(chooser.DisplayName(), "");
}

TEST_F(SHBFFEXTest, TheHandlerSetsStatusAndOkAndShowPathPutsThePathOnTheStatusLine) {
    dialogs.folderAnswers = {"/srv", "/srv"};
    QObject* sender = nullptr;
    chooser.OnSelectionChanged = [&](QObject* from, const std::string& path, std::string& text,
                                     TOKButtonState& ok) {
        sender = from;
        text = "見ている: " + path;
        ok = OkButtonState::Disabled;
    };
    chooser.Options = {sboStatusText};
    (void)chooser.Execute();
    EXPECT_TRUE(dialogs.folderRequests.back().statusLine);
    EXPECT_EQ(dialogs.folderStatus, "見ている: /srv");
    EXPECT_EQ(dialogs.folderOk, OkButtonState::Disabled);
    EXPECT_EQ(sender, &chooser);

    chooser.Options = {sboStatusTextAndShowPath};
    (void)chooser.Execute();
    EXPECT_EQ(dialogs.folderStatus, "/srv") << "the path wins over the handler's text";
    chooser.Options = {};
    (void)chooser.Execute();
    EXPECT_FALSE(dialogs.folderRequests.back().statusLine);
}

TEST_F(SHBFFEXTest, PlacementFollowsTheShowStyle) {
    QWidget owner;
    owner.setGeometry(100, 100, 300, 200);
    TSHBrowseForFolderEx placed(&owner);
    (void)placed.Execute();
    EXPECT_EQ(dialogs.placedAt, std::pair(100, 100)) << "ssClient: over the owner's client area";

    placed.ShowStyle = ssCenterScreen;
    (void)placed.Execute();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(dialogs.placedAt, std::pair((area.width() - 400) / 2, (area.height() - 300) / 3));

    placed.ShowStyle = ssNone;
    dialogs.placedAt = {-1, -1};
    (void)placed.Execute();
    EXPECT_EQ(dialogs.placedAt, std::pair(-1, -1)) << "left where the platform puts it";
}

} // namespace
} // namespace zbpg

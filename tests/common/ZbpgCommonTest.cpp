#include "common/zbpg_common.h"
#include "platform/Registry.h"
#include "settings/Schema.h"
#include "support/TempFolder.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>

namespace zbpg {
namespace {

TEST(ZbpgCommon, PathKindTellsFoldersFilesAndNothing) {
    test::TempFolder folder;
    test::writeFile(folder.file("a.txt"), "x");
    EXPECT_EQ(GetPathKind(folder.path()), pkFolder);
    EXPECT_EQ(GetPathKind(folder.file("a.txt")), pkFile);
    EXPECT_EQ(GetPathKind(folder.file("missing")), pkNothing);
    EXPECT_EQ(GetPathKind(""), pkNothing);
}

TEST(ZbpgCommon, PathPartsKeepTheFinalSeparator) {
    EXPECT_EQ(ExtractFileDir("/home/u/msg.txt"), "/home/u/");
    EXPECT_EQ(ExtractFileDir("/msg.txt"), "/");
    EXPECT_EQ(ExtractFileDir("msg.txt"), "");
    EXPECT_EQ(ChangeFileExt("/opt/ZorbelPaneglyph", ".ini"), "/opt/ZorbelPaneglyph.ini");
    EXPECT_EQ(ChangeFileExt("/opt/zp.bin", ".ini"), "/opt/zp.ini");
    EXPECT_EQ(ChangeFileExt("/op.t/zp", ".ini"), "/op.t/zp.ini") << "a dot in a folder name";
}

TEST(ZbpgCommon, StartupFolderIsSeededWithTheAutostartFolderOnce) {
    const std::string autostart = std::string(std::getenv("XDG_CONFIG_HOME")) + "/autostart";
    EXPECT_EQ(GetStartupFolder(), autostart);
    const auto registry = platform::Registry::currentUser();
    const char* key = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    ASSERT_TRUE(registry.writeValue(key, "Startup", platform::RegValue::string("/elsewhere")));
    EXPECT_EQ(GetStartupFolder(), "/elsewhere") << "a value the user set is kept";
}

TEST(Schema, HasTheEightyThreeItemsWithTheirKeys) {
    TRegItems items;
    fillSettingsSchema(items);
    ASSERT_EQ(items.Count(), 83);
    std::set<std::string> names;
    for (int i = 0; i < items.Count(); ++i) {
        EXPECT_EQ(items.Items(i).Name, items.Items(i).Ident);
        names.insert(items.Items(i).Name);
    }
    EXPECT_EQ(names.size(), 83u);
    EXPECT_EQ(items.Items(0).Name, "Left");
    EXPECT_EQ(items.Items(82).Name, "AEAWTNoWaitSec");
    EXPECT_EQ(items.FindItem("SIUserLeft")->DefaultValue, "810");
    EXPECT_EQ(items.FindItem("WPPaintIdx")->DefaultValue, "-1");
    int direct = 0;
    for (const auto& name : names)
        direct += isDirectSettingsItem(name) ? 1 : 0;
    EXPECT_EQ(direct, 6);
    EXPECT_TRUE(isDirectSettingsItem("fmfiledir"));
}

} // namespace
} // namespace zbpg

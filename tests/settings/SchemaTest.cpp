#include "settings/Schema.h"

#include <gtest/gtest.h>
#include <set>

namespace zbpg {
namespace {

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
}

} // namespace
} // namespace zbpg

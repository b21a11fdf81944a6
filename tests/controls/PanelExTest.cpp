#include "controls/PanelEx.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <gtest/gtest.h>

namespace zbpg {
namespace {

TEST(PanelEx, StartsEnabledWithoutAFrame) {
    TPanelEx panel;
    EXPECT_TRUE(panel.Enabled());
    EXPECT_EQ(panel.frameShape(), QFrame::NoFrame);
    EXPECT_FALSE(panel.UpdateParent());
}

TEST(PanelEx, DisablingReachesRadiosInsideAGroupBox) {
    TPanelEx panel;
    auto* group = new QGroupBox("Mode", &panel);
    auto* first = new QRadioButton("A", group);
    auto* second = new QRadioButton("B", group);
    panel.SetEnabled(false);
    EXPECT_FALSE(panel.Enabled());
    EXPECT_FALSE(group->isEnabled());
    for (QRadioButton* radio : {first, second}) {
        EXPECT_FALSE(radio->isEnabled());
        EXPECT_TRUE(radio->testAttribute(Qt::WA_Disabled));
        // Set on the radio itself, not only inherited from the panel.
        EXPECT_TRUE(radio->testAttribute(Qt::WA_ForceDisabled));
    }
}

TEST(PanelEx, EnablingAgainEnablesSeparatelyDisabledDescendants) {
    TPanelEx outer;
    auto* frame = new QFrame(&outer);
    auto* inner = new TPanelEx(frame);
    auto* edit = new QLineEdit(inner);
    auto* plain = new QWidget(&outer);
    auto* deep = new QLineEdit(plain);
    inner->SetEnabled(false);
    deep->setEnabled(false);
    ASSERT_FALSE(edit->isEnabled());

    outer.SetEnabled(false);
    outer.SetEnabled(true);
    EXPECT_TRUE(frame->isEnabled());
    EXPECT_TRUE(inner->Enabled());
    EXPECT_TRUE(inner->isEnabled());
    EXPECT_TRUE(edit->isEnabled());
    EXPECT_TRUE(deep->isEnabled());
}

TEST(PanelEx, SettingTheCurrentValueChangesNothing) {
    TPanelEx panel;
    auto* edit = new QLineEdit(&panel);
    edit->setEnabled(false);
    panel.SetEnabled(true);
    EXPECT_FALSE(edit->isEnabled());

    panel.SetEnabled(false);
    edit->setEnabled(true); // has no effect while the panel is disabled, but is remembered
    panel.SetEnabled(false);
    EXPECT_FALSE(edit->testAttribute(Qt::WA_ForceDisabled));
}

TEST(PanelEx, UpdateParentDisablesTheParentToo) {
    QWidget parent;
    auto* sibling = new QLineEdit(&parent);
    auto* panel = new TPanelEx(&parent);
    panel->SetUpdateParent(true);
    panel->SetEnabled(false);
    EXPECT_FALSE(parent.isEnabled());
    EXPECT_FALSE(sibling->isEnabled());
    panel->SetEnabled(true);
    EXPECT_TRUE(parent.isEnabled());
    EXPECT_TRUE(panel->isEnabled());
}

TEST(PanelEx, WithoutUpdateParentTheParentStays) {
    QWidget parent;
    auto* panel = new TPanelEx(&parent);
    panel->SetEnabled(false);
    EXPECT_TRUE(parent.isEnabled());
    EXPECT_FALSE(panel->isEnabled());
}

TEST(PanelEx, ChildrenOfOtherControlsAreNotVisited) {
    TPanelEx panel;
    auto* edit = new QLineEdit(&panel);
    auto* part = new QWidget(edit);
    part->setEnabled(false);
    panel.SetEnabled(false);
    panel.SetEnabled(true);
    EXPECT_TRUE(edit->isEnabled());
    EXPECT_FALSE(part->isEnabled());
    EXPECT_TRUE(part->testAttribute(Qt::WA_ForceDisabled));
}

TEST(PanelEx, ClassesDerivedFromFrameAreControlsNotContainers) {
    TPanelEx panel;
    auto* label = new QLabel("Name", &panel);
    auto* inLabel = new QWidget(label);
    auto* frame = new QFrame(&panel);
    auto* inFrame = new QWidget(frame);
    inLabel->setEnabled(false);
    inFrame->setEnabled(false);
    panel.SetEnabled(false);
    panel.SetEnabled(true);
    EXPECT_TRUE(label->isEnabled());
    EXPECT_FALSE(inLabel->isEnabled());
    EXPECT_TRUE(inFrame->isEnabled());
}

TEST(PanelEx, OwnStateIgnoresADisabledParent) {
    QWidget parent;
    auto* panel = new TPanelEx(&parent);
    parent.setEnabled(false);
    EXPECT_FALSE(panel->isEnabled());
    EXPECT_TRUE(panel->Enabled());
    // Disabling the panel while its parent is disabled keeps it disabled afterwards.
    panel->SetEnabled(false);
    parent.setEnabled(true);
    EXPECT_FALSE(panel->isEnabled());
}

} // namespace
} // namespace zbpg

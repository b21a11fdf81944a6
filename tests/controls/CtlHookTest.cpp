#include "controls/CTLHOOK.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace zbpg {
namespace {

// Exposes the hook mechanism itself: records handle changes and may swallow key presses.
class ProbeHook final : public TControlHook {
public:
    using TControlHook::SetTarget;
    std::vector<int> reasons;
    bool swallowKeys = false;

protected:
    void HookHandleChanged(int reason) override { reasons.push_back(reason); }
    bool HookMessage(QObject* watched, QEvent* event) override {
        if (swallowKeys && event->type() == QEvent::KeyPress)
            return true;
        return TControlHook::HookMessage(watched, event);
    }
};

// A line edit whose native window can be dropped and re-created.
class NativeLineEdit final : public QLineEdit {
public:
    using QWidget::create;
    using QWidget::destroy;
};

TEST(ControlHook, ControlDestroyedReportsHandleLoss) {
    auto* list = new QListWidget;
    ProbeHook hook;
    hook.SetControl(list);
    ASSERT_EQ(hook.HookedControl(), list);
    delete list;
    EXPECT_EQ(hook.HookedControl(), nullptr);
    ASSERT_FALSE(hook.reasons.empty());
    EXPECT_EQ(hook.reasons.back(), 1);
}

TEST(ControlHook, ConsumedEventsDoNotReachTheControl) {
    QLineEdit edit;
    ProbeHook hook;
    hook.SetControl(&edit);
    hook.swallowKeys = true;
    QTest::keyClicks(&edit, "ab");
    EXPECT_EQ(edit.text(), QString());
    hook.swallowKeys = false;
    QTest::keyClicks(&edit, "cd");
    EXPECT_EQ(edit.text(), QString("cd"));
}

TEST(ControlHook, RemovedHookSeesNothing) {
    QLineEdit edit;
    auto hook = std::make_unique<ProbeHook>();
    hook->SetControl(&edit);
    hook->swallowKeys = true;
    hook->SetControl(nullptr);
    QTest::keyClicks(&edit, "ab");
    EXPECT_EQ(edit.text(), QString("ab"));

    hook->SetControl(&edit);
    hook.reset();
    QTest::keyClicks(&edit, "c");
    EXPECT_EQ(edit.text(), QString("abc"));
}

TEST(ControlHook, ReportsNativeWindowLossAndRecreation) {
    NativeLineEdit edit;
    ProbeHook hook;
    hook.SetControl(&edit);
    ASSERT_TRUE(hook.reasons.empty());
    edit.winId();
    ASSERT_FALSE(hook.reasons.empty());
    EXPECT_EQ(hook.reasons.back(), 2);
    edit.destroy();
    EXPECT_EQ(hook.reasons.back(), 1);
    edit.create();
    EXPECT_EQ(hook.reasons.back(), 2);
}

} // namespace
} // namespace zbpg

#include "controls/DROPDST.h"

#include "base/Error.h"
#include "support/RecordingMessageService.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>

namespace zbpg {
namespace {

struct DropRecord {
    QObject* sender = nullptr;
    std::vector<std::string> files;
    int x = 0;
    int y = 0;
};

// A drop target whose reports land in `drops`.
struct RecordingDropDst {
    explicit RecordingDropDst(QObject* owner = nullptr) : hook(owner) {
        hook.OnFileDrop = [this](QObject* sender, const std::vector<std::string>& files, int x,
                                 int y) {
            drops.push_back({sender, files, x, y});
        };
    }
    TDropDst hook;
    std::vector<DropRecord> drops;
};

std::unique_ptr<QMimeData> fileData(const std::vector<QString>& paths) {
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const auto& path : paths)
        urls.push_back(QUrl::fromLocalFile(path));
    data->setUrls(urls);
    return data;
}

// Each returns whether the receiver accepted the event.
bool sendDragEnter(QWidget* receiver, const QMimeData& data, QPoint pos) {
    QDragEnterEvent event(pos, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(receiver, &event);
    return event.isAccepted();
}

bool sendDragMove(QWidget* receiver, const QMimeData& data, QPoint pos) {
    QDragMoveEvent event(pos, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(receiver, &event);
    return event.isAccepted();
}

bool sendDrop(QWidget* receiver, const QMimeData& data, QPoint pos) {
    QDropEvent event(QPointF(pos), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(receiver, &event);
    return event.isAccepted();
}

// A whole drag: enter, one move, drop. Returns whether the drop was accepted.
bool dragAndDrop(QWidget* receiver, const QMimeData& data, QPoint pos) {
    if (!sendDragEnter(receiver, data, pos) || !sendDragMove(receiver, data, pos))
        return false;
    return sendDrop(receiver, data, pos);
}

TEST(DropDst, ReportsFilesInOrderWithDropPoint) {
    QLineEdit edit;
    RecordingDropDst target;
    target.hook.SetControl(&edit);
    const auto data = fileData({"/home/user/a.txt", "/home/user/写真/b.jpg", "/tmp/c"});
    EXPECT_TRUE(dragAndDrop(&edit, *data, QPoint(7, 5)));
    ASSERT_EQ(target.drops.size(), 1u);
    EXPECT_EQ(target.drops[0].sender, &target.hook);
    EXPECT_EQ(target.drops[0].files,
              (std::vector<std::string>{"/home/user/a.txt", "/home/user/写真/b.jpg", "/tmp/c"}));
    EXPECT_EQ(target.drops[0].x, 7);
    EXPECT_EQ(target.drops[0].y, 5);
    EXPECT_EQ(edit.text(), QString()) << "the control must not insert the dropped URLs";
}

TEST(DropDst, ReportsFoldersWithoutTrailingSlash) {
    QLineEdit edit;
    RecordingDropDst target;
    target.hook.SetControl(&edit);
    const auto data = fileData({"/home/user/folder/", "/home/user/other"});
    ASSERT_TRUE(dragAndDrop(&edit, *data, QPoint(1, 1)));
    ASSERT_EQ(target.drops.size(), 1u);
    EXPECT_EQ(target.drops[0].files,
              (std::vector<std::string>{"/home/user/folder", "/home/user/other"}));
}

TEST(DropDst, LeavesOutUrlsThatAreNoLocalFiles) {
    QLineEdit edit;
    RecordingDropDst target;
    target.hook.SetControl(&edit);
    QMimeData data;
    data.setUrls({QUrl("https://example.org/x.txt"), QUrl::fromLocalFile("/srv/y.txt")});
    ASSERT_TRUE(dragAndDrop(&edit, data, QPoint(2, 3)));
    ASSERT_EQ(target.drops.size(), 1u);
    EXPECT_EQ(target.drops[0].files, (std::vector<std::string>{"/srv/y.txt"}));

    QMimeData remoteOnly;
    remoteOnly.setUrls({QUrl("https://example.org/x.txt")});
    EXPECT_FALSE(sendDragEnter(&edit, remoteOnly, QPoint(2, 3)));
}

TEST(DropDst, ListDropPointIsInListCoordinates) {
    QListWidget list;
    list.resize(200, 150);
    RecordingDropDst target;
    ASSERT_FALSE(list.viewport()->acceptDrops());
    target.hook.SetControl(&list);
    EXPECT_TRUE(list.acceptDrops());
    EXPECT_TRUE(list.viewport()->acceptDrops()) << "registered as soon as the control is set";

    const QPoint offset = list.viewport()->mapTo(&list, QPoint(0, 0));
    ASSERT_NE(offset, QPoint(0, 0)) << "the frame must shift the viewport for this test";
    const auto data = fileData({"/data/list.csv"});
    ASSERT_TRUE(dragAndDrop(list.viewport(), *data, QPoint(10, 20)));
    ASSERT_EQ(target.drops.size(), 1u);
    EXPECT_EQ(target.drops[0].files, (std::vector<std::string>{"/data/list.csv"}));
    EXPECT_EQ(target.drops[0].x, 10 + offset.x());
    EXPECT_EQ(target.drops[0].y, 20 + offset.y());
}

TEST(DropDst, AcceptDropFalseRefusesUntilSwitchedBack) {
    QLineEdit edit;
    RecordingDropDst target;
    target.hook.SetControl(&edit);
    target.hook.SetAcceptDrop(false);
    EXPECT_FALSE(target.hook.AcceptDrop());
    EXPECT_FALSE(edit.acceptDrops());
    const auto data = fileData({"/home/user/a.txt"});
    EXPECT_FALSE(sendDragEnter(&edit, *data, QPoint(3, 3)));
    EXPECT_FALSE(sendDragMove(&edit, *data, QPoint(3, 3)));
    sendDrop(&edit, *data, QPoint(3, 3));
    EXPECT_TRUE(target.drops.empty());

    target.hook.SetAcceptDrop(true);
    EXPECT_TRUE(edit.acceptDrops());
    EXPECT_TRUE(sendDragEnter(&edit, *data, QPoint(3, 3)));
    EXPECT_TRUE(sendDrop(&edit, *data, QPoint(3, 3)));
    EXPECT_EQ(target.drops.size(), 1u);
}

TEST(DropDst, AcceptDropFalseBeforeControlIsSetAppliesToIt) {
    QListWidget list;
    TDropDst hook;
    hook.SetAcceptDrop(false);
    list.setAcceptDrops(true);
    hook.SetControl(&list);
    EXPECT_FALSE(list.acceptDrops());
    EXPECT_FALSE(list.viewport()->acceptDrops());
}

TEST(DropDst, RefusesPlainTextDrags) {
    QLineEdit edit;
    RecordingDropDst target;
    target.hook.SetControl(&edit);
    QMimeData text;
    text.setText("hello");
    EXPECT_FALSE(sendDragEnter(&edit, text, QPoint(3, 3)));
    EXPECT_FALSE(sendDragMove(&edit, text, QPoint(3, 3)));
    EXPECT_FALSE(sendDrop(&edit, text, QPoint(3, 3)));
    EXPECT_TRUE(target.drops.empty());
    EXPECT_EQ(edit.text(), QString()) << "a refused drop must not reach the line edit";
}

TEST(DropDst, HandlerErrorIsReportedAndProgramGoesOn) {
    test::RecordingMessageService messages;
    QLineEdit edit;
    TDropDst hook;
    hook.SetControl(&edit);
    int calls = 0;
    hook.OnFileDrop = [&calls](QObject*, const std::vector<std::string>&, int, int) {
        if (++calls == 1)
            throw Error("x");
    };
    const auto data = fileData({"/home/user/a.txt"});
    EXPECT_TRUE(dragAndDrop(&edit, *data, QPoint(1, 1)));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "x.");
    EXPECT_EQ(messages.shown[0].caption, "ZorbelPaneglyph");
    EXPECT_EQ(messages.shown[0].icon, platform::MessageIcon::Error);

    EXPECT_TRUE(dragAndDrop(&edit, *data, QPoint(1, 1)));
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(messages.shown.size(), 1u);
}

TEST(DropDst, ControlDestroyedFirstLeavesTargetInert) {
    auto* edit = new QLineEdit;
    auto target = std::make_unique<RecordingDropDst>();
    target->hook.SetControl(edit);
    ASSERT_EQ(target->hook.HookedControl(), edit);
    delete edit;
    EXPECT_EQ(target->hook.HookedControl(), nullptr);
    EXPECT_EQ(target->hook.Control(), nullptr);
    target->hook.SetAcceptDrop(false);
    target->hook.SetAcceptDrop(true);
    EXPECT_TRUE(target->drops.empty());
    target.reset();
    SUCCEED() << "destroying the hook after its control did not crash";
}

TEST(DropDst, SetControlMovesTheHook) {
    QLineEdit first;
    QLineEdit second;
    RecordingDropDst target;
    target.hook.SetControl(&first);
    target.hook.SetControl(&second);
    EXPECT_EQ(target.hook.HookedControl(), &second);
    const auto data = fileData({"/home/user/a.txt"});
    first.setAcceptDrops(true);
    EXPECT_FALSE(sendDragEnter(&first, *data, QPoint(1, 1)))
        << "the first line edit handles the drag itself again, and refuses URLs";
    EXPECT_TRUE(dragAndDrop(&second, *data, QPoint(1, 1)));
    EXPECT_EQ(target.drops.size(), 1u);
    target.hook.SetControl(nullptr);
    EXPECT_EQ(target.hook.HookedControl(), nullptr);
}

TEST(DropDst, FormTargetHooksTheWindowOfTheControl) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* edit = new QLineEdit;
    layout->addWidget(edit);
    RecordingDropDst target;
    target.hook.SetControl(edit);
    EXPECT_EQ(target.hook.HookedControl(), edit);
    target.hook.SetTarget(htForm);
    EXPECT_EQ(target.hook.Target(), htForm);
    EXPECT_EQ(target.hook.HookedControl(), &window);
    EXPECT_TRUE(window.acceptDrops());
    const auto data = fileData({"/home/user/form.txt"});
    EXPECT_TRUE(dragAndDrop(&window, *data, QPoint(4, 6)));
    ASSERT_EQ(target.drops.size(), 1u);
    EXPECT_EQ(target.drops[0].x, 4);
    EXPECT_EQ(target.drops[0].y, 6);
}

TEST(DropDst, FormTargetWithoutControlHooksTheOwnersWindow) {
    QWidget window;
    auto* panel = new QWidget(&window);
    auto* target = new TDropDst(panel);
    target->SetTarget(htForm);
    EXPECT_EQ(target->HookedControl(), &window);
}

TEST(DropDst, FormTargetWithNothingToHookRaisesError) {
    TDropDst hook;
    try {
        hook.SetTarget(htForm);
        FAIL() << "no error raised";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "フック先を特定できません。");
    }
    EXPECT_EQ(hook.HookedControl(), nullptr);
    EXPECT_NO_THROW(hook.SetTarget(htControl)) << "a missing control is no error";

    QObject plainOwner;
    TDropDst owned(&plainOwner);
    EXPECT_THROW(owned.SetTarget(htForm), Error);
}

TEST(DropDst, OtherEventsReachTheControl) {
    QLineEdit edit;
    RecordingDropDst target;
    target.hook.SetControl(&edit);
    edit.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
    QTest::keyClicks(&edit, "abc");
    EXPECT_EQ(edit.text(), QString("abc"));
}

} // namespace
} // namespace zbpg

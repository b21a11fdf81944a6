#include "app/Application.h"

#include "base/Error.h"
#include "support/QtSettingsFolder.h"
#include "support/RecordingMessageService.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <gtest/gtest.h>

namespace zbpg {
namespace {

// An object whose every event handler fails, as a handler with a bad settings file might.
class FailingObject final : public QObject {
public:
    bool event(QEvent*) override { throw Error("ファイル x は開けません"); }
};

TEST(Application, AnErrorLeavingAHandlerIsReportedAndTheProgramGoesOn) {
    test::RecordingMessageService messages;
    FailingObject failing;
    QEvent event(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&failing, &event));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0], (platform::MessageRequest{
                                     "ZorbelPaneglyph", "ファイル x は開けません.",
                                     platform::MessageIcon::Error, platform::MessageButtons::Ok}));
    QEvent again(QEvent::User);
    QCoreApplication::sendEvent(&failing, &again);
    EXPECT_EQ(messages.shown.size(), 2u);
}

TEST(Application, QtsOwnButtonsSpeakJapanese) {
    const QString catalogue =
        QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_ja.qm");
    if (!QFile::exists(catalogue))
        GTEST_SKIP() << "Qt's Japanese translations are not installed (scripts/setup.sh)";
    const std::pair<QMessageBox::StandardButton, const char*> buttons[] = {
        {QMessageBox::Yes, "はい(&Y)"},
        {QMessageBox::No, "いいえ(&N)"},
        {QMessageBox::Cancel, "キャンセル"},
    };
    QMessageBox box;
    for (const auto& [button, text] : buttons)
        EXPECT_EQ(box.addButton(button)->text().toStdString(), text);
}

// A window's title reaches the screen as it is only while the application has no display name
// of its own: Qt appends one to every title that does not already end in it. Without one, the
// display name follows the application name.
TEST(Application, AddsNoNameToWindowTitles) {
    const QString name = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("probe"));
    const QString displayName = QGuiApplication::applicationDisplayName();
    QCoreApplication::setApplicationName(name);
    EXPECT_EQ(name.toStdString(), "ZorbelPaneglyph");
    EXPECT_EQ(displayName.toStdString(), "probe");
}

} // namespace
} // namespace zbpg

int main(int argc, char** argv) {
    zbpg::test::TestEnvironment environment(zbpg::test::followTheHomeWithQtSettings);
    zbpg::Application application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

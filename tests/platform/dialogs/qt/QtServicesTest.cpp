#include "platform/dialogs/qt/QtDialogService.h"
#include "platform/dialogs/qt/QtMessageService.h"
#include "support/TempFolder.h"

#include <QAbstractFileIconProvider>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>
#include <ostream>

// Readable failure messages.
static void PrintTo(const QString& text, std::ostream* out) {
    *out << text.toStdString();
}

namespace zbpg::platform {
namespace {

// ---- Message boxes -----------------------------------------------------------------------

TEST(QtMessageService, BoxShowsCaptionTextAndIcon) {
    const std::pair<MessageIcon, QMessageBox::Icon> icons[] = {
        {MessageIcon::None, QMessageBox::NoIcon},
        {MessageIcon::Error, QMessageBox::Critical},
        {MessageIcon::Warning, QMessageBox::Warning},
        {MessageIcon::Information, QMessageBox::Information},
        {MessageIcon::Question, QMessageBox::Question},
    };
    for (const auto& [icon, expected] : icons) {
        const auto box = QtMessageService::build({"確認", "保存しますか？", icon});
        EXPECT_EQ(box->icon(), expected) << static_cast<int>(icon);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("確認"));
        EXPECT_EQ(box->text(), QStringLiteral("保存しますか？"));
        EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
        EXPECT_EQ(box->parentWidget(), nullptr);
    }
}

TEST(QtMessageService, EveryLineEndBreaksTheLineOnTheBox) {
    const std::pair<const char*, QString> cases[] = {
        {"各設定内容をインストール時の状態に戻します。\rよろしいですか？",
         QStringLiteral("各設定内容をインストール時の状態に戻します。\nよろしいですか？")},
        {"a\r\nb\nc\r\rd", QStringLiteral("a\nb\nc\n\nd")},
    };
    for (const auto& [text, shown] : cases)
        EXPECT_EQ(QtMessageService::build({"t", text})->text(), shown) << text;
    EXPECT_EQ(QtMessageService::build({"t", "<b>a.txt</b> は開けません"})->textFormat(),
              Qt::PlainText)
        << "a name that looks like markup is shown as written";
}

TEST(QtMessageService, ButtonsDefaultToTheFirstAndEscapeToTheCautiousOne) {
    struct Case {
        MessageButtons buttons;
        QMessageBox::StandardButtons shown;
        QMessageBox::StandardButton first;
        QMessageBox::StandardButton escape;
    };
    const Case cases[] = {
        {MessageButtons::Ok, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok},
        {MessageButtons::OkCancel, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok,
         QMessageBox::Cancel},
        {MessageButtons::YesNo, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes,
         QMessageBox::No},
        {MessageButtons::YesNoCancel, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
         QMessageBox::Yes, QMessageBox::Cancel},
    };
    for (const auto& c : cases) {
        const auto box = QtMessageService::build({"t", "x", MessageIcon::Information, c.buttons});
        const int which = static_cast<int>(c.buttons);
        EXPECT_EQ(box->standardButtons(), c.shown) << which;
        EXPECT_EQ(box->defaultButton(), box->button(c.first)) << which;
        EXPECT_EQ(box->escapeButton(), box->button(c.escape)) << which;
        // Nothing clicked yet counts as closing the box.
        EXPECT_EQ(QtMessageService::answerOf(*box), QtMessageService::answerFor(c.escape)) << which;
    }
}

TEST(QtMessageService, AnswersFollowTheButtons) {
    EXPECT_EQ(QtMessageService::answerFor(QMessageBox::Ok), MessageAnswer::Ok);
    EXPECT_EQ(QtMessageService::answerFor(QMessageBox::Cancel), MessageAnswer::Cancel);
    EXPECT_EQ(QtMessageService::answerFor(QMessageBox::Yes), MessageAnswer::Yes);
    EXPECT_EQ(QtMessageService::answerFor(QMessageBox::No), MessageAnswer::No);
    EXPECT_EQ(QtMessageService::answerFor(QMessageBox::NoButton), MessageAnswer::Cancel);
}

TEST(QtMessageService, ShownBoxAnswersWithTheButtonUsed) {
    const auto clicked =
        QtMessageService::build({"t", "x", MessageIcon::Question, MessageButtons::YesNoCancel});
    clicked->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(clicked.get()));
    clicked->button(QMessageBox::No)->click();
    EXPECT_FALSE(clicked->isVisible());
    EXPECT_EQ(QtMessageService::answerOf(*clicked), MessageAnswer::No);

    const std::pair<MessageButtons, MessageAnswer> escapes[] = {
        {MessageButtons::Ok, MessageAnswer::Ok},
        {MessageButtons::YesNo, MessageAnswer::No},
        {MessageButtons::YesNoCancel, MessageAnswer::Cancel},
    };
    for (const auto& [buttons, expected] : escapes) {
        const auto box = QtMessageService::build({"t", "x", MessageIcon::Question, buttons});
        box->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(box.get()));
        QTest::keyClick(box.get(), Qt::Key_Escape);
        EXPECT_FALSE(box->isVisible());
        EXPECT_EQ(QtMessageService::answerOf(*box), expected) << static_cast<int>(buttons);
    }
}

// ---- File dialogs ------------------------------------------------------------------------

std::vector<FileFilter> pictureFilters() {
    return {{"ビットマップ", "*.bmp"},
            {"JPEG ファイル", "*.jpg;*.jpe"},
            {"すべてのファイル(*.*)", "*.*"}};
}

TEST(QtDialogService, NameFiltersCarryThePatternsInQtsForm) {
    EXPECT_EQ(QtDialogService::nameFilter({"ビットマップ", "*.bmp"}),
              QStringLiteral("ビットマップ (*.bmp)"));
    EXPECT_EQ(QtDialogService::nameFilter({"JPEG ファイル", "*.jpg;*.jpe"}),
              QStringLiteral("JPEG ファイル (*.jpg *.jpe)"));
    EXPECT_EQ(QtDialogService::nameFilter({"すべてのファイル(*.*)", "*.*"}),
              QStringLiteral("すべてのファイル(*.*) (*.*)"));
    EXPECT_EQ(QtDialogService::nameFilter({"何でも", ""}), QStringLiteral("何でも (*)"));
}

TEST(QtDialogService, ConfigureAppliesTheRequest) {
    test::TempFolder folder;
    test::writeFile(folder.file("a.bmp"), "BM");
    FileDialogRequest request;
    request.title = "画像を開く";
    request.filters = pictureFilters();
    request.filterIndex = 2;
    request.initialFolder = folder.path();
    request.fileName = "a.bmp";
    request.fileMustExist = true;

    QFileDialog dialog;
    QtDialogService::configure(dialog, request);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("画像を開く"));
    EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
    const QStringList expectedFilters{QStringLiteral("ビットマップ (*.bmp)"),
                                      QStringLiteral("JPEG ファイル (*.jpg *.jpe)"),
                                      QStringLiteral("すべてのファイル(*.*) (*.*)")};
    EXPECT_EQ(dialog.nameFilters(), expectedFilters);
    // The pattern lists Qt needs stay out of sight: the descriptions show as written.
    EXPECT_TRUE(dialog.testOption(QFileDialog::HideNameFilterDetails));
    EXPECT_EQ(dialog.selectedNameFilter(), QStringLiteral("JPEG ファイル"));
    EXPECT_EQ(QtDialogService::selectedFilterIndex(dialog), 2);
    EXPECT_EQ(dialog.directory().absolutePath(), QString::fromStdString(folder.path()));
    EXPECT_EQ(dialog.selectedFiles(), QStringList{QString::fromStdString(folder.file("a.bmp"))});
    // The type column names folders as the rest of the dialog does, in Japanese.
    const QFileInfo folderInfo(QString::fromStdString(folder.path()));
    EXPECT_EQ(dialog.iconProvider()->type(folderInfo), QStringLiteral("ファイル フォルダ"));
}

TEST(QtDialogService, FileModeFollowsSelectionAndExistence) {
    const auto modeFor = [](bool multiSelect, bool fileMustExist) {
        FileDialogRequest request;
        request.multiSelect = multiSelect;
        request.fileMustExist = fileMustExist;
        QFileDialog dialog;
        QtDialogService::configure(dialog, request);
        return dialog.fileMode();
    };
    EXPECT_EQ(modeFor(true, true), QFileDialog::ExistingFiles);
    EXPECT_EQ(modeFor(true, false), QFileDialog::ExistingFiles);
    EXPECT_EQ(modeFor(false, true), QFileDialog::ExistingFile);
    EXPECT_EQ(modeFor(false, false), QFileDialog::AnyFile);
}

TEST(QtDialogService, FilterIndexIsClampedToTheFilters) {
    const auto selectedFor = [](int filterIndex) {
        FileDialogRequest request;
        request.filters = pictureFilters();
        request.filterIndex = filterIndex;
        QFileDialog dialog;
        QtDialogService::configure(dialog, request);
        return QtDialogService::selectedFilterIndex(dialog);
    };
    EXPECT_EQ(selectedFor(0), 1);
    EXPECT_EQ(selectedFor(-3), 1);
    EXPECT_EQ(selectedFor(3), 3);
    EXPECT_EQ(selectedFor(9), 3);
}

TEST(QtDialogService, PlacementSeesTheCentredPositionOnceAndMovesTheDialog) {
    QFileDialog dialog;
    QtDialogService::configure(dialog, {});
    dialog.adjustSize();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QSize size = dialog.frameGeometry().size();

    int calls = 0;
    QtDialogService::place(dialog, [&](int& left, int& top, int width, int height) {
        ++calls;
        EXPECT_EQ(left, screen.x() + (screen.width() - size.width()) / 2);
        EXPECT_EQ(top, screen.y() + (screen.height() - size.height()) / 2);
        EXPECT_EQ(width, size.width());
        EXPECT_EQ(height, size.height());
        left = 17;
        top = 23;
    });
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(dialog.pos(), QPoint(17, 23));
}

TEST(QtDialogService, PlacementCentresOverTheParentWindow) {
    QWidget window;
    window.setGeometry(100, 50, 600, 500);
    QWidget inner(&window);
    QDialog dialog(&inner);
    dialog.setFixedSize(200, 100);

    QPoint proposed;
    QtDialogService::place(dialog, [&](int& left, int& top, int, int) { proposed = {left, top}; });
    EXPECT_EQ(proposed, QPoint(300, 250));
    EXPECT_EQ(dialog.pos(), QPoint(300, 250));

    // Without a placement the dialog still goes where it was proposed.
    dialog.move(0, 0);
    QtDialogService::place(dialog, {});
    EXPECT_EQ(dialog.pos(), QPoint(300, 250));
}

} // namespace
} // namespace zbpg::platform

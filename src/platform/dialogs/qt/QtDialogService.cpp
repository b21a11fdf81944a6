#include "platform/dialogs/qt/QtDialogService.h"

#include "platform/dialogs/qt/FolderBrowseDialog.h"
#include "platform/dialogs/qt/FontColorDialog.h"
#include "text/qt/QtConvert.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QScreen>
#include <algorithm>

namespace zbpg::platform {
namespace {

// Where Qt itself would put a dialog: centred over its window, or on the primary screen.
QPoint centredPosition(const QWidget& dialog) {
    QRect area;
    if (const QWidget* parent = dialog.parentWidget())
        area = parent->window()->frameGeometry();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    const QSize size = dialog.frameGeometry().size();
    return {area.x() + (area.width() - size.width()) / 2,
            area.y() + (area.height() - size.height()) / 2};
}

// The type column's names for folders and drives, which Qt's Japanese texts leave in English.
class FileTypeNames final : public QFileIconProvider {
public:
    QString type(const QFileInfo& info) const override {
        if (info.isRoot())
            return QStringLiteral("ドライブ");
        if (info.isDir())
            return QStringLiteral("ファイル フォルダ");
        return QFileIconProvider::type(info);
    }
};

QFileDialog::FileMode fileModeFor(const FileDialogRequest& request) {
    if (request.multiSelect)
        return QFileDialog::ExistingFiles;
    return request.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile;
}

} // namespace

QString QtDialogService::nameFilter(const FileFilter& filter) {
    // Qt reads the patterns from the last parenthesised, space-separated list, so they are
    // appended even when the description already shows them in the stored form.
    QString patterns = toQString(filter.patterns).replace(u';', u' ').simplified();
    if (patterns.isEmpty())
        patterns = QStringLiteral("*");
    return toQString(filter.description) + QStringLiteral(" (") + patterns + u')';
}

void QtDialogService::configure(QFileDialog& dialog, const FileDialogRequest& request) {
    // Non-native so that it can be placed; the appended pattern lists stay hidden because the
    // descriptions are meant to be read as they are written.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    // One for every dialog: a dialog does not own its provider.
    static FileTypeNames typeNames;
    dialog.setIconProvider(&typeNames);
    dialog.setWindowTitle(toQString(request.title));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(fileModeFor(request));
    QStringList filters;
    for (const auto& filter : request.filters)
        filters << nameFilter(filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const auto index = std::clamp(request.filterIndex, 1, static_cast<int>(filters.size()));
        dialog.selectNameFilter(filters.at(index - 1));
    }
    if (!request.initialFolder.empty())
        dialog.setDirectory(toQString(request.initialFolder));
    if (!request.fileName.empty())
        dialog.selectFile(toQString(request.fileName));
}

void QtDialogService::place(QWidget& dialog, const DialogPlacement& placement) {
    const QPoint proposed = centredPosition(dialog);
    int left = proposed.x();
    int top = proposed.y();
    if (placement) {
        const QSize size = dialog.frameGeometry().size();
        placement(left, top, size.width(), size.height());
    }
    // Being moved also keeps QDialog from centring it again when shown.
    dialog.move(left, top);
}

int QtDialogService::selectedFilterIndex(const QFileDialog& dialog) {
    const QString selected = dialog.selectedNameFilter();
    const QStringList filters = dialog.nameFilters();
    const auto index = filters.indexOf(selected);
    if (index >= 0)
        return static_cast<int>(index) + 1;
    // With the details hidden Qt answers with the text shown, the filter less its pattern list.
    for (qsizetype i = 0; i < filters.size(); ++i) {
        if (filters.at(i).left(filters.at(i).lastIndexOf(u'(')).simplified() == selected)
            return static_cast<int>(i) + 1;
    }
    return 1;
}

std::optional<FileDialogResult> QtDialogService::openFile(const FileDialogRequest& request) {
    QFileDialog dialog(QApplication::activeWindow());
    configure(dialog, request);
    dialog.adjustSize();
    place(dialog, request.placement);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    FileDialogResult result;
    for (const auto& file : dialog.selectedFiles())
        result.files.push_back(toStdString(file));
    result.filterIndex = selectedFilterIndex(dialog);
    return result;
}

std::optional<FolderDialogResult>
QtDialogService::browseFolder(const FolderDialogRequest& request) {
    FolderBrowseDialog dialog(request, QApplication::activeWindow());
    dialog.adjustSize();
    if (request.placement)
        place(dialog, request.placement);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const std::string folder = dialog.selectedFolder();
    const auto slash = folder.find_last_of('/');
    const std::string name = folder.substr(slash + 1);
    return FolderDialogResult{folder, name.empty() ? folder : name};
}

std::optional<FontDescription> QtDialogService::chooseFont(const FontDescription& initial) {
    FontColorDialog dialog(QApplication::activeWindow());
    dialog.setFontDescription(initial);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.fontDescription();
}

std::optional<Color> QtDialogService::chooseColor(Color initial) {
    const QColor color =
        QColorDialog::getColor(toQColor(initial), nullptr, QStringLiteral("色の設定"));
    if (!color.isValid())
        return std::nullopt;
    return fromQColor(color);
}

} // namespace zbpg::platform

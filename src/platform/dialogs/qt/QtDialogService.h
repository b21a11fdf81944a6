#pragma once

#include "platform/dialogs/DialogService.h"

#include <QString>

class QFileDialog;
class QWidget;

namespace zbpg::platform {

// The common dialogs as Qt dialogs: Qt's own (non-native, so that the program can place it)
// file dialog, FolderBrowseDialog for folders, its colour dialog, and FontColorDialog for fonts.
class QtDialogService final : public DialogService {
public:
    std::optional<FileDialogResult> openFile(const FileDialogRequest& request) override;
    std::optional<FolderDialogResult> browseFolder(const FolderDialogRequest& request) override;
    std::optional<FontDescription> chooseFont(const FontDescription& initial) override;
    std::optional<Color> chooseColor(Color initial) override;

    // The name filter Qt takes for one filter: the description, then its patterns in Qt's form.
    static QString nameFilter(const FileFilter& filter);
    // Everything a request says about a file dialog, short of placing and showing it.
    static void configure(QFileDialog& dialog, const FileDialogRequest& request);
    // Moves a sized dialog to where it would appear, after letting placement change that.
    static void place(QWidget& dialog, const DialogPlacement& placement);
    // The name filter chosen in a file dialog, counted from 1.
    static int selectedFilterIndex(const QFileDialog& dialog);
};

} // namespace zbpg::platform

#pragma once

#include "platform/dialogs/DialogService.h"

#include <QObject>
#include <functional>
#include <set>
#include <string>

class QWidget;

namespace zbpg {

// Where a folder chooser starts and how high its tree reaches: a folder given by name, or one of
// the user's special folders.
enum TSelectFolder {
    sfDesktop,
    sfManual,
    sfDrives,
    sfDesktopDir,
    sfFavorites,
    sfPrograms,
    sfRecent,
    sfSendTo,
    sfStartMenu,
    sfStartup,
    sfTemplates
};
enum TRootFolder {
    rfDesktop,
    rfManual,
    rfDrives,
    rfDesktopDir,
    rfFavorites,
    rfPrograms,
    rfRecent,
    rfSendTo,
    rfStartMenu,
    rfStartup,
    rfTemplates
};
enum TShowStyle { ssNone, ssCenterScreen, ssClient };
enum TSHBrowseOption {
    sboDontGoBelowDomain,
    sboReturnFSAncestors,
    sboReturnOnlyFSDirs,
    sboStatusTextAndShowPath,
    sboStatusText
};
using TSHBrowseOptions = std::set<TSHBrowseOption>;
using TOKButtonState = platform::OkButtonState;

// The folder a special-folder kind stands for here: the file system's top for the desktop and
// the drives, the user's XDG folders for the others. A manual kind has none of its own: the top.
std::string specialFolderPath(int kind);

// A folder chooser with a root, a folder selected at the start, a caption, a status line and a
// handler that is told of every selection and may disable OK. The dialog comes from the
// platform's dialog service, so tests answer it.
class TSHBrowseForFolderEx final : public QObject {
    Q_OBJECT
public:
    // The owner is the window a chooser with ssClient opens over.
    explicit TSHBrowseForFolderEx(QWidget* owner = nullptr);

    std::string Caption;
    TSelectFolder SelectFolder = sfDrives;
    std::string SelectFolderName;
    TRootFolder RootFolder = rfDesktop;
    std::string RootFolderName;
    TSHBrowseOptions Options{sboReturnOnlyFSDirs};
    TShowStyle ShowStyle = ssClient;
    std::function<void(QObject* Sender, const std::string& Path, std::string& ShowText,
                       TOKButtonState& OKButtonState)>
        OnSelectionChanged;

    // Runs the chooser; true when the user chose a folder. FolderPath and DisplayName are
    // emptied at the start of every run.
    [[nodiscard]] bool Execute();
    const std::string& FolderPath() const { return m_folderPath; }
    const std::string& DisplayName() const { return m_displayName; }

private:
    void DoSelectionChanged(const std::string& path, std::string& showText,
                            TOKButtonState& okButtonState);
    platform::DialogPlacement placement() const;

    QWidget* m_owner;
    std::string m_folderPath;
    std::string m_displayName;
};

} // namespace zbpg

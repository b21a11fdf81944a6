#pragma once

#include "platform/dialogs/DialogService.h"

#include <QDialog>

class QDialogButtonBox;
class QFileSystemModel;
class QLabel;
class QTreeView;

namespace zbpg::platform {

// The folder chooser: the request's caption above a tree of the folders below its root, an
// optional status line, OK and cancel. Each change of the selection is told to the request's
// handler, which sets the status text and the OK button.
class FolderBrowseDialog final : public QDialog {
    Q_OBJECT
public:
    explicit FolderBrowseDialog(FolderDialogRequest request, QWidget* parent = nullptr);

    // The folder selected now, empty when none is.
    std::string selectedFolder() const;
    std::string statusText() const;
    bool okEnabled() const;

    // Selects the folder, opens the tree down to it and keeps it in view while the tree is read;
    // false when it is not below the root.
    bool selectFolder(const std::string& path);

private:
    void selectionChanged();
    // Keeps the folder selected at the start in view until the user scrolls or selects another.
    void keepInView();

    FolderDialogRequest m_request;
    QFileSystemModel* m_model;
    QTreeView* m_tree;
    QLabel* m_status;
    QDialogButtonBox* m_buttons;
    bool m_keepInView = false;
};

} // namespace zbpg::platform

#include "platform/dialogs/qt/FolderBrowseDialog.h"

#include "text/qt/QtConvert.h"

#include <QDialogButtonBox>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeView>
#include <QVBoxLayout>

namespace zbpg::platform {

FolderBrowseDialog::FolderBrowseDialog(FolderDialogRequest request, QWidget* parent)
    : QDialog(parent), m_request(std::move(request)), m_model(new QFileSystemModel(this)),
      m_tree(new QTreeView(this)), m_status(new QLabel(this)),
      m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
    setWindowTitle(toQString(m_request.caption));
    const QString root =
        m_request.rootFolder.empty() ? QStringLiteral("/") : toQString(m_request.rootFolder);
    // Hidden folders are offered too: a wallpaper folder may well be one.
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden);
    m_model->setReadOnly(true);
    m_model->setRootPath(root);
    m_tree->setModel(m_model);
    m_tree->setRootIndex(m_model->index(root));
    for (int column = 1; column < m_model->columnCount(); ++column)
        m_tree->hideColumn(column);
    m_tree->header()->hide();
    m_status->setVisible(m_request.statusLine);
    m_status->setTextFormat(Qt::PlainText);

    auto* layout = new QVBoxLayout(this);
    auto* caption = new QLabel(toQString(m_request.caption), this);
    caption->setTextFormat(Qt::PlainText);
    caption->setWordWrap(true);
    layout->addWidget(caption);
    layout->addWidget(m_status);
    layout->addWidget(m_tree, 1);
    layout->addWidget(m_buttons);
    resize(360, 420);

    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &FolderBrowseDialog::selectionChanged);
    // The folders are read after the tree shows; the ones sorted in above the selected folder
    // would push it out of view.
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &FolderBrowseDialog::keepInView);
    connect(m_model, &QAbstractItemModel::layoutChanged, this, &FolderBrowseDialog::keepInView);
    connect(m_tree->verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this] { m_keepInView = false; });
    if (m_request.initialFolder.empty() || !selectFolder(m_request.initialFolder))
        selectionChanged();
}

std::string FolderBrowseDialog::selectedFolder() const {
    const QModelIndex current = m_tree->currentIndex();
    return current.isValid() ? toStdString(m_model->filePath(current)) : std::string();
}

std::string FolderBrowseDialog::statusText() const {
    return toStdString(m_status->text());
}

bool FolderBrowseDialog::okEnabled() const {
    return m_buttons->button(QDialogButtonBox::Ok)->isEnabled();
}

bool FolderBrowseDialog::selectFolder(const std::string& path) {
    const QModelIndex index = m_model->index(toQString(path));
    if (!index.isValid())
        return false;
    for (QModelIndex above = index.parent(); above.isValid(); above = above.parent()) {
        if (above == m_tree->rootIndex()) {
            m_tree->setCurrentIndex(index);
            m_tree->expand(index);
            m_tree->scrollTo(index);
            m_keepInView = true;
            return true;
        }
    }
    return false;
}

void FolderBrowseDialog::selectionChanged() {
    m_keepInView = false;
    std::string status;
    OkButtonState ok = OkButtonState::Unchanged;
    const std::string folder = selectedFolder();
    if (m_request.selectionChanged)
        m_request.selectionChanged(folder, status, ok);
    m_status->setText(toQString(status));
    // Every folder selected can be chosen unless the handler says otherwise; nothing selected is
    // nothing to choose, whatever the handler says.
    m_buttons->button(QDialogButtonBox::Ok)
        ->setEnabled(!folder.empty() && ok != OkButtonState::Disabled);
}

void FolderBrowseDialog::keepInView() {
    if (m_keepInView)
        m_tree->scrollTo(m_tree->currentIndex());
}

} // namespace zbpg::platform

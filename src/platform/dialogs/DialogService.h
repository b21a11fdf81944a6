#pragma once

#include "text/ColorText.h"
#include "text/FontDescription.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zbpg::platform {

// One filter of a file chooser: the text shown and its patterns ("*.jpg;*.jpe").
struct FileFilter {
    std::string description;
    std::string patterns;

    bool operator==(const FileFilter&) const = default;
};

// Parses the "description|patterns|description|patterns" form the program writes its filters in.
std::vector<FileFilter> parseFilterText(const std::string& text);

// Asked once per run of a file chooser, before it is shown at its final place: comes in with the
// proposed left and top edge and the dialog's outer size, and may move the edges.
using DialogPlacement = std::function<void(int& left, int& top, int width, int height)>;

struct FileDialogRequest {
    std::string title;
    std::vector<FileFilter> filters;
    int filterIndex = 1; // counted from 1
    std::string initialFolder;
    std::string fileName;
    bool multiSelect = false;
    bool fileMustExist = false;
    DialogPlacement placement;
};

struct FileDialogResult {
    std::vector<std::string> files; // full paths, in the order chosen
    int filterIndex = 1;
};

// What a folder chooser's selection handler makes of the OK button.
enum class OkButtonState { Unchanged = 0, Enabled = 1, Disabled = 2 };

// Asked whenever the chooser's selection changes, with the selected folder's path; the status
// text it leaves is shown on the status line, and the OK button takes the state it leaves.
using FolderSelectionHandler =
    std::function<void(const std::string& path, std::string& statusText, OkButtonState& ok)>;

struct FolderDialogRequest {
    std::string caption;       // shown above the folder tree
    std::string rootFolder;    // top of the tree; empty: the top of the file system
    std::string initialFolder; // selected when it opens; empty: the root
    bool statusLine = false;   // a status line under the caption
    FolderSelectionHandler selectionChanged;
    // Asked once before it is shown, as for a file chooser; the dialog's own choice stands
    // without one.
    DialogPlacement placement;
};

struct FolderDialogResult {
    std::string folderPath;
    std::string displayName; // the folder's name as the tree shows it
};

// The platform's common dialogs. The window installs one showing real dialogs; tests install
// one that records the requests and answers them. Nothing means the user cancelled.
class DialogService {
public:
    virtual ~DialogService() = default;
    virtual std::optional<FileDialogResult> openFile(const FileDialogRequest& request) = 0;
    virtual std::optional<FolderDialogResult> browseFolder(const FolderDialogRequest& request) = 0;
    // Face, size, style (underline and strike-out included) and colour.
    virtual std::optional<FontDescription> chooseFont(const FontDescription& initial) = 0;
    virtual std::optional<Color> chooseColor(Color initial) = 0;
};

// The installed service; without one every dialog is cancelled at once.
DialogService& dialogService();
void setDialogService(DialogService* service);

} // namespace zbpg::platform

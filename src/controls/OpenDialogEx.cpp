#include "controls/OpenDialogEx.h"

#include "platform/dialogs/DialogService.h"

namespace zbpg {

TOpenDialogEx::TOpenDialogEx(QObject* owner) : QObject(owner) {}

bool TOpenDialogEx::Execute() {
    platform::FileDialogRequest request;
    request.title = Title;
    request.filters = platform::parseFilterText(Filter);
    request.filterIndex = FilterIndex;
    request.initialFolder = InitialDir;
    request.fileName = FileName;
    request.multiSelect = AllowMultiSelect;
    request.fileMustExist = FileMustExist;
    if (OnSetLeftTop) {
        request.placement = [this](int& left, int& top, int width, int height) {
            OnSetLeftTop(this, left, top, width, height);
        };
    }
    const auto result = platform::dialogService().openFile(request);
    if (!result || result->files.empty())
        return false;
    Files = result->files;
    FileName = Files.front();
    FilterIndex = result->filterIndex;
    return true;
}

} // namespace zbpg

#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <vector>

namespace zbpg {

// A file-open dialog whose owner decides where it appears: OnSetLeftTop is asked once per run,
// with the position the platform proposes and the dialog's size, before the dialog is shown at
// its final place. The dialog itself comes from the platform's dialog service.
class TOpenDialogEx final : public QObject {
    Q_OBJECT
public:
    explicit TOpenDialogEx(QObject* owner = nullptr);

    std::string Title;
    // "description|patterns|description|patterns".
    std::string Filter;
    int FilterIndex = 1; // counted from 1; updated by a confirmed run
    std::string InitialDir;
    std::string FileName;           // the first chosen file after a confirmed run
    std::vector<std::string> Files; // every chosen file after a confirmed run
    bool AllowMultiSelect = false;
    bool FileMustExist = false;

    std::function<void(QObject* sender, int& ALeft, int& ATop, int AWidth, int AHeight)>
        OnSetLeftTop;

    // True when the user confirmed a choice.
    [[nodiscard]] bool Execute();
};

} // namespace zbpg

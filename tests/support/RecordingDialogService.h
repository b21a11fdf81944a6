#pragma once

#include "platform/dialogs/DialogService.h"
#include "support/TempFolder.h"

#include <deque>
#include <optional>
#include <vector>

namespace zbpg::test {

// Records every dialog request and answers from queues; an empty queue means "cancelled".
// A request's placement callback is run once with the proposed position below, as the
// real dialog does before it shows itself. Installs itself for its lifetime.
class RecordingDialogService final : public platform::DialogService {
public:
    RecordingDialogService() { platform::setDialogService(this); }
    ~RecordingDialogService() override { platform::setDialogService(nullptr); }
    RecordingDialogService(const RecordingDialogService&) = delete;
    RecordingDialogService& operator=(const RecordingDialogService&) = delete;

    std::optional<platform::FileDialogResult>
    openFile(const platform::FileDialogRequest& request) override {
        fileRequests.push_back(request);
        place(request.placement);
        return take(fileAnswers);
    }
    // Answers with the folder queued; the selection handler is told about it first, as the
    // dialog tells it about the folder it opens at and every folder chosen.
    std::optional<platform::FolderDialogResult>
    browseFolder(const platform::FolderDialogRequest& request) override {
        folderRequests.push_back(request);
        place(request.placement);
        auto answer = take(folderAnswers);
        if (request.selectionChanged) {
            folderStatus.clear();
            folderOk = platform::OkButtonState::Unchanged;
            request.selectionChanged(answer ? *answer : request.initialFolder, folderStatus,
                                     folderOk);
        }
        if (!answer)
            return std::nullopt;
        const auto slash = answer->find_last_of('/');
        return platform::FolderDialogResult{*answer, answer->substr(slash + 1)};
    }
    std::optional<FontDescription> chooseFont(const FontDescription& initial) override {
        fontRequests.push_back(initial);
        return take(fontAnswers);
    }
    std::optional<Color> chooseColor(Color initial) override {
        colorRequests.push_back(initial);
        return take(colorAnswers);
    }

    std::vector<platform::FileDialogRequest> fileRequests;
    std::vector<platform::FolderDialogRequest> folderRequests;
    std::vector<FontDescription> fontRequests;
    std::vector<Color> colorRequests;
    std::deque<std::optional<platform::FileDialogResult>> fileAnswers;
    std::deque<std::optional<std::string>> folderAnswers;
    std::string folderStatus; // what the selection handler last left
    platform::OkButtonState folderOk = platform::OkButtonState::Unchanged;
    std::deque<std::optional<FontDescription>> fontAnswers;
    std::deque<std::optional<Color>> colorAnswers;
    int proposedLeft = 100;
    int proposedTop = 80;
    std::pair<int, int> placedAt{-1, -1};

private:
    void place(const platform::DialogPlacement& placement) {
        if (!placement)
            return;
        placedAt = {proposedLeft, proposedTop};
        placement(placedAt.first, placedAt.second, 400, 300);
    }
    template <typename T> static std::optional<T> take(std::deque<std::optional<T>>& queue) {
        if (queue.empty())
            return std::nullopt;
        auto answer = queue.front();
        queue.pop_front();
        return answer;
    }
};

} // namespace zbpg::test

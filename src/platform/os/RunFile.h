#pragma once

#include <string>

namespace zbpg::platform {

// A file one run of the program writes for itself and removes when it is done, such as the
// composed picture while it is shown. Its name carries the process and the run
// ("ZorbelPaneglyphTmp-<pid>-<n>.bmp" for "ZorbelPaneglyphTmp.bmp"), so that runs at the same
// time (an autostart entry and a click, two logins) never share one and none removes another's.
// It is made as a new file, never by opening a path that is there, so a link planted at its name
// is never followed; and it is locked for as long as it lives, which tells a live run's file from
// one a killed run left.
class RunFile final {
public:
    // Makes the run's file in namedAfter's folder; isOpen() tells whether it could be made.
    explicit RunFile(const std::string& namedAfter);
    // Removes the file.
    ~RunFile();
    RunFile(const RunFile&) = delete;
    RunFile& operator=(const RunFile&) = delete;

    const std::string& path() const { return m_path; }
    bool isOpen() const { return m_fd >= 0; }
    // Adds the bytes at the end; false when they could not all be written (a full disk).
    [[nodiscard]] bool append(const std::string& bytes);

    // Removes the files killed runs left: those named after namedAfter that no run holds, and
    // one of namedAfter's own name, which the runs of earlier versions shared.
    static void removeLeftovers(const std::string& namedAfter);

private:
    std::string m_path;
    int m_fd = -1;
};

} // namespace zbpg::platform

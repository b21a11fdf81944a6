#pragma once

#include "support/TempFolder.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace zbpg::test {

// What a shell command prints, its last line break taken off.
inline std::string commandOutput(const std::string& command) {
    std::string text;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe))
            text += buffer;
        ::pclose(pipe);
    }
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

// Stand-ins for programs, first on PATH while this lives: each writes its words, one a line,
// to the record file and succeeds.
class RecordingCommands final {
public:
    RecordingCommands(const TempFolder& folder, const std::vector<std::string>& names)
        : m_record(folder.file("words")) {
        std::filesystem::create_directories(folder.file("bin"));
        for (const auto& name : names) {
            const std::string script = folder.file("bin/" + name);
            writeFile(script, "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + m_record + "'\n");
            ::chmod(script.c_str(), 0755);
        }
        ::setenv("PATH", (folder.file("bin") + ":" + m_path).c_str(), 1);
    }
    ~RecordingCommands() { ::setenv("PATH", m_path.c_str(), 1); }
    RecordingCommands(const RecordingCommands&) = delete;
    RecordingCommands& operator=(const RecordingCommands&) = delete;

    // The words of the last command started.
    std::string words() const { return readFile(m_record); }

private:
    std::string m_record;
    std::string m_path = std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin";
};

} // namespace zbpg::test

#pragma once

#include "support/TempFolder.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <vector>

namespace zbpg::test {

// How a shell command ended and what it printed. Every command runs under a deadline: one still
// running then is ended together with everything it started, and the test fails naming it,
// instead of the whole suite waiting for it.
struct CommandRun {
    int status = -1; // the exit status; -1 when the command did not end by itself
    std::string output;
};

inline CommandRun runCommand(const std::string& command, int seconds = 30) {
    std::string quoted;
    for (const char c : command)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    // timeout runs the command in a process group of its own and ends the whole group.
    const std::string limited =
        "timeout -k 5 " + std::to_string(seconds) + " sh -c '" + quoted + "'";
    CommandRun run;
    FILE* pipe = ::popen(limited.c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot start: " << command;
        return run;
    }
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe))
        run.output += buffer;
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (run.status == 124 || run.status == 128 + SIGKILL) {
        ADD_FAILURE() << "timed out after " << seconds << " s: " << command;
        run.status = -1;
    }
    return run;
}

// What a shell command prints, its last line break taken off.
inline std::string commandOutput(const std::string& command) {
    std::string text = runCommand(command).output;
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

// Stand-ins for sway's programs, first on PATH while this lives, with SWAYSOCK set: swaymsg notes
// its words and, as sway does, ends its last swaybg and runs one with the new picture and mode.
class SwayStandIns final {
public:
    explicit SwayStandIns(const TempFolder& folder) : m_folder(folder) {
        std::filesystem::create_symlink(std::getenv("ZBPG_SWAYBG_STANDIN"),
                                        folder.file("bin/swaybg"));
        writeFile(folder.file("bin/swaymsg"),
                  readFile(folder.file("bin/swaymsg")) +
                      "[ \"$3\" = bg ] || exit 0\npicture=$(echo \"$4\" | sed "
                      "'s/^\"\\(.*\\)\"$/\\1/; s/\\\\\\(.\\)/\\1/g')\n" +
                      swaybg("-o \"$2\" -i \"$picture\" -m \"$5\""));
        ::setenv("SWAYSOCK", folder.file("sway-ipc.sock").c_str(), 1);
    }
    ~SwayStandIns() {
        (void)runCommand(swaybg());
        ::unsetenv("SWAYSOCK");
    }
    // Ends the last swaybg and runs one with the arguments, if any. Like sway, it waits (here up
    // to 5 s) until the last one has gone (a zombie has no command line) before the next starts,
    // so that the old picture is never taken for the new one's.
    std::string swaybg(const std::string& arguments = "") const {
        const std::string pid = m_folder.file("swaybg.pid");
        const std::string start = "swaybg " + arguments + " >/dev/null 2>&1 &\necho $! > " + pid;
        return "if [ -e " + pid + " ]; then old=$(cat " + pid + "); kill $old\n" +
               "for i in $(seq 500); do grep -q . /proc/$old/cmdline 2>/dev/null || break; sleep "
               "0.01; done\nfi\n" +
               (arguments.empty() ? "" : start);
    }
    std::string words() const { return m_commands.words(); }

private:
    const TempFolder& m_folder;
    RecordingCommands m_commands{m_folder, {"swaymsg"}};
};

} // namespace zbpg::test

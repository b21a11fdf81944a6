#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zbpg::platform {

// Starting other programs. Nothing here runs a shell: words are split as a POSIX shell splits
// them (blanks separate, '…' and "…" quote, a backslash escapes), but never expanded.

// The words of a text, or nothing when a quote is left open.
[[nodiscard]] std::optional<std::vector<std::string>> splitShellWords(const std::string& text);

// The program a command names: the command itself when it holds a "/", else the first
// executable file of that name on PATH; empty when there is none.
std::string findExecutable(const std::string& command);

// True when the path names an existing regular file the user may execute.
bool isExecutableFile(const std::string& path);

// Starts a program and does not wait for it: it runs in a session of its own and is never
// left as a zombie. The working folder is used when not empty. False when the program could
// not be started (not found, not executable, folder missing).
[[nodiscard]] bool startDetached(const std::vector<std::string>& arguments,
                                 const std::string& folder);

// Starts a program and waits, without a time limit, until it has ended. False when it could
// not be started; its exit status does not matter.
[[nodiscard]] bool runAndWait(const std::vector<std::string>& arguments, const std::string& folder);

// Runs a program to its end, as long as it takes up to the limit: a program still running then
// is ended, together with whatever it started, and counts as failed. The program's exit status;
// nothing when it could not be started, was ended by a signal or did not end in time. For the
// desktop's own tools, which wait for a desktop that may never answer.
[[nodiscard]] std::optional<int> runWithDeadline(const std::vector<std::string>& arguments,
                                                 std::chrono::milliseconds limit);

// Opens a document or folder with the desktop's associated program (xdg-open). True when the
// opener was started.
[[nodiscard]] bool openWithDesktop(const std::string& path, const std::string& folder);

// Pauses the calling thread; tests replace the sleeper to see the pauses without waiting.
void sleepMilliseconds(int milliseconds);
void setSleeper(std::function<void(int milliseconds)> sleeper); // empty: the real sleep

} // namespace zbpg::platform

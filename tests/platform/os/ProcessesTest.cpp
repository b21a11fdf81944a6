#include "platform/os/Processes.h"

#include "support/TempFolder.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace zbpg::platform {
namespace {

using Words = std::vector<std::string>;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

Words split(const std::string& text) {
    return splitShellWords(text).value_or(Words{"<open>"});
}

// Detached programs finish on their own time: their results are written to a temporary name
// and renamed, so a file that exists is complete.
template <typename Condition> bool waitFor(Condition condition) {
    for (auto end = Clock::now() + std::chrono::seconds(5); Clock::now() < end;) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

bool waitForFile(const std::string& path) {
    return waitFor([&path] { return std::filesystem::exists(path); });
}

std::string makeFile(const test::TempFolder& folder, const std::string& name, mode_t mode) {
    const auto path = folder.file(name);
    test::writeFile(path, "not a program\n");
    ::chmod(path.c_str(), mode);
    return path;
}

TEST(ShellWords, SplitsOnBlanksAndJoinsQuotedParts) {
    EXPECT_EQ(split("a  b\tc\nd "), (Words{"a", "b", "c", "d"}));
    EXPECT_EQ(split("a\"b c\"d"), (Words{"ab cd"}));
    EXPECT_EQ(split("'x y'z \"1\"'2'3"), (Words{"x yz", "123"}));
    EXPECT_EQ(split("a \"\" b ''"), (Words{"a", "", "b", ""}));
}

TEST(ShellWords, EscapesLikeAShell) {
    EXPECT_EQ(split("a\\ b c\\\"d"), (Words{"a b", "c\"d"}));
    EXPECT_EQ(split("\"q\\\"x\\\\y\\$z\\`w\\n\""), (Words{"q\"x\\y$z`w\\n"}));
    EXPECT_EQ(split("'a\\b\"c'"), (Words{"a\\b\"c"}));
    EXPECT_EQ(split("ab\\\ncd \\\n x"), (Words{"abcd", "x"}));
    EXPECT_EQ(split("end\\"), (Words{"end\\"}));
}

TEST(ShellWords, NeverExpandsOrRedirects) {
    EXPECT_EQ(split("$HOME * ~ a;b | >out `x`"),
              (Words{"$HOME", "*", "~", "a;b", "|", ">out", "`x`"}));
    EXPECT_EQ(split("\"$HOME\" '*'"), (Words{"$HOME", "*"}));
}

TEST(ShellWords, EmptyTextAndOpenQuotes) {
    EXPECT_EQ(splitShellWords(""), Words{});
    EXPECT_EQ(splitShellWords(" \t\n "), Words{});
    EXPECT_EQ(splitShellWords("\"abc"), std::nullopt);
    EXPECT_EQ(splitShellWords("a 'b"), std::nullopt);
    EXPECT_EQ(splitShellWords("a\"b'c"), std::nullopt);
    EXPECT_EQ(splitShellWords("\"a\\\""), std::nullopt);
}

TEST(FindExecutable, FindsProgramsOnPathOnly) {
    test::TempFolder folder;
    const auto sh = findExecutable("sh");
    ASSERT_FALSE(sh.empty());
    EXPECT_EQ(sh.front(), '/');
    EXPECT_EQ(std::filesystem::path(sh).filename(), "sh");
    EXPECT_TRUE(isExecutableFile(sh));
    EXPECT_EQ(findExecutable("zbpg-no-such-program"), "");
    EXPECT_EQ(findExecutable(""), "");
    EXPECT_EQ(findExecutable(makeFile(folder, "plain", 0644)), "");
    EXPECT_EQ(findExecutable(folder.path()), "");
    EXPECT_EQ(findExecutable("/bin/sh"), "/bin/sh");
}

TEST(FindExecutable, TakesTheFirstExecutableFileInPathOrder) {
    test::TempFolder first, second;
    makeFile(first, "tool", 0644);
    std::filesystem::create_directory(first.file("dir"));
    const auto wanted = makeFile(second, "tool", 0755);
    std::filesystem::create_directory(second.file("dir"));
    const std::string saved = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", (":" + first.path() + "::" + second.path() + "/").c_str(), 1);
    const auto tool = findExecutable("tool");
    const auto dir = findExecutable("dir");
    ::setenv("PATH", saved.c_str(), 1);
    EXPECT_EQ(tool, wanted);
    EXPECT_EQ(dir, "");
}

TEST(RunAndWait, RunsInTheGivenFolderAndWaitsForTheEnd) {
    test::TempFolder folder;
    ASSERT_TRUE(runAndWait({"sh", "-c", "echo $PWD > where"}, folder.path()));
    EXPECT_EQ(test::readFile(folder.file("where")),
              std::filesystem::canonical(folder.path()).string() + "\n");
    ASSERT_TRUE(runAndWait({"/bin/sh", "-c", "sleep 0.3; echo done > marker"}, folder.path()));
    EXPECT_EQ(test::readFile(folder.file("marker")), "done\n");
}

TEST(RunAndWait, ReportsOnlyWhetherTheProgramStarted) {
    test::TempFolder folder;
    EXPECT_TRUE(runAndWait({"/bin/false"}, ""));
    EXPECT_FALSE(runAndWait({}, ""));
    EXPECT_FALSE(runAndWait({"zbpg-no-such-program"}, ""));
    EXPECT_FALSE(runAndWait({folder.file("missing")}, ""));
    EXPECT_FALSE(runAndWait({makeFile(folder, "plain", 0644)}, ""));
    // Passes every check before the start; only exec() itself can tell it is no program.
    EXPECT_FALSE(runAndWait({makeFile(folder, "garbage", 0755)}, ""));
    EXPECT_FALSE(runAndWait({"/bin/true"}, folder.file("missing")));
}

TEST(RunAndWait, GivesNeitherOurInputNorOurFilesToTheProgram) {
    test::TempFolder folder;
    int input[2];
    ASSERT_EQ(::pipe(input), 0); // deliberately inheritable, and our input for a moment
    const int savedInput = ::dup(STDIN_FILENO);
    ::dup2(input[0], STDIN_FILENO);
    const auto script = "readlink /proc/$$/fd/0 > seen; test -e /proc/$$/fd/" +
                        std::to_string(input[1]) + " && echo leaked >> seen";
    const bool started = runAndWait({"/bin/sh", "-c", script}, folder.path());
    ::dup2(savedInput, STDIN_FILENO);
    for (const int fd : {savedInput, input[0], input[1]})
        ::close(fd);
    ASSERT_TRUE(started);
    EXPECT_EQ(test::readFile(folder.file("seen")), "/dev/null\n");
}

TEST(StartDetached, ReturnsWithoutWaitingForTheProgram) {
    test::TempFolder folder;
    const auto start = Clock::now();
    ASSERT_TRUE(startDetached({"/bin/sh", "-c", "echo $$ > pid.tmp; mv pid.tmp pid; exec sleep 2"},
                              folder.path()));
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1000));
    ASSERT_TRUE(waitForFile(folder.file("pid")));
    const pid_t sleeper = std::stoi(test::readFile(folder.file("pid")));
    EXPECT_EQ(::kill(sleeper, SIGTERM), 0); // nothing outlives the test
}

TEST(StartDetached, FailsWhenTheProgramCannotStart) {
    test::TempFolder folder;
    EXPECT_FALSE(startDetached({"zbpg-no-such-program"}, ""));
    EXPECT_FALSE(startDetached({makeFile(folder, "garbage", 0755)}, ""));
    EXPECT_FALSE(startDetached({"/bin/true"}, folder.file("missing")));
    EXPECT_FALSE(openWithDesktop(folder.path(), folder.file("missing")));
}

TEST(StartDetached, RunsInASessionOfItsOwnAndIsNotOurChild) {
    test::TempFolder folder;
    ASSERT_TRUE(startDetached({"/bin/sh", "-c",
                               "cat /proc/$$/stat > stat.tmp; readlink /proc/$$/fd/0 >> stat.tmp;"
                               " mv stat.tmp stat"},
                              folder.path()));
    ASSERT_TRUE(waitForFile(folder.file("stat")));
    // pid (name) state parent group session ... then the input's target on a line of its own
    const auto stat = test::readFile(folder.file("stat"));
    std::istringstream head(stat.substr(0, stat.find(' ')));
    std::istringstream tail(stat.substr(stat.rfind(')') + 1));
    pid_t pid = 0, parent = 0, group = 0, session = 0;
    char state = 0;
    head >> pid;
    tail >> state >> parent >> group >> session;
    // The session was opened by the middle process, so the program cannot take a terminal.
    EXPECT_GT(pid, 0);
    EXPECT_EQ(group, session);
    EXPECT_NE(session, pid);
    EXPECT_NE(session, ::getsid(0));
    EXPECT_NE(parent, ::getpid());
    EXPECT_NE(stat.find("\n/dev/null\n"), std::string::npos);
}

TEST(RunWithDeadline, GivesTheExitStatusInTimeElseEndsTheProgramAndWhatItStarted) {
    EXPECT_EQ(runWithDeadline({"sh", "-c", "sleep 0.2; exit 3"}, 5s), 3);
    EXPECT_EQ(runWithDeadline({"sh", "-c", "kill -9 $$"}, 5s), std::nullopt);
    EXPECT_EQ(runWithDeadline({"zbpg-no-such-program"}, 5s), std::nullopt);
    test::TempFolder folder;
    const std::string pid = folder.file("pid");
    // Deaf to the polite request, as is the program it starts: both have to be forced.
    const Words deaf{"sh", "-c", "trap '' TERM; sleep 30 & printf %s $! > " + pid + "; wait"};
    EXPECT_EQ(runWithDeadline(deaf, 1s), std::nullopt);
    ASSERT_FALSE(test::readFile(pid).empty()) << "started in time";
    // The started program is not our child: its end is only seen a moment after the kill.
    const auto endedOrUnreaped = [statPath = "/proc/" + test::readFile(pid) + "/stat"] {
        const std::string stat = test::readFile(statPath);
        return stat.empty() || stat.substr(stat.rfind(')') + 2, 1) == "Z";
    };
    EXPECT_TRUE(waitFor(endedOrUnreaped)) << "gone, or unreaped";
}

TEST(Sleep, ReplacedSleeperSeesThePauses) {
    std::vector<int> pauses;
    setSleeper([&pauses](int milliseconds) { pauses.push_back(milliseconds); });
    sleepMilliseconds(250);
    sleepMilliseconds(0);
    sleepMilliseconds(-5);
    sleepMilliseconds(1);
    setSleeper({});
    const auto start = Clock::now();
    sleepMilliseconds(30);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(30));
    EXPECT_EQ(pauses, (std::vector<int>{250, 1}));
}

} // namespace
} // namespace zbpg::platform

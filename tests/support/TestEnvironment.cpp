#include "support/TestEnvironment.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <unistd.h>
#include <utility>

namespace zbpg::test {
namespace {

using Variables = std::map<std::string, std::string>;

Variables currentVariables() {
    Variables variables;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        if (const auto equals = text.find('='); equals != std::string::npos)
            variables.emplace(text.substr(0, equals), text.substr(equals + 1));
    }
    return variables;
}

// Only the variables that differ are touched: other threads of the process may be reading.
void restoreVariables(const Variables& saved) {
    for (const auto& [name, value] : currentVariables()) {
        const auto kept = saved.find(name);
        if (kept == saved.end())
            ::unsetenv(name.c_str());
        else if (kept->second != value)
            ::setenv(name.c_str(), kept->second.c_str(), 1);
    }
    for (const auto& [name, value] : saved)
        if (std::getenv(name.c_str()) == nullptr)
            ::setenv(name.c_str(), value.c_str(), 1);
}

// GSettings finds its schemas through XDG_DATA_DIRS (by default the two below), which the tests
// empty: the machine's schema folders are named to it directly instead.
void keepSchemasReachable() {
    const char* dataDirs = std::getenv("XDG_DATA_DIRS");
    std::istringstream folders(dataDirs != nullptr && *dataDirs ? dataDirs
                                                                : "/usr/local/share:/usr/share");
    const char* named = std::getenv("GSETTINGS_SCHEMA_DIR");
    std::string schemaDirs = named != nullptr ? named : "";
    for (std::string folder; std::getline(folders, folder, ':');)
        if (std::filesystem::is_directory(folder + "/glib-2.0/schemas"))
            schemaDirs += (schemaDirs.empty() ? "" : ":") + folder + "/glib-2.0/schemas";
    ::setenv("GSETTINGS_SCHEMA_DIR", schemaDirs.c_str(), 1);
}

// HOME and the XDG folders in the given folder, left for the program to make as it would in a
// new home; the machine-wide XDG lists name an empty folder of it, so that no configuration of
// the machine reaches a test.
void pointHomeAt(const TempFolder& home, const std::function<void()>& forEachHome) {
    ::setenv("HOME", home.path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", home.file(".config").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", home.file(".cache").c_str(), 1);
    ::setenv("XDG_DATA_HOME", home.file(".local/share").c_str(), 1);
    std::filesystem::create_directory(home.file("machine"));
    ::setenv("XDG_CONFIG_DIRS", home.file("machine").c_str(), 1);
    ::setenv("XDG_DATA_DIRS", home.file("machine").c_str(), 1);
    if (forEachHome)
        forEachHome();
}

class FreshHomeForEachTest final : public ::testing::EmptyTestEventListener {
public:
    explicit FreshHomeForEachTest(std::function<void()> forEachHome)
        : m_forEachHome(std::move(forEachHome)) {}

private:
    void OnTestStart(const ::testing::TestInfo&) override {
        m_saved = currentVariables();
        m_home.emplace();
        pointHomeAt(*m_home, m_forEachHome);
    }
    void OnTestEnd(const ::testing::TestInfo&) override {
        restoreVariables(m_saved);
        if (m_forEachHome)
            m_forEachHome();
        m_home.reset();
    }

    std::function<void()> m_forEachHome;
    Variables m_saved;
    std::optional<TempFolder> m_home;
};

} // namespace

TestEnvironment::TestEnvironment(std::function<void()> forEachHome) {
    for (const char* name :
         {"XDG_CURRENT_DESKTOP", "XDG_SESSION_DESKTOP", "DESKTOP_SESSION", "SWAYSOCK"})
        ::unsetenv(name);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    keepSchemasReachable();
    // A runtime folder of the process's own: no socket of the session the tests run in is
    // reached through it, and Qt has the folder it expects.
    const std::string runtime = m_processHome.file("runtime");
    std::filesystem::create_directory(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    pointHomeAt(m_processHome, forEachHome);
    ::testing::UnitTest::GetInstance()->listeners().Append(
        new FreshHomeForEachTest(std::move(forEachHome)));
}

} // namespace zbpg::test

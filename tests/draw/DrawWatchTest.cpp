#include "draw/DrawWatch.h"

#include "common/zbpg_common.h"
#include "options/OptionsStore.h"
#include "platform/os/SystemInfo.h"
#include "support/RecordingDesktopService.h"

#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>

namespace zbpg {
namespace {

// System information the test changes as the machine would.
class ChangingSystemInfo final : public platform::SystemInfoService {
public:
    ChangingSystemInfo() { platform::setSystemInfoService(this); }
    ~ChangingSystemInfo() override { platform::setSystemInfoService(nullptr); }
    ChangingSystemInfo(const ChangingSystemInfo&) = delete;
    ChangingSystemInfo& operator=(const ChangingSystemInfo&) = delete;

    std::string loginUserName() override { return "zorbel"; }
    std::string hostName() override { return host; }
    std::string localIPv4Address() override { return address; }

    std::string host = "paneglyph-a";
    std::string address = "192.0.2.10";
};

constexpr std::chrono::milliseconds kSettle{50};

// A watch over a drawing of the computer name alone, whose redraws are counted.
class DrawWatchTest : public ::testing::Test {
protected:
    DrawWatchTest() {
        (void)SetWallpaperFile("/pictures/clean.bmp");
        options.systemInfo[static_cast<std::size_t>(SystemInfoLine::User)].draw = false;
        options.systemInfo[static_cast<std::size_t>(SystemInfoLine::IPAddress)].draw = false;
    }

    DrawWatch& watch() {
        if (!m_watch)
            m_watch = std::make_unique<DrawWatch>(
                DrawWatch::Steps{
                    [this] { return options; },
                    [this](const Options&) {
                        ++redraws;
                        if (!redrawError.empty())
                            throw std::runtime_error(redrawError);
                    },
                    [this](const auto& names) { told.push_back(names); },
                    [this](const std::string& message) { failures.push_back(message); },
                    [this] { ++checks; }},
                drawnValuesNow(options), kSettle);
        return *m_watch;
    }
    // A change told, and the time for its check and a little more.
    void noteAndSettle() {
        watch().noteChange();
        QTest::qWait(static_cast<int>(kSettle.count()) * 4);
    }

public: // what the changes of the parameterised test change
    test::FakeDesktopService desktop{1024, 768};
    ChangingSystemInfo system;

protected:
    Options options = factoryOptions();
    int redraws = 0;
    int checks = 0; // ended, whatever they found
    std::string redrawError;
    std::vector<std::vector<std::string>> told;
    std::vector<std::string> failures;

private:
    std::unique_ptr<DrawWatch> m_watch;
};

struct Change {
    const char* name;
    std::function<void(DrawWatchTest&)> make;
    std::vector<std::string> told; // empty: nothing drawn changed
};

void PrintTo(const Change& change, std::ostream* out) {
    *out << change.name;
}

class DrawnChange : public DrawWatchTest, public ::testing::WithParamInterface<Change> {};

TEST_P(DrawnChange, RedrawsOnceExactlyWhenADrawnValueChanged) {
    watch();
    GetParam().make(*this);
    noteAndSettle();
    EXPECT_EQ(redraws, GetParam().told.empty() ? 0 : 1);
    if (!GetParam().told.empty()) {
        ASSERT_EQ(told.size(), 1u);
        EXPECT_EQ(told.front(), GetParam().told);
    }
    noteAndSettle();
    EXPECT_LE(redraws, 1) << "drawn with the new values, nothing has changed since";
    EXPECT_EQ(checks, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Values, DrawnChange,
    ::testing::Values(
        Change{"Nothing", [](DrawWatchTest&) {}, {}},
        Change{"HostName",
               [](DrawWatchTest& world) { world.system.host = "paneglyph-b"; },
               {"コンピュータ名"}},
        Change{"AddressNotDrawn",
               [](DrawWatchTest& world) { world.system.address = "198.51.100.7"; },
               {}},
        Change{"ScreenSize", [](DrawWatchTest& world) { world.desktop.height = 600; }, {"画面"}},
        Change{"ChosenWallpaper",
               [](DrawWatchTest& world) {
                   world.desktop.chosen = platform::DesktopWallpaper{
                       "/pictures/chosen.png", platform::WallpaperStyle::Cover, {}};
               },
               {"壁紙"}},
        Change{"HostAndScreen",
               [](DrawWatchTest& world) {
                   world.system.host = "paneglyph-b";
                   world.desktop.width = 800;
               },
               {"画面", "コンピュータ名"}}),
    [](const auto& change) { return std::string(change.param.name); });

TEST_F(DrawWatchTest, ChangesWithinTheSettleTimeMakeOneRedraw) {
    for (const char* host : {"b", "c", "d"}) {
        system.host = host;
        watch().noteChange();
    }
    QTest::qWait(static_cast<int>(kSettle.count()) * 4);
    EXPECT_EQ(redraws, 1);
}

TEST_F(DrawWatchTest, ALineSwitchedOnInTheSettingsCountsAsChanged) {
    watch();
    options.systemInfo[static_cast<std::size_t>(SystemInfoLine::IPAddress)].draw = true;
    noteAndSettle();
    EXPECT_EQ(redraws, 1);
}

TEST_F(DrawWatchTest, AFailedRedrawIsToldAndTriedAgainAtTheNextChange) {
    watch();
    system.host = "paneglyph-b";
    redrawError = "壁紙を表示できるデスクトップがありません";
    noteAndSettle();
    EXPECT_EQ(failures, std::vector<std::string>{redrawError});
    redrawError.clear();
    noteAndSettle();
    EXPECT_EQ(redraws, 2);
    EXPECT_EQ(told.size(), 1u);
}

} // namespace
} // namespace zbpg

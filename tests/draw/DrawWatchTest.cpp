#include "draw/DrawWatch.h"

#include "options/OptionsStore.h"
#include "support/FixedSystemInfo.h"
#include "support/RecordingDesktopService.h"

#include <QTest>
#include <gtest/gtest.h>
#include <stdexcept>

namespace zbpg {
namespace {

Options computerNameOnly() {
    Options options = factoryOptions();
    options.systemInfo[0].draw = options.systemInfo[2].draw = false;
    return options;
}

// A watch over a drawing of the computer name alone, settling within 50 ms; what its redraws and
// failures tell is kept.
class DrawWatchTest : public ::testing::Test {
protected:
    void noteAndSettle() {
        watch.noteChange();
        QTest::qWait(200);
    }

    test::FakeDesktopService desktop{1024, 768};
    test::FixedSystemInfo system;
    Options options = computerNameOnly();
    bool failFirst = false;
    int redraws = 0, checks = 0;
    std::vector<std::vector<std::string>> told;
    DrawWatch watch{{[this] { return options; },
                     [this](const Options&) {
                         if (++redraws == 1 && failFirst)
                             throw std::runtime_error("no desktop");
                     },
                     [this](const auto& names) { told.push_back(names); },
                     [this](const std::string& message) { told.push_back({message}); },
                     [this] { ++checks; }},
                    drawnValuesNow(options),
                    std::chrono::milliseconds(50)};
};

TEST_F(DrawWatchTest, RedrawsWhenADrawnValueChangedOnlyAndAfterAFailureAtTheNextChange) {
    noteAndSettle();
    system.address = "10.0.0.9"; // a line not drawn
    noteAndSettle();
    failFirst = true;
    system.host = "b";
    noteAndSettle();
    desktop.height = 600;
    noteAndSettle();
    noteAndSettle(); // drawn with these values since
    EXPECT_EQ(checks, 5);
    EXPECT_EQ(redraws, 2);
    EXPECT_EQ(told, (decltype(told){{"no desktop"}, {"画面", "コンピュータ名"}}));
}

} // namespace
} // namespace zbpg

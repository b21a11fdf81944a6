#include "options/OptionItems.h"

namespace zbpg {
namespace {

// Takes every option and does nothing with it.
struct IgnoringVisitor {
    template <typename... Arguments> constexpr void integer(Arguments&&...) {}
    template <typename... Arguments> constexpr void position(Arguments&&...) {}
    template <typename... Arguments> constexpr void flag(Arguments&&...) {}
    template <typename... Arguments> constexpr void radio(Arguments&&...) {}
    template <typename... Arguments> constexpr void anchor(Arguments&&...) {}
    template <typename... Arguments> constexpr void text(Arguments&&...) {}
    template <typename... Arguments> constexpr void font(Arguments&&...) {}
    template <typename... Arguments> constexpr void strings(Arguments&&...) {}
    template <typename... Arguments> constexpr void list(Arguments&&...) {}
    template <typename... Arguments> constexpr void checkRows(Arguments&&...) {}
};

// The walk of the options, done while compiling: an option without an item of its kind stops
// the compilation where ItemWalk raises, an item without an option fails the assertion.
consteval bool bindsEveryOptionItem() {
    Options options;
    IgnoringVisitor ignoring;
    ItemWalk walk(ignoring);
    walkOptions(walk, options);
    return walk.tookEveryItem();
}

static_assert(bindsEveryOptionItem(),
              "every settings item the options write needs its option in walkOptions");

} // namespace
} // namespace zbpg

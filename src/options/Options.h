#pragma once

#include "settings/ComponentStream.h"
#include "text/ColorText.h"
#include "text/FontDescription.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zbpg {

// Every option of the program as a plain value: what the settings file stores, what the
// settings window shows and edits, and what a draw run draws with. Loading is file -> options
// -> window, saving window -> options -> file (OptionsStore.h). A value made by its constructor
// starts blank (false, zero, empty); the values of a new installation are factoryOptions().

// The items of the draw sequence. They are stored by their texts; any other text draws nothing.
enum class DrawItem { ScreenSize, SystemInfo, FreeMessage };
std::optional<DrawItem> drawItemOfText(std::string_view text);

// The buttons of the groups, in the order of their stored items.
enum class DrawMethod { Overwrite, Rewrite };
enum class WallpaperPosition { Center, Tile, Stretch };
enum class WallpaperOrder { Random, Sequential };
// Where the screen-size frames are pinned.
enum class FrameAnchor { TopLeft, BottomLeft, TopRight, BottomRight, Center };
enum class MessageSource { File, Input };

// The buttons of one group, each stored as an item of its own. A file may hold any mix; the
// window keeps at most one of a radio group checked, and always one anchor button down.
template <typename Button, std::size_t N> struct ButtonGroup {
    std::array<bool, N> down{};

    bool isDown(Button button) const { return down[index(button)]; }
    // As the window sets one button on loading: checking one releases the others; releasing a
    // radio button checks no other; releasing the anchor button that is down has no effect.
    void set(Button button, bool value, bool oneAlwaysDown = false) {
        if (value) {
            down.fill(false);
            down[index(button)] = true;
        } else if (!(oneAlwaysDown && isDown(button))) {
            down[index(button)] = false;
        }
    }
    bool operator==(const ButtonGroup&) const = default;

private:
    static std::size_t index(Button button) { return static_cast<std::size_t>(button); }
};

// A row of a visible check list: the text and its check.
struct CheckListRow {
    std::string text;
    bool checked = false;
    bool operator==(const CheckListRow&) const = default;
};

// The size of the primary screen, which bounds every coordinate field.
struct ScreenBounds {
    int width = 1024;
    int height = 768;

    // The largest X and Y a coordinate field takes: the last column and row of the screen.
    std::int16_t maxX() const { return static_cast<std::int16_t>(width - 1); }
    std::int16_t maxY() const { return static_cast<std::int16_t>(height - 1); }
};

// The longest start-up wait, in seconds.
inline constexpr std::int16_t kMaxStartUpWait = 999;

// The window's place (section System).
struct WindowOptions {
    std::int32_t left = 0;
    std::int32_t top = 0;
    bool operator==(const WindowOptions&) const = default;
};

// The page "設定" (section Application).
struct DrawingOptions {
    ButtonGroup<DrawMethod, 2> method; // DrawTypeOverwrite, DrawTypeRewrite
    ListControlDescription drawSeq;    // ListBoxDrawSeq: its layout and the item texts in order
    std::int16_t startUpWaitSec = 0;

    std::vector<DrawItem> sequence() const;
    bool operator==(const DrawingOptions&) const = default;
};

// The page "壁紙設定" (section Wallpaper).
struct WallpaperOptions {
    bool draw = false;
    bool subFolder = false;
    ButtonGroup<WallpaperPosition, 3> position; // WPPCenter, WPPEnum, WPPSpread
    ButtonGroup<WallpaperOrder, 2> order;       // WPSRandom, WPSSeq
    ListControlDescription stat;                // ListBoxWPStat: "1" or "0" per entry
    ListControlDescription file;                // ListBoxWPFile: the entry's file or folder
    std::vector<CheckListRow> rows;             // CheckListBoxWPList
    bool operator==(const WallpaperOptions&) const = default;
};

// A fixed frame size: its size and its caption, which is also the frame's label.
struct FrameSize {
    int width;
    int height;
};
inline constexpr std::array<FrameSize, 6> kFixedFrameSizes{
    {{640, 480}, {800, 600}, {1024, 768}, {1152, 864}, {1280, 1024}, {1600, 1200}}};

// The page "画面サイズ" (section MonitorFrame).
struct MonitorFrameOptions {
    bool draw = false;
    ButtonGroup<FrameAnchor, 5> anchor; // MFPositionLT, LB, RT, RB, Center; one always down
    std::array<bool, kFixedFrameSizes.size()> sizes{}; // MFSZ1 … MFSZ6
    bool freeSize = false;
    std::int16_t freeWidth = 0;
    std::int16_t freeHeight = 0;
    std::string comment; // the free size's label
    Color color = kColorBlack;
    FontDescription font; // of the labels

    // The first button down of left top, left bottom, right top, right bottom; else the centre.
    FrameAnchor frameAnchor() const;
    bool operator==(const MonitorFrameOptions&) const = default;
};

// One line of the page "システム情報" (section SystemInfo).
struct SystemInfoLineOptions {
    bool draw = false;
    std::string label;
    std::int16_t left = 0;
    std::int16_t top = 0;
    FontDescription font;
    bool operator==(const SystemInfoLineOptions&) const = default;
};

// The three lines in their fixed order.
enum class SystemInfoLine : std::size_t { User, Computer, IPAddress };
inline constexpr std::size_t kSystemInfoLines = 3;

// The page "任意表示" (section FreeMessage).
struct FreeMessageOptions {
    bool draw = false;
    ButtonGroup<MessageSource, 2> source; // FMCheckFile, FMCheckInput
    std::string file;
    std::vector<std::string> input; // the typed lines
    std::int16_t lineInterval = 0;
    FontDescription font;
    std::int16_t left = 0;
    std::int16_t top = 0;

    bool fromFile() const { return source.isDown(MessageSource::File); }
    bool operator==(const FreeMessageOptions&) const = default;
};

// The ten fields of an application entry, in their stored order.
enum class AppEntryField : std::size_t {
    Stat,
    Cmd,
    CmdParam,
    TmpDir,
    STNormal,
    STMin,
    STMax,
    WTWait,
    WTNoWait,
    WTNoWaitSec
};
inline constexpr std::array<const char*, 10> kAppEntryFieldNames{
    "Stat",  "Cmd",   "CmdParam", "TmpDir",   "STNormal",
    "STMin", "STMax", "WTWait",   "WTNoWait", "WTNoWaitSec"};

// The two application lists: started before and after drawing.
enum class AppList : std::size_t { Before, After };
// The stem of a list's items and hidden lists: "AEB" (before) or "AEA" (after).
const char* appListStem(AppList list);

// One application list (section AppExec): one hidden list per field, line i of each belonging
// to entry i, and the visible check list built from the first two.
struct AppListOptions {
    std::array<ListControlDescription, kAppEntryFieldNames.size()> fields;
    std::vector<CheckListRow> rows;

    constexpr ListControlDescription& field(AppEntryField which) {
        return fields[static_cast<std::size_t>(which)];
    }
    constexpr const ListControlDescription& field(AppEntryField which) const {
        return fields[static_cast<std::size_t>(which)];
    }
    // The line of an entry's field; empty where the field list is shorter.
    const std::string& value(std::size_t entry, AppEntryField which) const;
    bool operator==(const AppListOptions&) const = default;
};

struct Options {
    WindowOptions window;
    DrawingOptions drawing;
    WallpaperOptions wallpaper;
    MonitorFrameOptions monitorFrame;
    std::array<SystemInfoLineOptions, kSystemInfoLines> systemInfo;
    FreeMessageOptions freeMessage;
    std::array<AppListOptions, 2> appLists;

    SystemInfoLineOptions& line(SystemInfoLine which) {
        return systemInfo[static_cast<std::size_t>(which)];
    }
    const SystemInfoLineOptions& line(SystemInfoLine which) const {
        return systemInfo[static_cast<std::size_t>(which)];
    }
    AppListOptions& appList(AppList which) { return appLists[static_cast<std::size_t>(which)]; }
    const AppListOptions& appList(AppList which) const {
        return appLists[static_cast<std::size_t>(which)];
    }
    bool operator==(const Options&) const = default;
};

// The options of a new installation, before anything is loaded: each option as the default
// text of its settings item has it (the window at (0, 0), the frames' colour), the shipped
// fonts (the reset restores them with the colour), the draw sequence in its first order and
// every list empty, each list with the layout the settings file records for it.
Options factoryOptions();

} // namespace zbpg

#include "options/Options.h"

#include "options/OptionItems.h"
#include "settings/Schema.h"
#include "text/IntegerText.h"
#include "text/Texts.h"

#include <limits>

namespace zbpg {
namespace {

constexpr std::array<std::pair<DrawItem, const char*>, 3> kDrawItemTexts{{
    {DrawItem::ScreenSize, texts::kScreenSizeItem},
    {DrawItem::SystemInfo, texts::kSystemInfoItem},
    {DrawItem::FreeMessage, texts::kFreeMessageItem},
}};

// A list the window keeps out of sight, with the layout its stream records.
ListControlDescription hiddenList(const std::string& name, int tag, int left, int top, int width,
                                  int height, int tabOrder) {
    ListControlDescription list;
    list.name = name;
    list.tag = tag;
    list.left = left;
    list.top = top;
    list.width = width;
    list.height = height;
    list.itemHeight = 12;
    list.tabOrder = tabOrder;
    list.visible = false;
    return list;
}

// The shipped font of the drawn items: bold white "ＭＳ ゴシック" of the given pixel height.
FontDescription shippedFont(int pixels) {
    return FontDescription{"ＭＳ ゴシック", -pixels, kColorWhite, kFontBold, kShiftJisCharset};
}

AppListOptions shippedAppList(AppList which) {
    AppListOptions list;
    const std::string stem = std::string("ListBox") + appListStem(which);
    for (std::size_t i = 0; i < list.fields.size(); ++i) {
        // Two rows of five, 48 pixels apart. The last three lists of the after group carry
        // Tag 0, as the window's layout has them.
        const int tag = which == AppList::After && i < 7 ? 1 : 0;
        const int left = 24 + 48 * static_cast<int>(i % 5);
        const int top = i < 5 ? 32 : 72;
        list.fields[i] = hiddenList(stem + kAppEntryFieldNames[i], tag, left, top, 41, 33,
                                    static_cast<int>(i) + 1);
    }
    return list;
}

// Gives each option the value its item's default text stands for, as a read of a store that
// holds none of the items gives it. Fonts and lists keep theirs: the texts cannot hold them.
class DefaultSetter {
public:
    static void integer(const SettingsItem& item, std::int32_t& value) {
        value = defaultInteger(item);
    }
    static void position(const SettingsItem& item, std::int16_t& value, Bound) {
        value = clampToRange(defaultInteger(item), 0, std::numeric_limits<std::int16_t>::max());
    }
    static void flag(const SettingsItem& item, bool& value) {
        value = isTrueText(item.defaultText);
    }
    template <typename Button, std::size_t N>
    static void radio(const SettingsItem& item, ButtonGroup<Button, N>& group, Button button) {
        group.set(button, isTrueText(item.defaultText));
    }
    template <typename Button, std::size_t N>
    static void anchor(const SettingsItem& item, ButtonGroup<Button, N>& group, Button button) {
        group.set(button, isTrueText(item.defaultText), true);
    }
    static void text(const SettingsItem& item, std::string& value) { value = item.defaultText; }
    static void font(const SettingsItem&, FontDescription&) {}
    static void strings(const SettingsItem&, std::vector<std::string>& lines) { lines.clear(); }
    static void list(const SettingsItem&, ListControlDescription&) {}
    static void checkRows(const ListControlDescription&, const ListControlDescription&,
                          std::vector<CheckListRow>&) {}

private:
    static std::int32_t defaultInteger(const SettingsItem& item) {
        return integerTextOr(item.defaultText, 0);
    }
};

} // namespace

std::optional<DrawItem> drawItemOfText(std::string_view text) {
    for (const auto& [item, known] : kDrawItemTexts) {
        if (text == known)
            return item;
    }
    return std::nullopt;
}

std::vector<DrawItem> DrawingOptions::sequence() const {
    std::vector<DrawItem> items;
    for (const auto& line : drawSeq.lines) {
        if (const auto item = drawItemOfText(line))
            items.push_back(*item);
    }
    return items;
}

FrameAnchor MonitorFrameOptions::frameAnchor() const {
    for (const FrameAnchor corner : {FrameAnchor::TopLeft, FrameAnchor::BottomLeft,
                                     FrameAnchor::TopRight, FrameAnchor::BottomRight}) {
        if (anchor.isDown(corner))
            return corner;
    }
    return FrameAnchor::Center;
}

const char* appListStem(AppList list) {
    return list == AppList::Before ? "AEB" : "AEA";
}

const std::string& AppListOptions::value(std::size_t entry, AppEntryField which) const {
    static const std::string none;
    const auto& lines = field(which).lines;
    return entry < lines.size() ? lines[entry] : none;
}

Options factoryOptions() {
    Options options;
    options.drawing.drawSeq = shippedDrawSequence();
    options.wallpaper.stat = hiddenList("ListBoxWPStat", 0, 16, 16, 121, 97, 1);
    options.wallpaper.file = hiddenList("ListBoxWPFile", 0, 144, 16, 121, 97, 2);
    options.monitorFrame.font = shippedFont(11);
    for (auto& line : options.systemInfo)
        line.font = shippedFont(12);
    options.freeMessage.font = shippedFont(12);
    options.appList(AppList::Before) = shippedAppList(AppList::Before);
    options.appList(AppList::After) = shippedAppList(AppList::After);

    DefaultSetter defaults;
    visitOptions(defaults, options);
    return options;
}

} // namespace zbpg

#include "options/Options.h"

#include "settings/Schema.h"
#include "text/Texts.h"

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

} // namespace

const char* drawItemText(DrawItem item) {
    for (const auto& [known, text] : kDrawItemTexts) {
        if (known == item)
            return text;
    }
    return "";
}

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
    options.drawing.method.down = {true, false};
    options.drawing.drawSeq = shippedDrawSequence();

    options.wallpaper.position.down = {true, false, false};
    options.wallpaper.order.down = {true, false};
    options.wallpaper.stat = hiddenList("ListBoxWPStat", 0, 16, 16, 121, 97, 1);
    options.wallpaper.file = hiddenList("ListBoxWPFile", 0, 144, 16, 121, 97, 2);

    options.monitorFrame.anchor.down = {true, false, false, false, false};
    options.monitorFrame.sizes.fill(true);
    options.monitorFrame.font = shippedFont(11);

    const char* labels[] = {texts::kUserLabel, texts::kComputerLabel, texts::kIPAddressLabel};
    for (std::size_t i = 0; i < kSystemInfoLines; ++i) {
        auto& line = options.systemInfo[i];
        line.label = labels[i];
        line.left = 810;
        line.top = static_cast<std::int16_t>(610 + 20 * i);
        line.font = shippedFont(12);
    }

    options.freeMessage.source.down = {false, true};
    options.freeMessage.font = shippedFont(12);

    options.appList(AppList::Before) = shippedAppList(AppList::Before);
    options.appList(AppList::After) = shippedAppList(AppList::After);
    return options;
}

} // namespace zbpg

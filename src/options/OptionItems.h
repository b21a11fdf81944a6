#pragma once

#include "options/Options.h"
#include "settings/Schema.h"

#include <cstddef>
#include <stdexcept>

namespace zbpg {

// What bounds a coordinate or a wait when it is read: the screen's width or height, or
// kMaxStartUpWait.
enum class Bound { X, Y, StartUpWait };

// Binds each option to the settings item that stores it and hands both to a visitor. The items
// the options write (ItemWriter::Options) are taken one after another in the order of
// kSettingsItems, each by an option of its kind. A walk that takes an item of another kind, or
// more items than there are, raises std::logic_error; OptionItems.cpp walks the options while
// compiling, which turns that, and an item left without an option, into a compile error.
template <typename Visitor> class ItemWalk final {
public:
    constexpr explicit ItemWalk(Visitor& visitor) : m_visitor(visitor) {}

    template <typename Value> constexpr void integer(Value& value) {
        m_visitor.integer(next(ItemKind::Integer), value);
    }
    template <typename Value> constexpr void position(Value& value, Bound bound) {
        m_visitor.position(next(ItemKind::Integer), value, bound);
    }
    template <typename Value> constexpr void flag(Value& value) {
        m_visitor.flag(next(ItemKind::Boolean), value);
    }
    // One button of a group, stored as an item of its own.
    template <typename Group, typename Button> constexpr void radio(Group& group, Button button) {
        m_visitor.radio(next(ItemKind::Boolean), group, button);
    }
    // One button of a group that always has one button down.
    template <typename Group, typename Button> constexpr void anchor(Group& group, Button button) {
        m_visitor.anchor(next(ItemKind::Boolean), group, button);
    }
    template <typename Value> constexpr void text(Value& value) {
        m_visitor.text(next(ItemKind::Text), value);
    }
    template <typename Value> constexpr void font(Value& value) {
        m_visitor.font(next(ItemKind::Font), value);
    }
    template <typename Value> constexpr void strings(Value& lines) {
        m_visitor.strings(next(ItemKind::Strings), lines);
    }
    template <typename Value> constexpr void list(Value& value) {
        m_visitor.list(next(ItemKind::ListControl), value);
    }
    // A visible check list, built from its status and text lists, which are read by then.
    template <typename Status, typename Texts, typename Rows>
    constexpr void checkRows(Status& status, Texts& texts, Rows& rows) {
        m_visitor.checkRows(status, texts, rows);
    }

    // Whether every item the options write has been taken.
    constexpr bool tookEveryItem() {
        skipItemsOfTheirParts();
        return m_next == kSettingsItems.size();
    }

private:
    constexpr void skipItemsOfTheirParts() {
        while (m_next < kSettingsItems.size() &&
               kSettingsItems[m_next].writer != ItemWriter::Options)
            ++m_next;
    }
    constexpr const SettingsItem& next(ItemKind kind) {
        skipItemsOfTheirParts();
        if (m_next == kSettingsItems.size() || kSettingsItems[m_next].kind != kind)
            throw std::logic_error("the options do not match the settings items");
        return kSettingsItems[m_next++];
    }

    Visitor& m_visitor;
    std::size_t m_next = 0;
};

// Every option the settings file stores, in the order of the items that store them.
template <typename Visitor, typename AllOptions>
constexpr void walkOptions(ItemWalk<Visitor>& v, AllOptions& o) {
    v.integer(o.window.left);
    v.integer(o.window.top);
    v.radio(o.drawing.method, DrawMethod::Overwrite);
    v.radio(o.drawing.method, DrawMethod::Rewrite);
    v.list(o.drawing.drawSeq);
    v.position(o.drawing.startUpWaitSec, Bound::StartUpWait);

    auto& wallpaper = o.wallpaper;
    v.flag(wallpaper.draw);
    v.flag(wallpaper.subFolder);
    v.radio(wallpaper.position, WallpaperPosition::Center);
    v.radio(wallpaper.position, WallpaperPosition::Tile);
    v.radio(wallpaper.position, WallpaperPosition::Stretch);
    v.radio(wallpaper.order, WallpaperOrder::Random);
    v.radio(wallpaper.order, WallpaperOrder::Sequential);
    v.list(wallpaper.stat);
    v.list(wallpaper.file);
    v.checkRows(wallpaper.stat, wallpaper.file, wallpaper.rows);

    auto& frame = o.monitorFrame;
    v.flag(frame.draw);
    v.anchor(frame.anchor, FrameAnchor::TopLeft);
    v.anchor(frame.anchor, FrameAnchor::BottomLeft);
    v.anchor(frame.anchor, FrameAnchor::TopRight);
    v.anchor(frame.anchor, FrameAnchor::BottomRight);
    v.anchor(frame.anchor, FrameAnchor::Center);
    for (auto& size : frame.sizes)
        v.flag(size);
    v.flag(frame.freeSize);
    v.position(frame.freeWidth, Bound::X);
    v.position(frame.freeHeight, Bound::Y);
    v.text(frame.comment);
    v.integer(frame.color);
    v.font(frame.font);

    for (auto& line : o.systemInfo) {
        v.flag(line.draw);
        v.text(line.label);
        v.position(line.left, Bound::X);
        v.position(line.top, Bound::Y);
        v.font(line.font);
    }

    auto& message = o.freeMessage;
    v.flag(message.draw);
    v.radio(message.source, MessageSource::File);
    v.text(message.file);
    v.radio(message.source, MessageSource::Input);
    v.strings(message.input);
    v.position(message.lineInterval, Bound::Y);
    v.font(message.font);
    v.position(message.left, Bound::X);
    v.position(message.top, Bound::Y);

    for (auto& list : o.appLists) {
        for (auto& field : list.fields)
            v.list(field);
        v.checkRows(list.field(AppEntryField::Stat), list.field(AppEntryField::Cmd), list.rows);
    }
}

// Hands every option, with its item, to a visitor with the methods integer, position, flag,
// radio, anchor, text, font, strings and list, each taking (item, option, …), and checkRows
// (status, texts, rows). AllOptions is Options for a load and const Options for a save.
template <typename Visitor, typename AllOptions>
constexpr void visitOptions(Visitor& visitor, AllOptions& options) {
    ItemWalk walk(visitor);
    walkOptions(walk, options);
}

} // namespace zbpg

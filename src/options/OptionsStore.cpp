#include "options/OptionsStore.h"

#include "settings/Schema.h"
#include "base/Error.h"
#include "text/IntegerText.h"
#include "text/Texts.h"

#include <algorithm>

namespace zbpg {
namespace {

enum class Bound { X, Y, StartUpWait };

// Every stored option once, in the order of the schema; the visitor reads or writes each.
// Options is const for a save and not for a load.
template <typename Visitor, typename AllOptions> void visitItems(Visitor& v, AllOptions& o) {
    v.integer("Left", o.window.left);
    v.integer("Top", o.window.top);
    v.radio("DrawTypeOverwrite", o.drawing.method, DrawMethod::Overwrite);
    v.radio("DrawTypeRewrite", o.drawing.method, DrawMethod::Rewrite);
    v.list("DrawSeq", o.drawing.drawSeq);
    v.position("StartUpWaitSec", o.drawing.startUpWaitSec, Bound::StartUpWait);

    auto& wallpaper = o.wallpaper;
    v.flag("WallpaperDraw", wallpaper.draw);
    v.flag("WPSubFolder", wallpaper.subFolder);
    v.radio("WPPCenter", wallpaper.position, WallpaperPosition::Center);
    v.radio("WPPEnum", wallpaper.position, WallpaperPosition::Tile);
    v.radio("WPPSpread", wallpaper.position, WallpaperPosition::Stretch);
    v.radio("WPSRandom", wallpaper.order, WallpaperOrder::Random);
    v.radio("WPSSeq", wallpaper.order, WallpaperOrder::Sequential);
    v.list("WPStat", wallpaper.stat);
    v.list("WPFile", wallpaper.file);
    v.checkRows("WPStat", wallpaper.stat, wallpaper.file, wallpaper.rows);

    auto& frame = o.monitorFrame;
    v.flag("MonitorFrameDraw", frame.draw);
    v.anchor("MFPositionLT", frame.anchor, FrameAnchor::TopLeft);
    v.anchor("MFPositionLB", frame.anchor, FrameAnchor::BottomLeft);
    v.anchor("MFPositionRT", frame.anchor, FrameAnchor::TopRight);
    v.anchor("MFPositionRB", frame.anchor, FrameAnchor::BottomRight);
    v.anchor("MFPositionCenter", frame.anchor, FrameAnchor::Center);
    for (std::size_t i = 0; i < frame.sizes.size(); ++i)
        v.flag("MFSZ" + std::to_string(i + 1), frame.sizes[i]);
    v.flag("MFSZFree", frame.freeSize);
    v.position("MFSZFWidth", frame.freeWidth, Bound::X);
    v.position("MFSZFHeight", frame.freeHeight, Bound::Y);
    v.text("MFSZFCmnt", frame.comment);
    v.integer("MFColor", frame.color);
    v.font("MFFont", frame.font);

    const char* const lines[] = {"SIUser", "SIComp", "SIIPAddr"};
    for (std::size_t i = 0; i < kSystemInfoLines; ++i) {
        const std::string stem = lines[i];
        auto& line = o.systemInfo[i];
        v.flag(stem + "Draw", line.draw);
        v.text(stem + "Label", line.label);
        v.position(stem + "Left", line.left, Bound::X);
        v.position(stem + "Top", line.top, Bound::Y);
        v.font(stem + "Font", line.font);
    }

    auto& message = o.freeMessage;
    v.flag("FreeMessageDraw", message.draw);
    v.radio("FMCheckFile", message.source, MessageSource::File);
    v.text("FMFile", message.file);
    v.radio("FMCheckInput", message.source, MessageSource::Input);
    v.strings("FMInput", message.input);
    v.position("FMLineInterval", message.lineInterval, Bound::Y);
    v.font("FMFont", message.font);
    v.position("FMLeft", message.left, Bound::X);
    v.position("FMTop", message.top, Bound::Y);

    for (const AppList which : {AppList::Before, AppList::After}) {
        auto& list = o.appList(which);
        for (std::size_t i = 0; i < list.fields.size(); ++i)
            v.list(appListStem(which) + std::string(kAppEntryFieldNames[i]), list.fields[i]);
        v.checkRows(appListStem(which) + std::string("Stat"), list.field(AppEntryField::Stat),
                    list.field(AppEntryField::Cmd), list.rows);
    }
}

// Reads each item on its own: an item that cannot be read keeps its value as it stood (a font
// what was read of it before the error), its message is noted, and the next item loads.
class Loader {
public:
    Loader(TRegManager& settings, const ScreenBounds& screen)
        : m_settings(settings), m_screen(screen) {}

    void integer(const std::string& name, std::int32_t& value) {
        read(name, [&](TRegFiler& filer) { value = filer.ReadInteger(); });
    }
    void position(const std::string& name, std::int16_t& value, Bound bound) {
        read(name, [&](TRegFiler& filer) {
            value = clampToRange(filer.ReadInteger(), 0, maximum(bound));
        });
    }
    void flag(const std::string& name, bool& value) {
        read(name, [&](TRegFiler& filer) { value = filer.ReadBool(); });
    }
    template <typename Button, std::size_t N>
    void radio(const std::string& name, ButtonGroup<Button, N>& group, Button button) {
        read(name, [&](TRegFiler& filer) { group.set(button, filer.ReadBool()); });
    }
    template <typename Button, std::size_t N>
    void anchor(const std::string& name, ButtonGroup<Button, N>& group, Button button) {
        read(name, [&](TRegFiler& filer) { group.set(button, filer.ReadBool(), true); });
    }
    void text(const std::string& name, std::string& value) {
        read(name, [&](TRegFiler& filer) { value = filer.ReadString(); });
    }
    void font(const std::string& name, FontDescription& value) {
        read(name, [&](TRegFiler& filer) { filer.ReadFont(value); });
    }
    void strings(const std::string& name, std::vector<std::string>& lines) {
        read(name, [&](TRegFiler& filer) { filer.ReadStrings(lines); });
    }
    void list(const std::string& name, ListControlDescription& value) {
        read(name, [&](TRegFiler& filer) { filer.ReadComponent(value); });
    }
    // Row i shows line i of the texts, checked when line i of the status is a number other
    // than 0. The row is there before its status is looked at: a status that is no number
    // leaves it unchecked and becomes "0", so that the hidden list agrees with the row. Status
    // lines without a text have no row and are dropped. The first fault of a list is reported,
    // named by its status item.
    void checkRows(const std::string& statusItem, ListControlDescription& status,
                   const ListControlDescription& texts, std::vector<CheckListRow>& rows) {
        std::string fault;
        const std::size_t count = std::min(status.lines.size(), texts.lines.size());
        for (std::size_t i = 0; i < count; ++i) {
            rows.push_back({texts.lines[i], false});
            if (const auto checked = parseIntegerText(status.lines[i])) {
                rows.back().checked = *checked != 0;
            } else {
                if (fault.empty())
                    fault = formatMessage(texts::kNotAnInteger, status.lines[i]);
                status.lines[i] = "0";
            }
        }
        if (status.lines.size() > count) {
            if (fault.empty())
                fault = formatMessage(texts::kListIndexOutOfRange, std::to_string(count));
            status.lines.resize(count);
        }
        if (!fault.empty())
            m_messages.push_back(namedByItem(fault, statusItem));
    }

    std::vector<std::string> takeMessages() { return std::move(m_messages); }

private:
    template <typename Read> void read(const std::string& name, Read&& readItem) {
        try {
            readItem(m_settings.ItemFiler(name));
        } catch (const Error& error) {
            m_messages.emplace_back(error.what());
        }
    }
    std::string namedByItem(const std::string& message, const std::string& name) const {
        const TRegItem* item = m_settings.RegItems().FindItem(name);
        return item ? withSettingsKey(message, item->Section, item->Ident) : message;
    }
    std::int16_t maximum(Bound bound) const {
        switch (bound) {
        case Bound::X:
            return m_screen.maxX();
        case Bound::Y:
            return m_screen.maxY();
        case Bound::StartUpWait:
            break;
        }
        return kMaxStartUpWait;
    }

    TRegManager& m_settings;
    ScreenBounds m_screen;
    std::vector<std::string> m_messages;
};

class Saver {
public:
    explicit Saver(TRegManager& settings) : m_settings(settings) {}

    void integer(const std::string& name, std::int32_t value) { filer(name).WriteInteger(value); }
    void position(const std::string& name, std::int16_t value, Bound) {
        filer(name).WriteInteger(value);
    }
    void flag(const std::string& name, bool value) { filer(name).WriteBool(value); }
    template <typename Button, std::size_t N>
    void radio(const std::string& name, const ButtonGroup<Button, N>& group, Button button) {
        filer(name).WriteBool(group.isDown(button));
    }
    template <typename Button, std::size_t N>
    void anchor(const std::string& name, const ButtonGroup<Button, N>& group, Button button) {
        radio(name, group, button);
    }
    void text(const std::string& name, const std::string& value) { filer(name).WriteString(value); }
    void font(const std::string& name, const FontDescription& value) {
        filer(name).WriteFont(value);
    }
    void strings(const std::string& name, const std::vector<std::string>& lines) {
        filer(name).WriteStrings(lines);
    }
    void list(const std::string& name, const ListControlDescription& value) {
        filer(name).WriteComponent(value);
    }
    // The visible check lists are not stored: their hidden lists are.
    static void checkRows(const std::string&, const ListControlDescription&,
                          const ListControlDescription&, const std::vector<CheckListRow>&) {}

private:
    TRegFiler& filer(const std::string& name) { return m_settings.ItemFiler(name); }

    TRegManager& m_settings;
};

// Notes the names in the order they are visited.
class NameCollector {
public:
    template <typename... Rest> void integer(const std::string& name, Rest&&...) { add(name); }
    template <typename... Rest> void position(const std::string& name, Rest&&...) { add(name); }
    template <typename... Rest> void flag(const std::string& name, Rest&&...) { add(name); }
    template <typename... Rest> void radio(const std::string& name, Rest&&...) { add(name); }
    template <typename... Rest> void anchor(const std::string& name, Rest&&...) { add(name); }
    template <typename... Rest> void text(const std::string& name, Rest&&...) { add(name); }
    template <typename... Rest> void font(const std::string& name, Rest&&...) { add(name); }
    template <typename... Rest> void strings(const std::string& name, Rest&&...) { add(name); }
    template <typename... Rest> void list(const std::string& name, Rest&&...) { add(name); }
    template <typename... Rest> void checkRows(Rest&&...) {}

    std::vector<std::string> names;

private:
    void add(const std::string& name) { names.push_back(name); }
};

} // namespace

void openSettings(TRegManager& settings, const std::string& iniFile, const std::string& seedFile) {
    settings.SetRegType(rtIni);
    fillSettingsSchema(settings.RegItems());
    settings.SetIniFileName(iniFile);
    settings.setSeedFileName(seedFile);
}

std::vector<std::string> loadOptions(TRegManager& settings, Options& options,
                                     const ScreenBounds& screen) {
    try {
        const SettingsBatch batch(settings, BatchMode::Read);
        Loader loader(settings, screen);
        visitItems(loader, options);
        return loader.takeMessages();
    } catch (const Error& error) {
        return {error.what()}; // the file could not be read at all
    }
}

void saveOptions(TRegManager& settings, const Options& options) {
    SettingsBatch batch(settings, BatchMode::Update);
    Saver saver(settings);
    visitItems(saver, options);
    batch.commit();
}

std::vector<std::string> optionItemNames() {
    NameCollector collector;
    Options options;
    visitItems(collector, options);
    return collector.names;
}

} // namespace zbpg

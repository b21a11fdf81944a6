#include "options/OptionsStore.h"

#include "base/Error.h"
#include "options/OptionItems.h"
#include "text/IntegerText.h"
#include "text/Texts.h"

#include <algorithm>
#include <map>

namespace zbpg {
namespace {

// Reads each item on its own: an item that cannot be read keeps its value as it stood (a font
// what was read of it before the error), its message is noted, and the next item loads.
class Loader {
public:
    Loader(TRegManager& settings, const ScreenBounds& screen)
        : m_settings(settings), m_screen(screen) {}

    void integer(const SettingsItem& item, std::int32_t& value) {
        read(item, [&](TRegFiler& filer) { value = filer.ReadInteger(); });
    }
    void position(const SettingsItem& item, std::int16_t& value, Bound bound) {
        read(item, [&](TRegFiler& filer) {
            value = clampToRange(filer.ReadInteger(), 0, maximum(bound));
        });
    }
    void flag(const SettingsItem& item, bool& value) {
        read(item, [&](TRegFiler& filer) { value = filer.ReadBool(); });
    }
    template <typename Button, std::size_t N>
    void radio(const SettingsItem& item, ButtonGroup<Button, N>& group, Button button) {
        read(item, [&](TRegFiler& filer) { group.set(button, filer.ReadBool()); });
    }
    template <typename Button, std::size_t N>
    void anchor(const SettingsItem& item, ButtonGroup<Button, N>& group, Button button) {
        read(item, [&](TRegFiler& filer) { group.set(button, filer.ReadBool(), true); });
    }
    void text(const SettingsItem& item, std::string& value) {
        read(item, [&](TRegFiler& filer) { value = filer.ReadString(); });
    }
    void font(const SettingsItem& item, FontDescription& value) {
        read(item, [&](TRegFiler& filer) { filer.ReadFont(value); });
    }
    void strings(const SettingsItem& item, std::vector<std::string>& lines) {
        read(item, [&](TRegFiler& filer) { filer.ReadStrings(lines); });
    }
    void list(const SettingsItem& item, ListControlDescription& value) {
        m_listItems[&value] = &item;
        read(item, [&](TRegFiler& filer) { filer.ReadComponent(value); });
    }
    // Row i shows line i of the texts, checked when line i of the status is a number other
    // than 0. The row is there before its status is looked at: a status that is no number
    // leaves it unchecked and becomes "0", so that the hidden list agrees with the row. Status
    // lines without a text have no row and are dropped. The first fault of a list is reported,
    // named by its status item.
    void checkRows(ListControlDescription& status, const ListControlDescription& texts,
                   std::vector<CheckListRow>& rows) {
        const std::string uncheckedStatus = "0";
        std::string fault;
        const std::size_t count = std::min(status.lines.size(), texts.lines.size());
        for (std::size_t i = 0; i < count; ++i) {
            rows.push_back({texts.lines[i], false});
            if (const auto checked = parseIntegerText(status.lines[i])) {
                rows.back().checked = *checked != 0;
            } else {
                if (fault.empty())
                    fault = formatMessage(texts::kNotAnInteger, status.lines[i]);
                status.lines[i] = uncheckedStatus;
            }
        }
        if (status.lines.size() > count) {
            if (fault.empty())
                fault = formatMessage(texts::kListIndexOutOfRange, std::to_string(count));
            status.lines.resize(count);
        }
        if (!fault.empty()) {
            const SettingsItem& statusItem = *m_listItems.at(&status);
            m_messages.push_back(withSettingsKey(fault, statusItem.section, statusItem.name));
        }
    }

    std::vector<std::string> takeMessages() { return std::move(m_messages); }

private:
    template <typename Read> void read(const SettingsItem& item, Read&& readItem) {
        try {
            readItem(m_settings.ItemFiler(item.name));
        } catch (const Error& error) {
            m_messages.emplace_back(error.what());
        }
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
    // The item each list was read from, which names the faults of its check list.
    std::map<const ListControlDescription*, const SettingsItem*> m_listItems;
};

class Saver {
public:
    explicit Saver(TRegManager& settings) : m_settings(settings) {}

    void integer(const SettingsItem& item, std::int32_t value) { filer(item).WriteInteger(value); }
    void position(const SettingsItem& item, std::int16_t value, Bound) {
        filer(item).WriteInteger(value);
    }
    void flag(const SettingsItem& item, bool value) { filer(item).WriteBool(value); }
    template <typename Button, std::size_t N>
    void radio(const SettingsItem& item, const ButtonGroup<Button, N>& group, Button button) {
        filer(item).WriteBool(group.isDown(button));
    }
    template <typename Button, std::size_t N>
    void anchor(const SettingsItem& item, const ButtonGroup<Button, N>& group, Button button) {
        radio(item, group, button);
    }
    void text(const SettingsItem& item, const std::string& value) {
        filer(item).WriteString(value);
    }
    void font(const SettingsItem& item, const FontDescription& value) {
        filer(item).WriteFont(value);
    }
    void strings(const SettingsItem& item, const std::vector<std::string>& lines) {
        filer(item).WriteStrings(lines);
    }
    void list(const SettingsItem& item, const ListControlDescription& value) {
        filer(item).WriteComponent(value);
    }
    // The visible check lists are not stored: their hidden lists are.
    static void checkRows(const ListControlDescription&, const ListControlDescription&,
                          const std::vector<CheckListRow>&) {}

private:
    TRegFiler& filer(const SettingsItem& item) { return m_settings.ItemFiler(item.name); }

    TRegManager& m_settings;
};

// Notes the names of the items in the order they are visited.
class NameCollector {
public:
    template <typename... Rest> void integer(const SettingsItem& item, Rest&&...) { add(item); }
    template <typename... Rest> void position(const SettingsItem& item, Rest&&...) { add(item); }
    template <typename... Rest> void flag(const SettingsItem& item, Rest&&...) { add(item); }
    template <typename... Rest> void radio(const SettingsItem& item, Rest&&...) { add(item); }
    template <typename... Rest> void anchor(const SettingsItem& item, Rest&&...) { add(item); }
    template <typename... Rest> void text(const SettingsItem& item, Rest&&...) { add(item); }
    template <typename... Rest> void font(const SettingsItem& item, Rest&&...) { add(item); }
    template <typename... Rest> void strings(const SettingsItem& item, Rest&&...) { add(item); }
    template <typename... Rest> void list(const SettingsItem& item, Rest&&...) { add(item); }
    template <typename... Rest> void checkRows(Rest&&...) {}

    std::vector<std::string> names;

private:
    void add(const SettingsItem& item) { names.emplace_back(item.name); }
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
        visitOptions(loader, options);
        return loader.takeMessages();
    } catch (const Error& error) {
        return {error.what()}; // the file could not be read at all
    }
}

void saveOptions(TRegManager& settings, const Options& options) {
    SettingsBatch batch(settings, BatchMode::Update);
    Saver saver(settings);
    visitOptions(saver, options);
    batch.commit();
}

std::vector<std::string> optionItemNames() {
    NameCollector collector;
    Options options;
    visitOptions(collector, options);
    return collector.names;
}

} // namespace zbpg

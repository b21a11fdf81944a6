// The desktops whose settings GLib reaches: GSettings for GNOME and its kin, Cinnamon and
// MATE; xfconf over D-Bus for XFCE. GLib stays inside this file.
#include "platform/desktop/SessionBus.h"
#include "platform/desktop/WallpaperBackend.h"
#include "platform/store/Registry.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <utility>
#include <vector>

#define G_SETTINGS_ENABLE_BACKEND
#include <gio/gio.h>
#include <gio/gsettingsbackend.h>

namespace zbpg::platform {
namespace {

// GObject references and GLib strings released at the end of a scope.
template <typename T> struct GObjectHolder {
    T* object = nullptr;
    ~GObjectHolder() {
        if (object != nullptr)
            g_object_unref(object);
    }
};

std::string takeString(gchar* text) {
    std::string result = text != nullptr ? text : "";
    g_free(text);
    return result;
}

// ---- GSettings --------------------------------------------------------------------------

// Where GNOME's own pair of light and dark pictures waits while a drawing is shown.
constexpr const char* kKeptPairKey = "Software\\ZorbelPaneglyph\\GNOME";

// GNOME's "picture-options", which Cinnamon and MATE share, word for word with the program's
// styles both ways.
constexpr std::array<StyleWord, 7> kPictureOptions{{
    {"centered", WallpaperStyle::Center},
    {"wallpaper", WallpaperStyle::Tile},
    {"stretched", WallpaperStyle::Stretch},
    {"zoom", WallpaperStyle::Cover},
    {"scaled", WallpaperStyle::Fit},
    {"spanned", WallpaperStyle::Span},
    {"none", WallpaperStyle::ColourOnly},
}};

WallpaperStyle styleOfPictureOption(const std::string& option) {
    return styleOfWord(kPictureOptions, option).value_or(WallpaperStyle::Cover); // the default
}

const char* pictureOptionOf(WallpaperStyle style) {
    // A picture of the primary screen's size fills it exactly; other monitors are covered
    // without being distorted.
    const char* word = wordOfStyle(kPictureOptions, style);
    return word != nullptr ? word : "zoom";
}

std::optional<unsigned> colourOfText(const std::string& text) {
    unsigned value = 0;
    if (text.size() != 7 || text.front() != '#' ||
        std::sscanf(text.c_str() + 1, "%6x", &value) != 1)
        return std::nullopt;
    return value;
}

bool isPersistentBackend() {
    // Without dconf GLib falls back to a backend in memory, which forgets every change at
    // exit: the desktop would never see it. dconf itself writes through the session bus.
    GSettingsBackend* backend = g_settings_backend_get_default();
    if (backend == nullptr)
        return false;
    const std::string type = G_OBJECT_TYPE_NAME(backend);
    g_object_unref(backend);
    if (type == "GMemorySettingsBackend" || type == "GNullSettingsBackend")
        return false;
    // dconf writes through the session bus, and GSettings waits until the bus has taken each
    // change: only a bus that answers ever will.
    return type.find("DConf") == std::string::npos || sessionBusAnswers();
}

// The GSettings of an installed schema; none when the schema is missing (g_settings_new would
// end the process then).
GSettings* settingsOf(const char* schemaId) {
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    if (source == nullptr)
        return nullptr;
    GSettingsSchema* schema = g_settings_schema_source_lookup(source, schemaId, TRUE);
    if (schema == nullptr)
        return nullptr;
    GSettings* settings = g_settings_new_full(schema, nullptr, nullptr);
    g_settings_schema_unref(schema);
    return settings;
}

bool hasKey(GSettings* settings, const char* key) {
    GSettingsSchema* schema = nullptr;
    g_object_get(settings, "settings-schema", &schema, nullptr);
    const bool has = schema != nullptr && g_settings_schema_has_key(schema, key);
    if (schema != nullptr)
        g_settings_schema_unref(schema);
    return has;
}

// Whether a key of text values takes the text: "picture-options" of MATE has no "none".
bool takesText(GSettings* settings, const char* key, const char* text) {
    GSettingsSchema* schema = nullptr;
    g_object_get(settings, "settings-schema", &schema, nullptr);
    if (schema == nullptr)
        return false;
    GSettingsSchemaKey* schemaKey = g_settings_schema_get_key(schema, key);
    GVariant* value = g_variant_ref_sink(g_variant_new_string(text));
    const bool takes = g_settings_schema_key_range_check(schemaKey, value);
    g_variant_unref(value);
    g_settings_schema_key_unref(schemaKey);
    g_settings_schema_unref(schema);
    return takes;
}

struct GSettingsDesktop {
    const char* name;
    const char* schema;
    const char* pictureKey;
    bool pictureIsUri;
};

// The "changed" signals of the desktop's background settings, and of the dark mode where the
// desktop shows another picture in it.
class GSettingsChanges final : public ChangeSubscription {
public:
    explicit GSettingsChanges(ChangeCallback changed) : m_changed(std::move(changed)) {}
    ~GSettingsChanges() override {
        for (const auto& [settings, handler] : m_handlers) {
            g_signal_handler_disconnect(settings, handler);
            g_object_unref(settings);
        }
    }
    GSettingsChanges(const GSettingsChanges&) = delete;
    GSettingsChanges& operator=(const GSettingsChanges&) = delete;

    // Takes the settings object over.
    void listen(GSettings* settings, const char* signal) {
        m_handlers.emplace_back(settings,
                                g_signal_connect(settings, signal, G_CALLBACK(changed), this));
    }

private:
    static void changed(GSettings*, const gchar*, gpointer self) {
        static_cast<GSettingsChanges*>(self)->m_changed();
    }

    ChangeCallback m_changed;
    std::vector<std::pair<GSettings*, gulong>> m_handlers;
};

class GSettingsWallpaper final : public WallpaperBackend {
public:
    explicit GSettingsWallpaper(GSettingsDesktop desktop) : m_desktop(desktop) {}

    std::string name() const override { return m_desktop.name; }

    bool available() override {
        if (!isPersistentBackend())
            return false;
        GObjectHolder<GSettings> settings{settingsOf(m_desktop.schema)};
        return settings.object != nullptr;
    }

    std::optional<DesktopWallpaper> current() override {
        GObjectHolder<GSettings> settings{settingsOf(m_desktop.schema)};
        if (settings.object == nullptr)
            return std::nullopt;
        DesktopWallpaper wallpaper;
        const std::string picture =
            takeString(g_settings_get_string(settings.object, shownPictureKey(settings.object)));
        wallpaper.file = m_desktop.pictureIsUri ? pathOfFileUri(picture) : picture;
        wallpaper.style = styleOfPictureOption(
            takeString(g_settings_get_string(settings.object, "picture-options")));
        if (hasKey(settings.object, "primary-color"))
            wallpaper.background =
                colourOfText(takeString(g_settings_get_string(settings.object, "primary-color")));
        return wallpaper;
    }

    bool show(const std::string& file, WallpaperStyle style) override {
        GObjectHolder<GSettings> settings{settingsOf(m_desktop.schema)};
        if (settings.object == nullptr)
            return false;
        const std::string picture =
            m_desktop.pictureIsUri && !file.empty() ? fileUriOf(file) : file;
        const bool hasDark = hasKey(settings.object, "picture-uri-dark");
        const auto [light, dark] =
            hasDark ? lightAndDark(settings.object, picture, style) : std::pair{picture, picture};
        bool stored = g_settings_set_string(settings.object, m_desktop.pictureKey, light.c_str());
        if (hasDark)
            stored =
                g_settings_set_string(settings.object, "picture-uri-dark", dark.c_str()) && stored;
        const char* option = file.empty() ? "none" : pictureOptionOf(style);
        // Without "none" the desktop shows the colour alone when it has no picture file, and
        // keeps the user's file centred.
        if (!takesText(settings.object, "picture-options", option))
            option = "centered";
        stored = g_settings_set_string(settings.object, "picture-options", option) && stored;
        g_settings_sync();
        // A backend may take a change and lose it on the way; what reads back is what is shown.
        GObjectHolder<GSettings> check{settingsOf(m_desktop.schema)};
        return stored && check.object != nullptr &&
               takeString(g_settings_get_string(check.object, m_desktop.pictureKey)) == light &&
               takeString(g_settings_get_string(check.object, "picture-options")) == option;
    }

    std::unique_ptr<ChangeSubscription> watchChanges(ChangeCallback changed) override {
        GSettings* background = settingsOf(m_desktop.schema);
        if (background == nullptr)
            return nullptr;
        auto changes = std::make_unique<GSettingsChanges>(std::move(changed));
        changes->listen(background, "changed");
        if (hasKey(background, "picture-uri-dark")) {
            GSettings* interface = settingsOf("org.gnome.desktop.interface");
            if (interface != nullptr && hasKey(interface, "color-scheme"))
                changes->listen(interface, "changed::color-scheme");
            else if (interface != nullptr)
                g_object_unref(interface);
        }
        return changes;
    }

private:
    // Light and dark mode show the same drawing, which covers the user's pair of pictures; the
    // pair is kept aside (the program's pictures are never a pair) and comes back with either
    // of its pictures.
    static std::pair<std::string, std::string>
    lightAndDark(GSettings* settings, const std::string& picture, WallpaperStyle style) {
        const auto registry = Registry::currentUser();
        if (style == WallpaperStyle::Screen) {
            const std::string light = takeString(g_settings_get_string(settings, "picture-uri"));
            const std::string dark =
                takeString(g_settings_get_string(settings, "picture-uri-dark"));
            if (light != dark && light != picture && dark != picture)
                (void)(registry.writeValue(kKeptPairKey, "LightWallpaper",
                                           RegValue::string(light)) &&
                       registry.writeValue(kKeptPairKey, "DarkWallpaper", RegValue::string(dark)));
            return {picture, picture};
        }
        const auto light = registry.readValue(kKeptPairKey, "LightWallpaper");
        const auto dark = registry.readValue(kKeptPairKey, "DarkWallpaper");
        if (light && dark && (picture == light->text || picture == dark->text))
            return {light->text, dark->text};
        return {picture, picture};
    }

    // The dark variant is the one shown while the desktop is in dark mode.
    const char* shownPictureKey(GSettings* settings) const {
        if (!hasKey(settings, "picture-uri-dark"))
            return m_desktop.pictureKey;
        GObjectHolder<GSettings> interface { settingsOf("org.gnome.desktop.interface") };
        if (interface.object == nullptr || !hasKey(interface.object, "color-scheme"))
            return m_desktop.pictureKey;
        const std::string scheme =
            takeString(g_settings_get_string(interface.object, "color-scheme"));
        return scheme == "prefer-dark" ? "picture-uri-dark" : m_desktop.pictureKey;
    }

    GSettingsDesktop m_desktop;
};

// ---- xfconf -----------------------------------------------------------------------------

constexpr const char* kXfconfService = "org.xfce.Xfconf";
constexpr const char* kXfconfPath = "/org/xfce/Xfconf";
constexpr const char* kXfconfChannel = "xfce4-desktop";
constexpr int kXfconfTimeoutMs = static_cast<int>(kBusCallTimeout.count());

// xfdesktop's "image-style", the number of each of the program's styles both ways: 0 none,
// 1 centred, 2 tiled, 3 stretched, 4 scaled, 5 zoomed, 6 spanning screens.
constexpr std::array<WallpaperStyle, 7> kImageStyles{
    WallpaperStyle::ColourOnly, WallpaperStyle::Center, WallpaperStyle::Tile,
    WallpaperStyle::Stretch,    WallpaperStyle::Fit,    WallpaperStyle::Cover,
    WallpaperStyle::Span};
constexpr int kZoomedImageStyle = 5;

WallpaperStyle styleOfImageStyle(int number) {
    return number >= 0 && number < static_cast<int>(kImageStyles.size())
               ? kImageStyles[static_cast<std::size_t>(number)]
               : WallpaperStyle::Cover; // xfdesktop's default
}

int imageStyleOf(WallpaperStyle style) {
    const auto found = std::find(kImageStyles.begin(), kImageStyles.end(), style);
    // A picture made for the primary screen is zoomed: exact there, undistorted elsewhere.
    return found != kImageStyles.end() ? static_cast<int>(found - kImageStyles.begin())
                                       : kZoomedImageStyle;
}

// xfconf's signals of the desktop's channel: a backdrop property set or removed.
class XfconfChanges final : public ChangeSubscription {
public:
    XfconfChanges(GDBusConnection* connection, ChangeCallback changed)
        : m_connection(connection), m_changed(std::move(changed)) {
        m_subscription = g_dbus_connection_signal_subscribe(
            m_connection, nullptr, kXfconfService, nullptr, kXfconfPath, kXfconfChannel,
            G_DBUS_SIGNAL_FLAGS_NONE, told, this, nullptr);
    }
    ~XfconfChanges() override {
        g_dbus_connection_signal_unsubscribe(m_connection, m_subscription);
        g_object_unref(m_connection);
    }
    XfconfChanges(const XfconfChanges&) = delete;
    XfconfChanges& operator=(const XfconfChanges&) = delete;

private:
    static void told(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                     GVariant* parameters, gpointer self) {
        const gchar* property = nullptr;
        if (g_variant_n_children(parameters) >= 2)
            g_variant_get_child(parameters, 1, "&s", &property);
        if (property != nullptr && g_str_has_prefix(property, "/backdrop"))
            static_cast<XfconfChanges*>(self)->m_changed();
    }

    GDBusConnection* m_connection;
    ChangeCallback m_changed;
    guint m_subscription = 0;
};

class XfconfBackend final : public WallpaperBackend {
public:
    std::string name() const override { return "XFCE (xfconf)"; }

    bool available() override { return backdrops().has_value(); }

    std::optional<DesktopWallpaper> current() override {
        const auto all = backdrops();
        if (!all)
            return std::nullopt;
        // The first monitor's first workspace stands for the primary screen.
        for (const auto& [property, value] : *all) {
            if (!endsWith(property, "/last-image") ||
                property.find("/workspace0/") == std::string::npos)
                continue;
            const auto style = all->find(stem(property) + "image-style");
            return DesktopWallpaper{
                value.text,
                styleOfImageStyle(style != all->end() ? style->second.number : kZoomedImageStyle),
                std::nullopt};
        }
        return std::nullopt;
    }

    bool show(const std::string& file, WallpaperStyle style) override {
        const auto all = backdrops();
        if (!all)
            return false;
        std::vector<std::string> images;
        for (const auto& [property, value] : *all)
            if (endsWith(property, "/last-image"))
                images.push_back(property);
        // A desktop that never had a backdrop set has none of these yet.
        if (images.empty())
            images.emplace_back("/backdrop/screen0/monitor0/workspace0/last-image");
        bool stored = true;
        for (const auto& property : images) {
            stored = setProperty(property, g_variant_new_string(file.c_str())) && stored;
            stored = setProperty(stem(property) + "image-style",
                                 g_variant_new_int32(imageStyleOf(style))) &&
                     stored;
        }
        return stored;
    }

    std::unique_ptr<ChangeSubscription> watchChanges(ChangeCallback changed) override {
        GDBusConnection* connection = bus();
        if (connection == nullptr)
            return nullptr;
        return std::make_unique<XfconfChanges>(connection, std::move(changed));
    }

private:
    struct Value {
        std::string text;
        int number = 0;
    };

    static bool endsWith(const std::string& text, const std::string& end) {
        return text.size() >= end.size() &&
               text.compare(text.size() - end.size(), end.size(), end) == 0;
    }
    static std::string stem(const std::string& property) {
        return property.substr(0, property.find_last_of('/') + 1);
    }

    // GIO's shared connection, once the bus has shown that it answers: connecting to a bus
    // that does not would wait for good.
    static GDBusConnection* bus() {
        return sessionBusAnswers() ? g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr) : nullptr;
    }

    // Every property below /backdrop, or nothing when xfconf does not answer.
    static std::optional<std::map<std::string, Value>> backdrops() {
        GObjectHolder<GDBusConnection> connection{bus()};
        if (connection.object == nullptr)
            return std::nullopt;
        GVariant* reply = g_dbus_connection_call_sync(
            connection.object, kXfconfService, kXfconfPath, kXfconfService, "GetAllProperties",
            g_variant_new("(ss)", kXfconfChannel, "/backdrop"), G_VARIANT_TYPE("(a{sv})"),
            G_DBUS_CALL_FLAGS_NONE, kXfconfTimeoutMs, nullptr, nullptr);
        if (reply == nullptr)
            return std::nullopt;
        std::map<std::string, Value> result;
        GVariantIter* iter = nullptr;
        g_variant_get(reply, "(a{sv})", &iter);
        const gchar* key = nullptr;
        GVariant* value = nullptr;
        while (g_variant_iter_loop(iter, "{&sv}", &key, &value)) {
            Value entry;
            if (g_variant_is_of_type(value, G_VARIANT_TYPE_STRING))
                entry.text = g_variant_get_string(value, nullptr);
            else if (g_variant_is_of_type(value, G_VARIANT_TYPE_INT32))
                entry.number = g_variant_get_int32(value);
            else if (g_variant_is_of_type(value, G_VARIANT_TYPE_UINT32))
                entry.number = static_cast<int>(g_variant_get_uint32(value));
            result.emplace(key, entry);
        }
        g_variant_iter_free(iter);
        g_variant_unref(reply);
        return result;
    }

    static bool setProperty(const std::string& property, GVariant* value) {
        GObjectHolder<GDBusConnection> connection{bus()};
        if (connection.object == nullptr) {
            g_variant_unref(g_variant_ref_sink(value));
            return false;
        }
        GVariant* reply = g_dbus_connection_call_sync(
            connection.object, kXfconfService, kXfconfPath, kXfconfService, "SetProperty",
            g_variant_new("(ssv)", kXfconfChannel, property.c_str(), value), nullptr,
            G_DBUS_CALL_FLAGS_NONE, kXfconfTimeoutMs, nullptr, nullptr);
        if (reply == nullptr)
            return false;
        g_variant_unref(reply);
        return true;
    }
};

} // namespace

std::unique_ptr<WallpaperBackend> makeGSettingsBackend(DesktopFamily family) {
    switch (family) {
    case DesktopFamily::Cinnamon:
        return std::make_unique<GSettingsWallpaper>(
            GSettingsDesktop{"Cinnamon", "org.cinnamon.desktop.background", "picture-uri", true});
    case DesktopFamily::Mate:
        return std::make_unique<GSettingsWallpaper>(
            GSettingsDesktop{"MATE", "org.mate.background", "picture-filename", false});
    default:
        break;
    }
    return std::make_unique<GSettingsWallpaper>(
        GSettingsDesktop{"GNOME", "org.gnome.desktop.background", "picture-uri", true});
}

std::unique_ptr<WallpaperBackend> makeXfconfBackend() {
    return std::make_unique<XfconfBackend>();
}

} // namespace zbpg::platform

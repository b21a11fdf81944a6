// The session bus asked over a private connection of GIO's, so that a bus that does not answer
// leaves nothing waiting behind: not the process's shared connection, not a thread.
#include "platform/desktop/SessionBus.h"

#include <cstdlib>
#include <gio/gio.h>
#include <map>
#include <mutex>
#include <string>
#include <utility>

namespace zbpg::platform {
namespace {

// One step of the conversation in flight: its result once it has come.
struct Step {
    bool pending = true;
    GDBusConnection* connection = nullptr;
    GVariant* reply = nullptr;
};

void connected(GObject*, GAsyncResult* result, gpointer data) {
    auto* step = static_cast<Step*>(data);
    step->connection = g_dbus_connection_new_for_address_finish(result, nullptr);
    step->pending = false;
}

void answered(GObject* source, GAsyncResult* result, gpointer data) {
    auto* step = static_cast<Step*>(data);
    step->reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, nullptr);
    step->pending = false;
}

gboolean giveUp(gpointer cancellable) {
    g_cancellable_cancel(G_CANCELLABLE(cancellable));
    return G_SOURCE_REMOVE;
}

// Runs the context until the step has its result. The time limit cancels whatever is in
// flight, and a cancelled step ends at once.
void finish(GMainContext* context, const Step& step) {
    while (step.pending)
        g_main_context_iteration(context, TRUE);
}

// Connects, authenticates and says hello, as every client of a bus does first; the whole
// conversation within the time limit, on a main context of its own so that nothing else the
// process runs is dispatched meanwhile.
bool answersWithinLimit(const std::string& address) {
    GMainContext* context = g_main_context_new();
    g_main_context_push_thread_default(context);
    GCancellable* cancellable = g_cancellable_new();
    GSource* limit = g_timeout_source_new(static_cast<guint>(kBusTimeout.count()));
    g_source_set_callback(limit, giveUp, cancellable, nullptr);
    g_source_attach(limit, context);

    Step connection;
    g_dbus_connection_new_for_address(address.c_str(),
                                      G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT, nullptr,
                                      cancellable, connected, &connection);
    finish(context, connection);
    bool answers = false;
    if (connection.connection != nullptr) {
        Step hello;
        g_dbus_connection_call(
            connection.connection, "org.freedesktop.DBus", "/org/freedesktop/DBus",
            "org.freedesktop.DBus", "Hello", nullptr, G_VARIANT_TYPE("(s)"), G_DBUS_CALL_FLAGS_NONE,
            static_cast<int>(kBusTimeout.count()), cancellable, answered, &hello);
        finish(context, hello);
        answers = hello.reply != nullptr;
        if (hello.reply != nullptr)
            g_variant_unref(hello.reply);
        g_object_unref(connection.connection);
    }
    g_source_destroy(limit);
    g_source_unref(limit);
    g_object_unref(cancellable);
    // What the connection's end left for this context goes with it.
    while (g_main_context_iteration(context, FALSE)) {
    }
    g_main_context_pop_thread_default(context);
    g_main_context_unref(context);
    return answers;
}

// The address as GLib finds it: the variable, else the user's bus socket.
std::string sessionBusAddress() {
    gchar* address = g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    std::string text = address != nullptr ? address : "";
    g_free(address);
    return text;
}

// A connection of its own, whose end nobody else sees: GIO's shared connection would end the
// whole process with SIGTERM when the bus goes.
class BusEnd final : public ChangeSubscription {
public:
    BusEnd(GDBusConnection* connection, ChangeCallback ended)
        : m_connection(connection), m_ended(std::move(ended)) {
        m_handler = g_signal_connect(m_connection, "closed", G_CALLBACK(closed), this);
    }
    ~BusEnd() override {
        g_signal_handler_disconnect(m_connection, m_handler);
        g_object_unref(m_connection);
    }
    BusEnd(const BusEnd&) = delete;
    BusEnd& operator=(const BusEnd&) = delete;

private:
    static void closed(GDBusConnection*, gboolean, GError*, gpointer self) {
        static_cast<BusEnd*>(self)->m_ended();
    }

    GDBusConnection* m_connection;
    ChangeCallback m_ended;
    gulong m_handler = 0;
};

} // namespace

std::unique_ptr<ChangeSubscription> watchSessionBusEnd(ChangeCallback ended) {
    if (!sessionBusAnswers())
        return nullptr;
    GDBusConnection* connection = g_dbus_connection_new_for_address_sync(
        sessionBusAddress().c_str(),
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, nullptr);
    if (connection == nullptr)
        return nullptr;
    return std::make_unique<BusEnd>(connection, std::move(ended));
}

bool sessionBusAnswers() {
    static std::mutex mutex;
    static std::map<std::string, bool> known;
    const std::lock_guard lock(mutex);
    // Remembered by the variable, which names the bus without asking anything.
    const char* variable = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    const std::string key = variable != nullptr ? variable : "";
    if (const auto found = known.find(key); found != known.end())
        return found->second;
    const std::string address = sessionBusAddress();
    return known[key] = !address.empty() && answersWithinLimit(address);
}

} // namespace zbpg::platform

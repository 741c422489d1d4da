#include "platform/linux/wayland/screencast_portal.h"

#include <gio/gunixfdlist.h>

#include <algorithm>

namespace platform {
namespace {

using namespace std::chrono_literals;

const char* const kPortal = "org.freedesktop.portal.Desktop";
const char* const kPortalObject = "/org/freedesktop/portal/desktop";
const char* const kScreenCast = "org.freedesktop.portal.ScreenCast";
constexpr int kCallTimeoutMs = 10000;
// The portal answers at once unless it asks the user, which Start may do.
constexpr std::chrono::seconds kAnswerWait = 10s;
constexpr std::chrono::seconds kChoiceWait = 120s;
// SelectSources: the source types and cursor modes are bit sets.
constexpr guint32 kMonitorSource = 1;
constexpr guint32 kCursorHidden = 1;
constexpr guint32 kCursorEmbedded = 2;
// Remembered until the user revokes it; the interface's fourth version knows it.
constexpr guint32 kPersistUntilRevoked = 2;
constexpr guint32 kPersistSince = 4;

void destroySource(GSource* source) {
    g_source_destroy(source);
    g_source_unref(source);
}
using GSourceOwner = Owner<GSource, destroySource>;

// Makes `context` the one that signal subscriptions made while the owner lives dispatch in.
class ThreadDefaultContext {
  public:
    explicit ThreadDefaultContext(GMainContext* context) : context_(context) {
        g_main_context_push_thread_default(context_);
    }
    ~ThreadDefaultContext() { g_main_context_pop_thread_default(context_); }
    ThreadDefaultContext(const ThreadDefaultContext&) = delete;
    ThreadDefaultContext& operator=(const ThreadDefaultContext&) = delete;

  private:
    GMainContext* context_;
};

std::string messageOf(GError* error) {
    if (error == nullptr) {
        return "unknown error";
    }
    g_dbus_error_strip_remote_error(error);
    return error->message;
}

gboolean onExpired(gpointer expired) {
    *static_cast<bool*>(expired) = true;
    return G_SOURCE_REMOVE;
}

// Dispatches `context` until `done` turns true or `limit` has passed.
bool dispatchUntil(GMainContext* context, const bool& done, std::chrono::seconds limit) {
    bool expired = false;
    const GSourceOwner timer(g_timeout_source_new_seconds(static_cast<guint>(limit.count())));
    g_source_set_callback(timer.get(), onExpired, &expired, nullptr);
    g_source_attach(timer.get(), context);
    while (!done && !expired) {
        g_main_context_iteration(context, TRUE);
    }
    return done;
}

struct Answer {
    bool came = false;
    guint32 code = 2;
    GVariantOwner results;
};

void onResponse(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                GVariant* parameters, gpointer data) {
    auto* answer = static_cast<Answer*>(data);
    // A variadic call converts no argument: the out-parameter is turned into a pointer by hand.
    g_variant_get(parameters, "(u@a{sv})", &answer->code,
                  static_cast<GVariant**>(outParam(answer->results)));
    answer->came = true;
}

void onSessionClosed(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                     GVariant*, gpointer session) {
    static_cast<PortalSession*>(session)->markClosed();
}

std::unique_ptr<SignalSubscription> subscribe(GDBusConnection* bus, GMainContext* context,
                                              const char* interface, const char* signal,
                                              const std::string& path, GDBusSignalCallback callback,
                                              void* data) {
    const ThreadDefaultContext dispatchedIn(context);
    return std::make_unique<SignalSubscription>(
        bus,
        g_dbus_connection_signal_subscribe(bus, kPortal, interface, signal, path.c_str(), nullptr,
                                           G_DBUS_SIGNAL_FLAGS_NONE, callback, data, nullptr));
}

void addOption(GVariantBuilder& options, const char* key, GVariant* value) {
    g_variant_builder_add(&options, "{sv}", key, value);
}

}  // namespace

void closeAndUnref(GDBusConnection* connection) {
    g_dbus_connection_close_sync(connection, nullptr, nullptr);
    g_object_unref(connection);
}

PortalSession::~PortalSession() {
    if (closed_ || g_dbus_connection_is_closed(connection_)) {
        return;
    }
    const GVariantOwner reply(g_dbus_connection_call_sync(
        connection_, kPortal, path_.c_str(), "org.freedesktop.portal.Session", "Close", nullptr,
        nullptr, G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr, nullptr));
}

std::unique_ptr<ScreenCastPortal> ScreenCastPortal::open(const std::string& restoreToken,
                                                         CastProblem& problem) {
    auto portal = std::make_unique<ScreenCastPortal>();
    if (!portal->connectBus(problem) || !portal->createSession(problem) ||
        !portal->selectSources(restoreToken, problem) || !portal->start(problem)) {
        return nullptr;
    }
    return portal;
}

// A connection of its own: closing it at the end leaves nothing of the cast behind on the bus.
bool ScreenCastPortal::connectBus(CastProblem& problem) {
    context_.reset(g_main_context_new());
    GErrorOwner error;
    const GCharOwner address(
        g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SESSION, nullptr, outParam(error)));
    if (address) {
        bus_.reset(g_dbus_connection_new_for_address_sync(
            address.get(),
            static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                              G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, nullptr, outParam(error)));
    }
    const GVariantOwner properties(
        bus_ ? g_dbus_connection_call_sync(
                   bus_.get(), kPortal, kPortalObject, "org.freedesktop.DBus.Properties", "GetAll",
                   g_variant_new("(s)", kScreenCast), G_VARIANT_TYPE("(a{sv})"),
                   G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr, outParam(error))
             : nullptr);
    if (!properties) {
        problem = {GrabberFailure::NoPortal, messageOf(error.get())};
        return false;
    }
    const GVariantOwner values(g_variant_get_child_value(properties.get(), 0));
    g_variant_lookup(values.get(), "version", "u", &version_);
    // Cursor modes came with the interface's second version.
    if (version_ >= 2) {
        g_variant_lookup(values.get(), "AvailableCursorModes", "u", &cursorModes_);
    }
    return true;
}

std::string ScreenCastPortal::nextToken() {
    return "velmora" + std::to_string(++requests_);
}

// The portal answers a request with a Response signal on an object whose path it derives from
// the caller's bus name and the handle token, so the subscription can precede the call.
bool ScreenCastPortal::request(const char* method, GVariant* arguments, const std::string& token,
                               std::chrono::seconds limit, GVariantOwner& results,
                               CastProblem& problem) {
    std::string sender = g_dbus_connection_get_unique_name(bus_.get()) + 1;
    std::replace(sender.begin(), sender.end(), '.', '_');
    Answer answer;
    const auto subscription = subscribe(
        bus_.get(), context_.get(), "org.freedesktop.portal.Request", "Response",
        std::string(kPortalObject) + "/request/" + sender + "/" + token, onResponse, &answer);
    GErrorOwner error;
    const GVariantOwner handle(g_dbus_connection_call_sync(
        bus_.get(), kPortal, kPortalObject, kScreenCast, method, arguments, G_VARIANT_TYPE("(o)"),
        G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr, outParam(error)));
    if (!handle) {
        problem = {GrabberFailure::CastRefused,
                   std::string(method) + ": " + messageOf(error.get())};
        return false;
    }
    if (!dispatchUntil(context_.get(), answer.came, limit)) {
        problem = {GrabberFailure::CastRefused, std::string(method) + ": no answer within " +
                                                    std::to_string(limit.count()) + " s"};
        return false;
    }
    if (answer.code != 0) {
        problem = {GrabberFailure::CastRefused,
                   std::string(method) + (answer.code == 1 ? ": cancelled" : ": refused")};
        return false;
    }
    results = std::move(answer.results);
    return true;
}

bool ScreenCastPortal::createSession(CastProblem& problem) {
    const std::string token = nextToken();
    GVariantBuilder options;
    g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
    addOption(options, "handle_token", g_variant_new_string(token.c_str()));
    addOption(options, "session_handle_token", g_variant_new_string(token.c_str()));
    GVariantOwner results;
    if (!request("CreateSession", g_variant_new("(a{sv})", &options), token, kAnswerWait, results,
                 problem)) {
        return false;
    }
    const GVariantOwner handle(g_variant_lookup_value(results.get(), "session_handle", nullptr));
    // A string by the interface's description; some portals send an object path.
    if (!handle || !(g_variant_is_of_type(handle.get(), G_VARIANT_TYPE_STRING) ||
                     g_variant_is_of_type(handle.get(), G_VARIANT_TYPE_OBJECT_PATH))) {
        problem = {GrabberFailure::CastRefused, "CreateSession: no session"};
        return false;
    }
    session_ =
        std::make_unique<PortalSession>(bus_.get(), g_variant_get_string(handle.get(), nullptr));
    sessionClosed_ = subscribe(bus_.get(), context_.get(), "org.freedesktop.portal.Session",
                               "Closed", session_->path(), onSessionClosed, session_.get());
    return true;
}

// X11 capture leaves the pointer out; so does this where the portal can, else it is drawn in.
bool ScreenCastPortal::selectSources(const std::string& restoreToken, CastProblem& problem) {
    const std::string token = nextToken();
    GVariantBuilder options;
    g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
    addOption(options, "handle_token", g_variant_new_string(token.c_str()));
    addOption(options, "types", g_variant_new_uint32(kMonitorSource));
    addOption(options, "multiple", g_variant_new_boolean(FALSE));
    if ((cursorModes_ & kCursorHidden) != 0 || (cursorModes_ & kCursorEmbedded) != 0) {
        const bool hidden = (cursorModes_ & kCursorHidden) != 0;
        addOption(options, "cursor_mode",
                  g_variant_new_uint32(hidden ? kCursorHidden : kCursorEmbedded));
    }
    if (version_ >= kPersistSince) {
        addOption(options, "persist_mode", g_variant_new_uint32(kPersistUntilRevoked));
        if (!restoreToken.empty()) {
            addOption(options, "restore_token", g_variant_new_string(restoreToken.c_str()));
        }
    }
    GVariantOwner results;
    return request("SelectSources", g_variant_new("(oa{sv})", session_->path().c_str(), &options),
                   token, kAnswerWait, results, problem);
}

bool ScreenCastPortal::start(CastProblem& problem) {
    const std::string token = nextToken();
    GVariantBuilder options;
    g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
    addOption(options, "handle_token", g_variant_new_string(token.c_str()));
    GVariantOwner results;
    if (!request("Start", g_variant_new("(osa{sv})", session_->path().c_str(), "", &options), token,
                 kChoiceWait, results, problem)) {
        return false;
    }
    const GVariantOwner streams(
        g_variant_lookup_value(results.get(), "streams", G_VARIANT_TYPE("a(ua{sv})")));
    if (!streams || g_variant_n_children(streams.get()) == 0) {
        problem = {GrabberFailure::NoStream, "the portal started none"};
        return false;
    }
    const char* restore = nullptr;
    if (g_variant_lookup(results.get(), "restore_token", "&s", &restore)) {
        restoreToken_ = restore;
    }
    GVariantOwner properties;
    g_variant_get_child(streams.get(), 0, "(u@a{sv})", &stream_.node,
                        static_cast<GVariant**>(outParam(properties)));
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    if (g_variant_lookup(properties.get(), "position", "(ii)", &x, &y) &&
        g_variant_lookup(properties.get(), "size", "(ii)", &width, &height)) {
        stream_.area = MonitorRect{x, y, x + width, y + height};
    }
    return true;
}

UniqueFd ScreenCastPortal::openPipeWireRemote(CastProblem& problem) {
    GVariantBuilder options;
    g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
    GObjectOwner<GUnixFDList> list;
    GErrorOwner error;
    const GVariantOwner reply(g_dbus_connection_call_with_unix_fd_list_sync(
        bus_.get(), kPortal, kPortalObject, kScreenCast, "OpenPipeWireRemote",
        g_variant_new("(oa{sv})", session_->path().c_str(), &options), G_VARIANT_TYPE("(h)"),
        G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr, outParam(list), nullptr, outParam(error)));
    gint32 index = -1;
    if (reply) {
        g_variant_get(reply.get(), "(h)", &index);
    }
    // The list keeps its own descriptor; this one is a copy for the caller.
    UniqueFd remote(list ? g_unix_fd_list_get(list.get(), index, outParam(error)) : -1);
    if (!remote) {
        problem = {GrabberFailure::NoStream, "OpenPipeWireRemote: " + messageOf(error.get())};
    }
    return remote;
}

bool ScreenCastPortal::dispatch() {
    for (int round = 0; round < 64 && g_main_context_iteration(context_.get(), FALSE); ++round) {
    }
    return !session_->closed() && !g_dbus_connection_is_closed(bus_.get());
}

}  // namespace platform

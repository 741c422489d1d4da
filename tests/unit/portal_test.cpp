#include <unistd.h>

#include <map>
#include <string>
#include <thread>

#include <gio/gio.h>
#include <gio/gunixfdlist.h>
#include <gtest/gtest.h>

#include "platform/linux/wayland/screencast_portal.h"

namespace {

using platform::GrabberFailure;

const char* const kIntrospection =
    "<node><interface name='org.freedesktop.portal.ScreenCast'>"
    "<method name='CreateSession'><arg type='a{sv}' direction='in'/>"
    "<arg type='o' direction='out'/></method>"
    "<method name='SelectSources'><arg type='o' direction='in'/><arg type='a{sv}' direction='in'/>"
    "<arg type='o' direction='out'/></method>"
    "<method name='Start'><arg type='o' direction='in'/><arg type='s' direction='in'/>"
    "<arg type='a{sv}' direction='in'/><arg type='o' direction='out'/></method>"
    "<method name='OpenPipeWireRemote'><arg type='o' direction='in'/>"
    "<arg type='a{sv}' direction='in'/><arg type='h' direction='out'/></method>"
    "<property name='version' type='u' access='read'/>"
    "<property name='AvailableCursorModes' type='u' access='read'/></interface></node>";

// A ScreenCast portal on a bus of the test's own, served on a thread of its own: `answers` holds
// each method's Response code ("error" to fail the call itself, "none" to leave a result out),
// `version` the interface's; every method's options are kept in `options`.
struct FakePortal {
    std::map<std::string, std::string> answers;
    guint32 version = 4;
    std::map<std::string, std::string> options;
    GMainContext* context = g_main_context_new();
    GMainLoop* loop = g_main_loop_new(context, FALSE);
    std::thread thread;

    static void call(GDBusConnection* bus, const gchar* sender, const gchar*, const gchar*,
                     const gchar* method, GVariant* arguments, GDBusMethodInvocation* invocation,
                     gpointer self) {
        auto& portal = *static_cast<FakePortal*>(self);
        const std::string answer = portal.answers[method];
        if (answer == "error") {
            g_dbus_method_invocation_return_dbus_error(invocation, "org.test.Failed", "no way");
            return;
        }
        GVariant* options =
            g_variant_get_child_value(arguments, g_variant_n_children(arguments) - 1);
        gchar* printed = g_variant_print(options, FALSE);
        portal.options[method] = printed;
        g_free(printed);
        const char* token = nullptr;
        g_variant_lookup(options, "handle_token", "&s", &token);
        g_variant_unref(options);
        if (std::string(method) == "OpenPipeWireRemote") {
            int pipeEnds[2];
            EXPECT_EQ(pipe(pipeEnds), 0);
            GUnixFDList* list = g_unix_fd_list_new_from_array(pipeEnds, 1);
            close(pipeEnds[1]);
            g_dbus_method_invocation_return_value_with_unix_fd_list(invocation,
                                                                    g_variant_new("(h)", 0), list);
            g_object_unref(list);
            return;
        }
        std::string who = sender + 1;
        std::replace(who.begin(), who.end(), '.', '_');
        const std::string request = std::string("/org/freedesktop/portal/desktop/request/") + who +
                                    "/" + (token ? token : "");
        g_dbus_method_invocation_return_value(invocation, g_variant_new("(o)", request.c_str()));
        GVariantBuilder results;
        g_variant_builder_init(&results, G_VARIANT_TYPE_VARDICT);
        if (answer != "none" && std::string(method) == "CreateSession") {
            g_variant_builder_add(&results, "{sv}", "session_handle",
                                  g_variant_new_string("/org/test/session"));
        } else if (answer != "none" && std::string(method) == "Start") {
            g_variant_builder_add(&results, "{sv}", "streams",
                                  g_variant_new_parsed("[(uint32 42, {'position': <(0, 0)>, "
                                                       "'size': <(64, 48)>})]"));
            g_variant_builder_add(&results, "{sv}", "restore_token", g_variant_new_string("kept"));
        }
        const guint32 code = answer.empty() || answer == "none" ? 0 : std::stoul(answer);
        g_dbus_connection_emit_signal(bus, sender, request.c_str(),
                                      "org.freedesktop.portal.Request", "Response",
                                      g_variant_new("(ua{sv})", code, &results), nullptr);
    }
    static GVariant* property(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                              const gchar* name, GError**, gpointer self) {
        return g_variant_new_uint32(
            std::string(name) == "version" ? static_cast<FakePortal*>(self)->version : 1);
    }

    explicit FakePortal(GTestDBus* bus) {
        thread = std::thread([this, address = std::string(g_test_dbus_get_bus_address(bus))] {
            g_main_context_push_thread_default(context);
            GDBusConnection* connection = g_dbus_connection_new_for_address_sync(
                address.c_str(),
                GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                     G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
                nullptr, nullptr, nullptr);
            GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
            static const GDBusInterfaceVTable vtable = {call, property, nullptr, {}};
            g_dbus_connection_register_object(connection, "/org/freedesktop/portal/desktop",
                                              node->interfaces[0], &vtable, this, nullptr, nullptr);
            const guint name = g_bus_own_name_on_connection(
                connection, "org.freedesktop.portal.Desktop", G_BUS_NAME_OWNER_FLAGS_NONE, nullptr,
                nullptr, nullptr, nullptr);
            g_main_loop_run(loop);
            // The next fake portal takes the name over from a closed connection.
            g_bus_unown_name(name);
            g_dbus_connection_close_sync(connection, nullptr, nullptr);
            g_dbus_node_info_unref(node);
            g_object_unref(connection);
            g_main_context_pop_thread_default(context);
        });
        while (!g_main_loop_is_running(loop)) {
            std::this_thread::yield();
        }
    }
    ~FakePortal() {
        g_main_loop_quit(loop);
        thread.join();
        g_main_loop_unref(loop);
        g_main_context_unref(context);
    }
};

// Every call the portal refuses, every answer that says no, every result left out: each is its
// own failure, not a cast; a portal of the fourth version is asked to remember the choice and
// sent back what it gave.
TEST(ScreenCastPortal, EveryRefusedCallAndAnswerIsAFailureAndTheChoiceIsRemembered) {
    GTestDBus* bus = g_test_dbus_new(G_TEST_DBUS_NONE);
    g_test_dbus_up(bus);
    const struct {
        std::map<std::string, std::string> answers;
        GrabberFailure failure;
        std::string detail;
    } cases[] = {
        {{}, GrabberFailure::NoFailure, ""},
        {{{"CreateSession", "error"}}, GrabberFailure::CastRefused, "CreateSession: no way"},
        {{{"CreateSession", "2"}}, GrabberFailure::CastRefused, "CreateSession: refused"},
        {{{"CreateSession", "none"}}, GrabberFailure::CastRefused, "CreateSession: no session"},
        {{{"SelectSources", "1"}}, GrabberFailure::CastRefused, "SelectSources: cancelled"},
        {{{"SelectSources", "error"}}, GrabberFailure::CastRefused, "SelectSources: no way"},
        {{{"Start", "1"}}, GrabberFailure::CastRefused, "Start: cancelled"},
        {{{"Start", "none"}}, GrabberFailure::NoStream, "the portal started none"},
        {{{"OpenPipeWireRemote", "error"}}, GrabberFailure::NoStream, "OpenPipeWireRemote: no way"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.detail);
        FakePortal fake(bus);
        fake.answers = c.answers;
        platform::CastProblem problem;
        auto portal = platform::ScreenCastPortal::open("restored", problem);
        const platform::UniqueFd remote =
            portal ? portal->openPipeWireRemote(problem) : platform::UniqueFd();
        EXPECT_EQ(problem.failure, c.failure);
        EXPECT_EQ(problem.detail, c.detail);
        EXPECT_EQ(bool(remote), c.failure == GrabberFailure::NoFailure);
        if (remote) {
            EXPECT_EQ(portal->restoreToken(), "kept");
            EXPECT_EQ(portal->stream().node, 42u);
            EXPECT_NE(fake.options["SelectSources"].find("'restore_token': <'restored'>"),
                      std::string::npos);
        }
    }
    FakePortal older(bus);
    older.version = 3;  // knows no remembered choices
    platform::CastProblem problem;
    EXPECT_TRUE(platform::ScreenCastPortal::open("restored", problem));
    EXPECT_EQ(older.options["SelectSources"].find("persist_mode"), std::string::npos);
    g_test_dbus_down(bus);
    g_object_unref(bus);
}

}  // namespace

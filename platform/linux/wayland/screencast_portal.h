#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <gio/gio.h>

#include "platform/linux/glib_owners.h"
#include "platform/linux/unique_fd.h"
#include "platform/monitors.h"

namespace platform {

void closeAndUnref(GDBusConnection* connection);
using GDBusConnectionOwner = Owner<GDBusConnection, closeAndUnref>;
using GMainContextOwner = Owner<GMainContext, g_main_context_unref>;

// Why a screen cast could not be had.
struct CastProblem {
    GrabberFailure failure = GrabberFailure::NoFailure;
    std::string detail;
};

// The stream that the portal started: its PipeWire node, and the area it shows in the
// compositor's layout when the portal tells its position and size.
struct CastStream {
    std::uint32_t node = 0;
    std::optional<MonitorRect> area;
};

// A subscription to a D-Bus signal, cancelled when the owner goes.
class SignalSubscription {
  public:
    SignalSubscription(GDBusConnection* connection, guint id) : connection_(connection), id_(id) {}
    ~SignalSubscription() { g_dbus_connection_signal_unsubscribe(connection_, id_); }
    SignalSubscription(const SignalSubscription&) = delete;
    SignalSubscription& operator=(const SignalSubscription&) = delete;

  private:
    GDBusConnection* connection_;
    guint id_;
};

// A portal session, closed when the owner goes unless the portal closed it first.
class PortalSession {
  public:
    PortalSession(GDBusConnection* connection, std::string path)
        : connection_(connection), path_(std::move(path)) {}
    ~PortalSession();
    PortalSession(const PortalSession&) = delete;
    PortalSession& operator=(const PortalSession&) = delete;

    const std::string& path() const { return path_; }
    bool closed() const { return closed_; }
    // The portal's Closed signal: the session is gone and owes no Close.
    void markClosed() { closed_ = true; }

  private:
    GDBusConnection* connection_;
    std::string path_;
    bool closed_ = false;
};

// A screen cast of one monitor through the desktop's ScreenCast portal on the session bus, on a
// connection of its own. The portal's answers and signals are dispatched on the caller's thread,
// inside open() and dispatch().
class ScreenCastPortal {
  public:
    // CreateSession, SelectSources (one monitor, no pointer where the portal can leave it out,
    // the choice to be remembered where the portal can, and `restoreToken` when not empty) and
    // Start, each answer awaited for a bounded time. Null, with `problem` saying why, when there
    // is no portal or the cast is refused, cancelled or gives no stream.
    static std::unique_ptr<ScreenCastPortal> open(const std::string& restoreToken,
                                                  CastProblem& problem);

    ScreenCastPortal() = default;
    ScreenCastPortal(const ScreenCastPortal&) = delete;
    ScreenCastPortal& operator=(const ScreenCastPortal&) = delete;

    const CastStream& stream() const { return stream_; }
    // What brings the same choice back next time, where the portal gave it; empty otherwise.
    const std::string& restoreToken() const { return restoreToken_; }
    // The connection to the PipeWire remote that carries the stream; invalid, with `problem`
    // saying why, when the portal gives none.
    UniqueFd openPipeWireRemote(CastProblem& problem);
    // Dispatches the signals that came, without waiting; false once the session is closed or
    // the bus is gone.
    bool dispatch();

  private:
    bool connectBus(CastProblem& problem);
    bool request(const char* method, GVariant* arguments, const std::string& token,
                 std::chrono::seconds limit, GVariantOwner& results, CastProblem& problem);
    bool createSession(CastProblem& problem);
    bool selectSources(const std::string& restoreToken, CastProblem& problem);
    bool start(CastProblem& problem);
    std::string nextToken();

    // Released in the reverse order: the subscription, the session (closed), the bus
    // connection, the context that dispatched their signals.
    GMainContextOwner context_;
    GDBusConnectionOwner bus_;
    std::unique_ptr<PortalSession> session_;
    std::unique_ptr<SignalSubscription> sessionClosed_;
    std::uint32_t cursorModes_ = 0;
    std::uint32_t version_ = 0;
    std::string restoreToken_;
    int requests_ = 0;
    CastStream stream_;
};

}  // namespace platform

#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include <pipewire/pipewire.h>

#include "platform/linux/unique_fd.h"
#include "platform/linux/wayland/video_stream.h"
#include "platform/owner.h"

namespace platform {

// PipeWire's global state, set up while an owner lives.
class PipeWireLibrary {
  public:
    PipeWireLibrary() { pw_init(nullptr, nullptr); }
    ~PipeWireLibrary() { pw_deinit(); }
    PipeWireLibrary(const PipeWireLibrary&) = delete;
    PipeWireLibrary& operator=(const PipeWireLibrary&) = delete;
};

inline void destroyRegistry(pw_registry* registry) {
    pw_proxy_destroy(reinterpret_cast<pw_proxy*>(registry));
}

using PwLoopOwner = Owner<pw_loop, pw_loop_destroy>;
using PwContextOwner = Owner<pw_context, pw_context_destroy>;
using PwCoreOwner = Owner<pw_core, pw_core_disconnect>;
using PwRegistryOwner = Owner<pw_registry, destroyRegistry>;
using PwStreamOwner = Owner<pw_stream, pw_stream_destroy>;

// A listener on a PipeWire object's events, removed when the owner goes; it must go before the
// object it listens to.
class PipeWireListener {
  public:
    PipeWireListener() = default;
    ~PipeWireListener() {
        if (hook.link.next != nullptr) {
            spa_hook_remove(&hook);
        }
    }
    PipeWireListener(const PipeWireListener&) = delete;
    PipeWireListener& operator=(const PipeWireListener&) = delete;

    spa_hook hook{};
};

// A video stream of one PipeWire node, in memory buffers, over a connection that someone else
// (the screen cast portal) opened. Its loop runs only inside serve(), on the caller's thread.
class PipeWireStream {
  public:
    // Null, with `problem` saying why, when the connection or the stream cannot be made.
    static std::unique_ptr<PipeWireStream> connect(UniqueFd remote, std::uint32_t node,
                                                   std::string& problem);

    explicit PipeWireStream(UniqueFd remote) : remote_(std::move(remote)) {}
    PipeWireStream(const PipeWireStream&) = delete;
    PipeWireStream& operator=(const PipeWireStream&) = delete;

    // Runs the loop once, waiting up to `timeout` for something to do, and then whatever else
    // is ready; true when a frame came meanwhile.
    bool serve(std::chrono::milliseconds timeout);
    bool take(StreamFrame& frame);
    void giveBack(const StreamFrame& frame);
    // Empty while the stream and its connection are up; else why they ended.
    const std::string& ended() const { return ended_; }

  private:
    // The steps of connect(), in order; each says in `problem` why it failed.
    bool createContext(std::string& problem);
    bool connectCore(std::string& problem);
    bool watchNode(std::string& problem);
    bool createStream(std::string& problem);
    bool connectStream(std::string& problem);

    static void onCoreError(void* self, std::uint32_t id, int seq, int result, const char* text);
    static void onStateChanged(void* self, pw_stream_state old, pw_stream_state state,
                               const char* error);
    static void onParamChanged(void* self, std::uint32_t id, const spa_pod* param);
    static void onProcess(void* self);
    static void onGlobalRemoved(void* self, std::uint32_t id);

    // Released in the reverse order: stream, registry, core, context, loop, the connection's
    // descriptor, then PipeWire's global state.
    PipeWireLibrary library_;
    UniqueFd remote_;
    PwLoopOwner loop_;
    PwContextOwner context_;
    PwCoreOwner core_;
    PipeWireListener coreListener_;
    PwRegistryOwner registry_;
    PipeWireListener registryListener_;
    PwStreamOwner stream_;
    PipeWireListener streamListener_;
    bool formatKnown_ = false;
    ColourBytes colours_;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::uint32_t node_ = 0;
    bool frameCame_ = false;
    std::string ended_;
};

}  // namespace platform

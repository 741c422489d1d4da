#include "platform/linux/wayland/monitors.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#include "platform/linux/wayland/display.h"
#include "platform/owner.h"
#include "xdg-output-unstable-v1-client-protocol.h"

namespace platform {
namespace {

// Released on the compositor's side too where the output's version knows how.
void releaseOutput(wl_output* output) {
    if (wl_output_get_version(output) >= WL_OUTPUT_RELEASE_SINCE_VERSION) {
        wl_output_release(output);
    } else {
        wl_output_destroy(output);
    }
}

using WlRegistryOwner = Owner<wl_registry, wl_registry_destroy>;
using WlOutputOwner = Owner<wl_output, releaseOutput>;
using XdgOutputManagerOwner = Owner<zxdg_output_manager_v1, zxdg_output_manager_v1_destroy>;
using XdgOutputOwner = Owner<zxdg_output_v1, zxdg_output_v1_destroy>;

// What one output told: wl_output's geometry, current mode and scale, and xdg-output's logical
// area once asked.
struct OutputState {
    WlOutputOwner output;
    XdgOutputOwner xdgOutput;  // declared after the output: destroyed before it
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t modeWidth = 0;
    std::int32_t modeHeight = 0;
    std::int32_t scale = 1;
    std::int32_t transform = 0;
    bool hasMode = false;
    std::int32_t logicalX = 0;
    std::int32_t logicalY = 0;
    std::int32_t logicalWidth = 0;
    std::int32_t logicalHeight = 0;
    bool hasLogicalSize = false;
    std::string name;

    bool answered(bool withXdgOutput) const { return withXdgOutput ? hasLogicalSize : hasMode; }

    // Without xdg-output the compositor's layout is guessed from the output's own position and
    // its mode in logical pixels.
    MonitorRect rect() const {
        if (hasLogicalSize) {
            return {logicalX, logicalY, logicalX + logicalWidth, logicalY + logicalHeight};
        }
        return guessedLogicalArea(x, y, modeWidth, modeHeight, transform, scale);
    }
};

struct Listing {
    WlRegistryOwner registry;
    XdgOutputManagerOwner manager;
    std::vector<std::unique_ptr<OutputState>> outputs;  // in announcement order
};

void onGeometry(void* data, wl_output*, std::int32_t x, std::int32_t y, std::int32_t, std::int32_t,
                std::int32_t, const char*, const char*, std::int32_t transform) {
    auto* state = static_cast<OutputState*>(data);
    state->x = x;
    state->y = y;
    state->transform = transform;
}

void onMode(void* data, wl_output*, std::uint32_t flags, std::int32_t width, std::int32_t height,
            std::int32_t) {
    auto* state = static_cast<OutputState*>(data);
    if ((flags & WL_OUTPUT_MODE_CURRENT) != 0) {
        state->modeWidth = width;
        state->modeHeight = height;
        state->hasMode = true;
    }
}

void onScale(void* data, wl_output*, std::int32_t factor) {
    static_cast<OutputState*>(data)->scale = factor;
}

void onName(void* data, wl_output*, const char* name) {
    static_cast<OutputState*>(data)->name = name;
}

void ignoreDone(void*, wl_output*) {}
void ignoreDescription(void*, wl_output*, const char*) {}

const wl_output_listener kOutputListener = {onGeometry, onMode, ignoreDone,
                                            onScale,    onName, ignoreDescription};

void onLogicalPosition(void* data, zxdg_output_v1*, std::int32_t x, std::int32_t y) {
    auto* state = static_cast<OutputState*>(data);
    state->logicalX = x;
    state->logicalY = y;
}

void onLogicalSize(void* data, zxdg_output_v1*, std::int32_t width, std::int32_t height) {
    auto* state = static_cast<OutputState*>(data);
    state->logicalWidth = width;
    state->logicalHeight = height;
    state->hasLogicalSize = true;
}

// wl_output's name (version 4) comes first where both are sent; they agree anyway.
void onXdgName(void* data, zxdg_output_v1*, const char* name) {
    auto* state = static_cast<OutputState*>(data);
    if (state->name.empty()) {
        state->name = name;
    }
}

void ignoreXdgDone(void*, zxdg_output_v1*) {}
void ignoreXdgDescription(void*, zxdg_output_v1*, const char*) {}

const zxdg_output_v1_listener kXdgOutputListener = {onLogicalPosition, onLogicalSize, ignoreXdgDone,
                                                    onXdgName, ignoreXdgDescription};

void onGlobal(void* data, wl_registry* registry, std::uint32_t id, const char* interface,
              std::uint32_t version) {
    auto* listing = static_cast<Listing*>(data);
    if (std::strcmp(interface, wl_output_interface.name) == 0) {
        auto state = std::make_unique<OutputState>();
        state->output.reset(static_cast<wl_output*>(
            wl_registry_bind(registry, id, &wl_output_interface, std::min(version, 4u))));
        wl_output_add_listener(state->output.get(), &kOutputListener, state.get());
        listing->outputs.push_back(std::move(state));
    } else if (std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0) {
        listing->manager.reset(static_cast<zxdg_output_manager_v1*>(wl_registry_bind(
            registry, id, &zxdg_output_manager_v1_interface, std::min(version, 3u))));
    }
}

void ignoreGlobalRemove(void*, wl_registry*, std::uint32_t) {}

const wl_registry_listener kRegistryListener = {onGlobal, ignoreGlobalRemove};

// Asks xdg-output about every output that was not asked yet.
void askLogicalAreas(Listing& listing) {
    for (const auto& state : listing.outputs) {
        if (listing.manager && !state->xdgOutput) {
            state->xdgOutput.reset(
                zxdg_output_manager_v1_get_xdg_output(listing.manager.get(), state->output.get()));
            zxdg_output_v1_add_listener(state->xdgOutput.get(), &kXdgOutputListener, state.get());
        }
    }
}

bool allAnswered(const Listing& listing) {
    return std::all_of(listing.outputs.begin(), listing.outputs.end(), [&](const auto& state) {
        return state->answered(listing.manager != nullptr);
    });
}

}  // namespace

MonitorRect guessedLogicalArea(std::int32_t x, std::int32_t y, std::int32_t modeWidth,
                               std::int32_t modeHeight, std::int32_t transform,
                               std::int32_t scale) {
    const bool quarterTurn = transform % 2 == 1;  // 90, 270 and their flipped forms
    const std::int32_t w = (quarterTurn ? modeHeight : modeWidth) / std::max(scale, 1);
    const std::int32_t h = (quarterTurn ? modeWidth : modeHeight) / std::max(scale, 1);
    return {x, y, x + w, y + h};
}

std::vector<Monitor> listWaylandMonitors() {
    const WlDisplayOwner display = connectWayland();
    if (!display) {
        return {};
    }
    Listing listing;
    listing.registry.reset(wl_display_get_registry(display.get()));
    wl_registry_add_listener(listing.registry.get(), &kRegistryListener, &listing);
    // The globals come with the first answer, each output's state with the next; a few more
    // leave room for outputs announced meanwhile.
    for (int round = 0; round < 4 && (round == 0 || !allAnswered(listing)); ++round) {
        if (wl_display_roundtrip(display.get()) < 0) {
            return {};
        }
        askLogicalAreas(listing);
    }
    std::vector<Monitor> monitors;
    for (const auto& state : listing.outputs) {
        const MonitorRect r = state->rect();
        if (r.right > r.left && r.bottom > r.top) {
            monitors.push_back({r, state->name});
        }
    }
    return monitors;
}

}  // namespace platform

#include "platform/linux/wayland/pipewire_stream.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <spa/param/buffers.h>
#include <spa/param/video/format-utils.h>
#include <spa/pod/builder.h>
#include <spa/utils/result.h>

// SPA's and PipeWire's macros are written in GNU C (statement expressions, compound literals),
// which clang reports at every use in C++; GCC leaves macros of system headers alone.
#ifdef __clang__
#pragma clang diagnostic ignored "-Wgnu-statement-expression"
#pragma clang diagnostic ignored "-Wc99-extensions"
#endif

namespace platform {
namespace {

struct PixelFormat {
    spa_video_format id;
    ColourBytes colours;
};

// The formats the stream accepts, each with its name spelled in memory order; the first is the
// one preferred, as it needs no reordering.
constexpr PixelFormat kFormats[] = {
    {SPA_VIDEO_FORMAT_BGRx, colourBytes("BGRx")}, {SPA_VIDEO_FORMAT_BGRA, colourBytes("BGRA")},
    {SPA_VIDEO_FORMAT_RGBx, colourBytes("RGBx")}, {SPA_VIDEO_FORMAT_RGBA, colourBytes("RGBA")},
    {SPA_VIDEO_FORMAT_xRGB, colourBytes("xRGB")}, {SPA_VIDEO_FORMAT_ARGB, colourBytes("ARGB")},
    {SPA_VIDEO_FORMAT_xBGR, colourBytes("xBGR")}, {SPA_VIDEO_FORMAT_ABGR, colourBytes("ABGR")},
};
static_assert(kFormats[0].colours == ColourBytes{});

const PixelFormat* findFormat(std::uint32_t id) {
    const auto found = std::find_if(std::begin(kFormats), std::end(kFormats),
                                    [id](const PixelFormat& format) { return format.id == id; });
    return found != std::end(kFormats) ? found : nullptr;
}

// Raw video of any size and rate in one of the formats above.
const spa_pod* videoFormats(spa_pod_builder& builder) {
    const spa_rectangle size{1920, 1080};
    const spa_rectangle smallest{1, 1};
    const spa_rectangle largest{16384, 16384};
    const spa_fraction rate{60, 1};
    const spa_fraction slowest{0, 1};
    const spa_fraction fastest{1000, 1};
    spa_pod_frame object;
    spa_pod_builder_push_object(&builder, &object, SPA_TYPE_OBJECT_Format, SPA_PARAM_EnumFormat);
    spa_pod_builder_add(&builder, SPA_FORMAT_mediaType, SPA_POD_Id(SPA_MEDIA_TYPE_video),
                        SPA_FORMAT_mediaSubtype, SPA_POD_Id(SPA_MEDIA_SUBTYPE_raw), 0);
    // An enumeration's first value is its default, the preferred one.
    spa_pod_frame choice;
    spa_pod_builder_prop(&builder, SPA_FORMAT_VIDEO_format, 0);
    spa_pod_builder_push_choice(&builder, &choice, SPA_CHOICE_Enum, 0);
    spa_pod_builder_id(&builder, kFormats[0].id);
    for (const PixelFormat& format : kFormats) {
        spa_pod_builder_id(&builder, format.id);
    }
    spa_pod_builder_pop(&builder, &choice);
    spa_pod_builder_add(
        &builder, SPA_FORMAT_VIDEO_size, SPA_POD_CHOICE_RANGE_Rectangle(&size, &smallest, &largest),
        SPA_FORMAT_VIDEO_framerate, SPA_POD_CHOICE_RANGE_Fraction(&rate, &slowest, &fastest), 0);
    return static_cast<const spa_pod*>(spa_pod_builder_pop(&builder, &object));
}

// Buffers in plain or file-backed memory that the stream maps; no GPU buffers.
const spa_pod* memoryBuffers(spa_pod_builder& builder) {
    return static_cast<const spa_pod*>(spa_pod_builder_add_object(
        &builder, SPA_TYPE_OBJECT_ParamBuffers, SPA_PARAM_Buffers, SPA_PARAM_BUFFERS_dataType,
        SPA_POD_CHOICE_FLAGS_Int((1 << SPA_DATA_MemPtr) | (1 << SPA_DATA_MemFd))));
}

std::string errorText(int error) {
    return std::strerror(error);
}

}  // namespace

std::unique_ptr<PipeWireStream> PipeWireStream::connect(UniqueFd remote, std::uint32_t node,
                                                        std::string& problem) {
    auto stream = std::make_unique<PipeWireStream>(std::move(remote));
    stream->node_ = node;
    if (!stream->createContext(problem) || !stream->connectCore(problem) ||
        !stream->watchNode(problem) || !stream->createStream(problem) ||
        !stream->connectStream(problem)) {
        return nullptr;
    }
    return stream;
}

bool PipeWireStream::createContext(std::string& problem) {
    loop_.reset(pw_loop_new(nullptr));
    if (loop_) {
        context_.reset(pw_context_new(loop_.get(), nullptr, 0));
    }
    if (!context_) {
        problem = "no PipeWire context: " + errorText(errno);
        return false;
    }
    return true;
}

// PipeWire closes the descriptor it is given when it disconnects, so it gets a copy.
bool PipeWireStream::connectCore(std::string& problem) {
    static const pw_core_events kEvents = [] {
        pw_core_events events{};
        events.version = PW_VERSION_CORE_EVENTS;
        events.error = onCoreError;
        return events;
    }();
    const int copy = fcntl(remote_.get(), F_DUPFD_CLOEXEC, 3);
    if (copy >= 0) {
        core_.reset(pw_context_connect_fd(context_.get(), copy, nullptr, 0));
    }
    if (!core_) {
        problem = "cannot connect to PipeWire: " + errorText(errno);
        return false;
    }
    pw_core_add_listener(core_.get(), &coreListener_.hook, &kEvents, this);
    return true;
}

// A stream whose producer went away only pauses; the registry tells that its node is gone.
bool PipeWireStream::watchNode(std::string& problem) {
    static const pw_registry_events kEvents = [] {
        pw_registry_events events{};
        events.version = PW_VERSION_REGISTRY_EVENTS;
        events.global_remove = onGlobalRemoved;
        return events;
    }();
    registry_.reset(pw_core_get_registry(core_.get(), PW_VERSION_REGISTRY, 0));
    if (!registry_) {
        problem = "no PipeWire registry: " + errorText(errno);
        return false;
    }
    pw_registry_add_listener(registry_.get(), &registryListener_.hook, &kEvents, this);
    return true;
}

bool PipeWireStream::createStream(std::string& problem) {
    static const pw_stream_events kEvents = [] {
        pw_stream_events events{};
        events.version = PW_VERSION_STREAM_EVENTS;
        events.state_changed = onStateChanged;
        events.param_changed = onParamChanged;
        events.process = onProcess;
        return events;
    }();
    stream_.reset(
        pw_stream_new(core_.get(), "velmora",
                      pw_properties_new(PW_KEY_MEDIA_TYPE, "Video", PW_KEY_MEDIA_CATEGORY,
                                        "Capture", PW_KEY_MEDIA_ROLE, "Screen", nullptr)));
    if (!stream_) {
        problem = "no PipeWire stream: " + errorText(errno);
        return false;
    }
    pw_stream_add_listener(stream_.get(), &streamListener_.hook, &kEvents, this);
    return true;
}

// The node's video in one of the formats this reads, in buffers mapped into this process.
bool PipeWireStream::connectStream(std::string& problem) {
    std::uint8_t memory[1024];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(memory, sizeof memory);
    const spa_pod* formats[] = {videoFormats(builder)};
    const int connected = pw_stream_connect(
        stream_.get(), PW_DIRECTION_INPUT, node_,
        static_cast<pw_stream_flags>(PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS),
        formats, 1);
    if (connected < 0) {
        problem = "cannot connect to node " + std::to_string(node_) + ": " + errorText(-connected);
        return false;
    }
    return true;
}

bool PipeWireStream::serve(std::chrono::milliseconds timeout) {
    frameCame_ = false;
    pw_loop* loop = loop_.get();
    pw_loop_enter(loop);
    pw_loop_iterate(loop, static_cast<int>(std::max<std::int64_t>(timeout.count(), 0)));
    // What else is ready, without waiting; bounded, since a busy stream is never drained.
    for (int round = 0; round < 64 && pw_loop_iterate(loop, 0) > 0; ++round) {
    }
    pw_loop_leave(loop);
    return frameCame_;
}

bool PipeWireStream::take(StreamFrame& frame) {
    pw_buffer* buffer = pw_stream_dequeue_buffer(stream_.get());
    if (buffer == nullptr) {
        return false;
    }
    frame = StreamFrame{};
    frame.buffer = buffer;
    const spa_buffer* content = buffer->buffer;
    const spa_data* data = content->n_datas > 0 ? &content->datas[0] : nullptr;
    // Frames that cannot be read keep no pixels; they only go back.
    if (!formatKnown_ || data == nullptr || data->data == nullptr || data->chunk == nullptr ||
        (data->type != SPA_DATA_MemPtr && data->type != SPA_DATA_MemFd) ||
        (data->chunk->flags & SPA_CHUNK_FLAG_CORRUPTED) != 0 || data->chunk->stride < 0) {
        return true;
    }
    const std::uint32_t offset = std::min(data->chunk->offset, data->maxsize);
    frame.data = static_cast<const unsigned char*>(data->data) + offset;
    frame.bytes = std::min(data->chunk->size, data->maxsize - offset);
    frame.stride = data->chunk->stride > 0 ? static_cast<std::size_t>(data->chunk->stride)
                                           : static_cast<std::size_t>(width_) * 4;
    frame.colours = colours_;
    frame.width = width_;
    frame.height = height_;
    return true;
}

void PipeWireStream::giveBack(const StreamFrame& frame) {
    pw_stream_queue_buffer(stream_.get(), static_cast<pw_buffer*>(frame.buffer));
}

void PipeWireStream::onCoreError(void* self, std::uint32_t id, int, int result, const char* text) {
    if (id == PW_ID_CORE) {
        static_cast<PipeWireStream*>(self)->ended_ =
            std::string("PipeWire connection: ") + (text != nullptr ? text : spa_strerror(result));
    }
}

void PipeWireStream::onStateChanged(void* self, pw_stream_state, pw_stream_state state,
                                    const char* error) {
    auto* stream = static_cast<PipeWireStream*>(self);
    if (state == PW_STREAM_STATE_ERROR) {
        stream->ended_ = std::string("stream: ") + (error != nullptr ? error : "failed");
    } else if (state == PW_STREAM_STATE_UNCONNECTED && stream->ended_.empty()) {
        stream->ended_ = "stream: disconnected";
    }
}

// Frames of a new format come in new buffers; the old ones are gone by then.
void PipeWireStream::onParamChanged(void* self, std::uint32_t id, const spa_pod* param) {
    auto* stream = static_cast<PipeWireStream*>(self);
    if (id != SPA_PARAM_Format || param == nullptr) {
        return;
    }
    spa_video_info_raw info{};
    std::uint32_t mediaType = 0;
    std::uint32_t mediaSubtype = 0;
    stream->formatKnown_ = false;
    if (spa_format_parse(param, &mediaType, &mediaSubtype) < 0 ||
        mediaType != SPA_MEDIA_TYPE_video || mediaSubtype != SPA_MEDIA_SUBTYPE_raw ||
        spa_format_video_raw_parse(param, &info) < 0) {
        return;
    }
    if (const PixelFormat* format = findFormat(info.format)) {
        stream->colours_ = format->colours;
        stream->formatKnown_ = true;
    }
    stream->width_ = static_cast<std::int32_t>(info.size.width);
    stream->height_ = static_cast<std::int32_t>(info.size.height);
    std::uint8_t memory[256];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(memory, sizeof memory);
    const spa_pod* buffers[] = {memoryBuffers(builder)};
    pw_stream_update_params(stream->stream_.get(), buffers, 1);
}

void PipeWireStream::onGlobalRemoved(void* self, std::uint32_t id) {
    auto* stream = static_cast<PipeWireStream*>(self);
    if (id == stream->node_) {
        stream->ended_ = "the screen cast's PipeWire node is gone";
    }
}

void PipeWireStream::onProcess(void* self) {
    static_cast<PipeWireStream*>(self)->frameCame_ = true;
}

}  // namespace platform

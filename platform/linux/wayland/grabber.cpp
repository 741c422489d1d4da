#include "platform/linux/wayland/grabber.h"

#include <algorithm>

#include "platform/linux/wayland/pipewire_stream.h"
#include "platform/linux/wayland/screencast_portal.h"
#include "platform/linux/wayland/stream_grabber.h"

namespace platform {
namespace {

using namespace std::chrono_literals;

// A still screen sends nothing after its first frame, which comes at once.
constexpr std::chrono::milliseconds kFirstFrameWait = 5s;
// How long PipeWire's loop may wait before the portal's signals are looked at again.
constexpr std::chrono::milliseconds kPortalInterval = 10ms;

// The portal's session and the PipeWire stream it started, served together on this thread.
class ScreenCast final : public VideoStream {
  public:
    ScreenCast(std::unique_ptr<ScreenCastPortal> portal, std::unique_ptr<PipeWireStream> stream)
        : portal_(std::move(portal)), stream_(std::move(stream)) {}

    bool serve(std::chrono::milliseconds timeout) override {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            if (!portal_->dispatch()) {
                ended_ = "the screen cast session was closed";
                return false;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            const bool frameCame = stream_->serve(std::clamp(left, 0ms, kPortalInterval));
            if (!stream_->ended().empty()) {
                ended_ = stream_->ended();
                return false;
            }
            if (frameCame || left <= kPortalInterval) {
                return true;
            }
        }
    }
    bool take(StreamFrame& frame) override { return stream_->take(frame); }
    void giveBack(const StreamFrame& frame) override { stream_->giveBack(frame); }
    std::string endReason() const override { return ended_; }

  private:
    // The stream goes first, then the portal's session and its bus connection.
    std::unique_ptr<ScreenCastPortal> portal_;
    std::unique_ptr<PipeWireStream> stream_;
    std::string ended_;
};

}  // namespace

std::optional<std::size_t> monitorShowing(const std::vector<WaylandMonitor>& monitors,
                                          const MonitorRect& area) {
    const auto found = std::find_if(monitors.begin(), monitors.end(),
                                    [&](const auto& monitor) { return monitor.rect == area; });
    return found == monitors.end() ? std::nullopt
                                   : std::optional<std::size_t>(found - monitors.begin());
}

GrabberResult openWaylandGrabber(const std::vector<WaylandMonitor>& monitors) {
    CastProblem problem;
    std::unique_ptr<ScreenCastPortal> portal = ScreenCastPortal::open(problem);
    UniqueFd remote = portal ? portal->openPipeWireRemote(problem) : UniqueFd();
    if (!remote) {
        return {nullptr, problem.failure, problem.detail};
    }
    const CastStream cast = portal->stream();
    std::string failure;
    std::unique_ptr<PipeWireStream> stream =
        PipeWireStream::connect(std::move(remote), cast.node, failure);
    if (!stream) {
        return {nullptr, GrabberFailure::NoStream, failure};
    }
    GrabberResult opened = openStreamGrabber(
        std::make_unique<ScreenCast>(std::move(portal), std::move(stream)), kFirstFrameWait);
    if (opened.grabber && cast.area) {
        opened.monitorIndex = monitorShowing(monitors, *cast.area);
    }
    return opened;
}

}  // namespace platform

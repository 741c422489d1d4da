#include "platform/linux/wayland/grabber.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <system_error>

#include "platform/linux/wayland/pipewire_stream.h"
#include "platform/linux/wayland/screencast_portal.h"
#include "platform/linux/wayland/stream_grabber.h"
#include "platform/whole_file.h"

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

// A rectangle of a monitor, cut from the stream's frames. The stream may deliver more pixels
// than the monitor's logical size (a scaled output), so the rectangle is scaled with it.
class RegionGrabber final : public ScreenGrabber {
  public:
    RegionGrabber(std::unique_ptr<ScreenGrabber> stream, const CaptureArea& capture)
        : stream_(std::move(stream)), capture_(capture) {}

    bool grab() override {
        if (!stream_->grab()) {
            return false;
        }
        const MonitorRect& m = capture_.monitor;
        const MonitorRect& a = capture_.area;
        const double sx = double(stream_->width()) / std::max(m.right - m.left, 1);
        const double sy = double(stream_->height()) / std::max(m.bottom - m.top, 1);
        left_ = std::clamp(int((a.left - m.left) * sx), 0, stream_->width() - 1);
        top_ = std::clamp(int((a.top - m.top) * sy), 0, stream_->height() - 1);
        width_ = std::clamp(int((a.right - a.left) * sx), 1, stream_->width() - left_);
        height_ = std::clamp(int((a.bottom - a.top) * sy), 1, stream_->height() - top_);
        return true;
    }
    const unsigned char* rows() const override {
        return stream_->rows() + top_ * stream_->rowStride() + std::size_t(left_) * 4;
    }
    std::size_t rowStride() const override { return stream_->rowStride(); }
    std::int32_t width() const override { return width_; }
    std::int32_t height() const override { return height_; }

  private:
    std::unique_ptr<ScreenGrabber> stream_;
    CaptureArea capture_;
    std::int32_t left_ = 0;
    std::int32_t top_ = 0;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
};

// The remembered choice: the portal's token, then the name of the monitor it chose.
struct RememberedChoice {
    std::string token;
    std::string monitor;
};

RememberedChoice readChoice(const std::filesystem::path& file) {
    RememberedChoice choice;
    std::ifstream in(file);
    std::getline(in, choice.token);
    std::getline(in, choice.monitor);
    return choice;
}

void keepChoice(const std::filesystem::path& file, const RememberedChoice& choice) {
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    const std::string text = choice.token + "\n" + choice.monitor + "\n";
    writeWholeFile(file, {reinterpret_cast<const unsigned char*>(text.data()), text.size()});
}

std::string describe(const std::vector<Monitor>& monitors, std::size_t index) {
    return "monitor " + std::to_string(index) +
           (monitors[index].name.empty() ? "" : " (" + monitors[index].name + ")");
}

// Why a stream that shows `shown` is not the monitor `capture` asks for; empty when it is.
std::string wrongMonitor(const std::vector<Monitor>& monitors, const CaptureArea& capture,
                         std::optional<std::size_t> shown) {
    if (!capture.thisMonitorOnly || shown == capture.index) {
        return {};
    }
    const std::string wanted = describe(monitors, capture.index);
    return shown ? "the portal chose " + describe(monitors, *shown) + ", not " + wanted
                 : "the portal does not tell which monitor it chose, so " + wanted +
                       " cannot be made sure of";
}

}  // namespace

std::filesystem::path monitorChoiceFile() {
    const char* state = std::getenv("XDG_STATE_HOME");
    const char* home = std::getenv("HOME");
    std::filesystem::path folder = state != nullptr && *state != '\0'
                                       ? std::filesystem::path(state)
                                       : std::filesystem::path(home ? home : "") / ".local/state";
    return folder / "velmora" / "screencast-choice";
}

std::optional<std::size_t> monitorShowing(const std::vector<Monitor>& monitors,
                                          const MonitorRect& area) {
    const auto at = [&](auto match) -> std::optional<std::size_t> {
        const auto found = std::find_if(monitors.begin(), monitors.end(), match);
        return found == monitors.end() ? std::nullopt
                                       : std::optional<std::size_t>(found - monitors.begin());
    };
    if (const auto exact = at([&](const Monitor& m) { return m.rect == area; })) {
        return exact;
    }
    // The size alone, where no other monitor has it.
    const auto sameSize = [&](const Monitor& m) {
        return m.rect.right - m.rect.left == area.right - area.left &&
               m.rect.bottom - m.rect.top == area.bottom - area.top;
    };
    if (std::count_if(monitors.begin(), monitors.end(), sameSize) == 1) {
        return at(sameSize);
    }
    return std::nullopt;
}

GrabberResult openWaylandGrabber(const std::vector<Monitor>& monitors, const CaptureArea& capture,
                                 const std::filesystem::path& choiceFile) {
    const RememberedChoice remembered = readChoice(choiceFile);
    // A choice remembered for another monitor would bring that one back.
    const bool mayRestore = !capture.thisMonitorOnly || capture.index >= monitors.size() ||
                            remembered.monitor == monitors[capture.index].name;
    CastProblem problem;
    std::unique_ptr<ScreenCastPortal> portal =
        ScreenCastPortal::open(mayRestore ? remembered.token : std::string(), problem);
    if (!portal) {
        return {nullptr, problem.failure, problem.detail};
    }
    const CastStream cast = portal->stream();
    const std::optional<std::size_t> shown =
        cast.area ? monitorShowing(monitors, *cast.area) : std::nullopt;
    if (const std::string wrong = wrongMonitor(monitors, capture, shown); !wrong.empty()) {
        return {nullptr, GrabberFailure::OtherMonitor, wrong};
    }
    UniqueFd remote = portal->openPipeWireRemote(problem);
    if (!remote) {
        return {nullptr, problem.failure, problem.detail};
    }
    std::string failure;
    std::unique_ptr<PipeWireStream> stream =
        PipeWireStream::connect(std::move(remote), cast.node, failure);
    if (!stream) {
        return {nullptr, GrabberFailure::NoStream, failure};
    }
    const std::string token = portal->restoreToken();
    GrabberResult opened = openStreamGrabber(
        std::make_unique<ScreenCast>(std::move(portal), std::move(stream)), kFirstFrameWait);
    if (!opened.grabber) {
        return opened;
    }
    opened.monitorIndex = shown;
    if (!token.empty()) {
        keepChoice(choiceFile, {token, shown ? monitors[*shown].name : std::string()});
    }
    if (!(capture.area == capture.monitor)) {
        opened.grabber = std::make_unique<RegionGrabber>(std::move(opened.grabber), capture);
    }
    return opened;
}

}  // namespace platform

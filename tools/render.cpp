#include "tools/render.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <map>
#include <optional>
#include <ostream>

#include <opencv2/imgcodecs.hpp>

#include "app/error_line.h"
#include "app/frame_loop.h"
#include "app/frame_rate.h"
#include "app/frame_work.h"
#include "app/window_titles.h"
#include "sources/image_file.h"

namespace {

constexpr const char* kUsage = "usage: velmora-render [--fps VALUE] OUTDIR FRAME...\n";

struct RenderArgs {
    std::optional<double> fps;
    std::filesystem::path outDir;
    std::vector<std::string> frames;
};

std::optional<double> parseFps(const std::string& text) {
    double value = 0.0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || !std::isfinite(value) || value < 0.0) {
        return std::nullopt;
    }
    return value;
}

std::optional<RenderArgs> parseArgs(const std::vector<std::string>& args) {
    RenderArgs parsed;
    std::size_t i = 0;
    if (i < args.size() && args[i] == "--fps") {
        if (i + 1 >= args.size() || !(parsed.fps = parseFps(args[i + 1]))) {
            return std::nullopt;
        }
        i += 2;
    }
    if (i < args.size() && args[i] == "--") {
        ++i;
    }
    if (args.size() - i < 2 || args[i].starts_with("-")) {
        return std::nullopt;
    }
    parsed.outDir = args[i];
    parsed.frames.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
    return parsed;
}

// Keeps the last image each window was given.
class WindowRecorder final : public ImageSink {
  public:
    void show(const std::string& title, const cv::Mat& image) override {
        image.copyTo(images_[title]);
    }
    const std::map<std::string, cv::Mat>& images() const { return images_; }

  private:
    std::map<std::string, cv::Mat> images_;
};

// The PNG written for each window, in window order.
const std::map<std::string, std::string> kFileNames = {
    {kFrameWindow, "velmora.png"},
    {kGrayWindow, "velmora-gray.png"},
    {kSpectrumWindow, "2d-fft-spectrum.png"},
    {kEdgeWindow, "laplacian-edge.png"},
    {kMotionWindow, "motion-detection.png"},
    {kRgbHistogramWindow, "histogram-rgb.png"},
    {kGrayHistogramWindow, "histogram-gray.png"},
};

bool writeWindows(const WindowRecorder& recorder, const std::filesystem::path& dir,
                  std::ostream& err) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    for (const std::string& title : kWindowTitles) {
        const auto it = recorder.images().find(title);
        if (it == recorder.images().end()) {
            continue;
        }
        const std::filesystem::path path = dir / kFileNames.at(title);
        if (!cv::imwrite(path.string(), it->second)) {
            err << "error: cannot write " << path.string() << "\n";
            return false;
        }
    }
    return true;
}

int renderFrames(const RenderArgs& args, std::ostream& err) {
    WindowRecorder recorder;
    FrameImages images;
    double fps = 0.0;
    std::int64_t previous = steadyNowNs();
    for (const std::string& path : args.frames) {
        images.frame = loadImageFile(path);
        if (images.frame.empty()) {
            err << "error: cannot read " << path << "\n";
            return 1;
        }
        const std::int64_t stamp = steadyNowNs();
        fps = args.fps ? *args.fps : smoothFrameRate(fps, stamp - previous);
        processFrame(images, fps, recorder);
        previous = stamp;
    }
    return writeWindows(recorder, args.outDir, err) ? 0 : 1;
}

}  // namespace

int runRender(const std::vector<std::string>& args, std::ostream& err) {
    const std::optional<RenderArgs> parsed = parseArgs(args);
    if (!parsed) {
        err << kUsage;
        return 2;
    }
    try {
        return renderFrames(*parsed, err);
    } catch (const std::exception& e) {
        err << errorLine(e) << "\n";
        return 1;
    }
}

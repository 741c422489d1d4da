#include "tools/window_images.h"

#include <opencv2/imgcodecs.hpp>

#include "app/window_titles.h"

namespace {

// The PNG written for each window.
const std::map<std::string, std::string> kFileNames = {
    {kFrameWindow, "velmora.png"},
    {kGrayWindow, "velmora-gray.png"},
    {kSpectrumWindow, "2d-fft-spectrum.png"},
    {kEdgeWindow, "laplacian-edge.png"},
    {kMotionWindow, "motion-detection.png"},
    {kRgbHistogramWindow, "histogram-rgb.png"},
    {kGrayHistogramWindow, "histogram-gray.png"},
};

}  // namespace

std::filesystem::path writeWindowImages(const WindowRecorder& recorder,
                                        const std::filesystem::path& dir) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    for (const std::string& title : kWindowTitles) {
        const auto it = recorder.images().find(title);
        if (it == recorder.images().end()) {
            continue;
        }
        const std::filesystem::path path = dir / kFileNames.at(title);
        if (!cv::imwrite(path.string(), it->second)) {
            return path;
        }
    }
    return {};
}

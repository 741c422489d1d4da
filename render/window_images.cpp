#include "render/window_images.h"

#include <vector>

#include <opencv2/imgcodecs.hpp>

#include "app/window_titles.h"
#include "platform/whole_file.h"

const std::array<std::string, 7>& windowFileNames() {
    static const std::array<std::string, 7> names = {
        "velmora.png",          "velmora-gray.png",  "2d-fft-spectrum.png", "laplacian-edge.png",
        "motion-detection.png", "histogram-rgb.png", "histogram-gray.png",
    };
    static_assert(std::tuple_size_v<decltype(kWindowTitles)> == 7);
    return names;
}

std::filesystem::path writeWindowImages(const WindowRecorder& recorder,
                                        const std::filesystem::path& dir) {
    // The seven encodings are independent and take most of the time, so they run side by side.
    // A window that was never shown has no file.
    std::array<std::vector<uchar>, 7> encoded;
    std::array<bool, 7> shown{}, done{};
    cv::parallel_for_(cv::Range(0, 7), [&](const cv::Range& range) {
        for (int i = range.start; i < range.end; ++i) {
            const auto it = recorder.images().find(kWindowTitles[static_cast<std::size_t>(i)]);
            shown[i] = it != recorder.images().end();
            done[i] = shown[i] && cv::imencode(".png", it->second, encoded[i]);
        }
    });
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        const std::filesystem::path path = dir / windowFileNames()[i];
        if (shown[i] && (!done[i] || !platform::writeWholeFile(path, encoded[i]))) {
            return path;
        }
    }
    return {};
}

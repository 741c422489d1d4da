#include "bench/bench_frames.h"

#include "bench/benchmarks.h"

#include <map>

#include "tests/reference/synthetic_scene.h"

namespace {

constexpr int kFramesPerSize = 4;

struct SizeLess {
    bool operator()(cv::Size a, cv::Size b) const {
        return a.width != b.width ? a.width < b.width : a.height < b.height;
    }
};

}  // namespace

const std::vector<cv::Size>& benchSizes() {
    static const std::vector<cv::Size> sizes = {
        {640, 480}, {1280, 720}, {1920, 1080}, {3840, 2160}};
    return sizes;
}

std::string sizeName(cv::Size size) {
    return std::to_string(size.width) + "x" + std::to_string(size.height);
}

std::string benchName(const char* stage, const char* implementation, cv::Size size) {
    std::string name = stage;
    name.append("/").append(implementation).append("/").append(sizeName(size));
    return name;
}

const std::vector<cv::Mat>& benchFrames(cv::Size size) {
    static std::map<cv::Size, std::vector<cv::Mat>, SizeLess> frames;
    std::vector<cv::Mat>& made = frames[size];
    if (made.empty()) {
        for (int i = 0; i < kFramesPerSize; ++i) {
            made.push_back(makeSyntheticFrame(size, i));
        }
    }
    return made;
}

benchmark::internal::Benchmark* inMilliseconds(benchmark::internal::Benchmark* family) {
    return family->Unit(benchmark::kMillisecond)->UseRealTime();
}

#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <opencv2/core.hpp>

#include "app/frame_work.h"
#include "app/window_titles.h"

namespace {

// Keeps only the last image of each window, copied into the buffer of the one before, like a
// window that repaints: nothing here grows with the number of iterations.
class LastImages final : public ImageSink {
  public:
    void show(const std::string& title, const cv::Mat& image) override {
        image.copyTo(last[title]);
    }
    std::map<std::string, cv::Mat> last;
};

// Resident memory of this process, from the kernel's own account of it.
long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kib = 0;
            status >> kib;
            return kib;
        }
    }
    return -1;
}

// AddressSanitizer keeps freed memory in quarantine, so resident memory grows by design there.
constexpr bool kResidentMemoryIsMeaningful =
#if defined(__SANITIZE_ADDRESS__)
    false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    false;
#else
    true;
#endif
#else
    true;
#endif

// The two largest sizes come first, so that later blocks fit in memory the first ones used.
const std::vector<cv::Size> kSizes = {{160, 120}, {120, 160}, {1, 1},   {64, 48},   {159, 119},
                                      {2, 100},   {100, 2},   {31, 17}, {160, 120}, {17, 31},
                                      {1, 160},   {160, 1},   {80, 60}, {120, 160}, {33, 33},
                                      {2, 2},     {96, 72},   {159, 1}, {1, 119},   {150, 110}};
// Under AddressSanitizer, where the memory figure means nothing, the same twenty sizes run for
// a tenth of the iterations: enough for the sanitizers to see every size change.
constexpr int kBlock = kResidentMemoryIsMeaningful ? 1000 : 100;
constexpr int kIterations = 20 * kBlock;

TEST(Soak, TwentyThousandIterationsWithChangingSizesKeepMemoryFlat) {
    ASSERT_EQ(kSizes.size() * kBlock, std::size_t{kIterations});
    ASSERT_TRUE(!kResidentMemoryIsMeaningful || kIterations == 20000);
    FrameImages images;
    LastImages windows;
    cv::RNG rng(3);
    long afterFirstChange = 0;
    long peak = 0;
    for (int i = 0; i < kIterations; ++i) {
        const cv::Size size = kSizes[static_cast<std::size_t>(i / kBlock)];
        images.frame.create(size, CV_8UC3);
        rng.fill(images.frame, cv::RNG::UNIFORM, 0, 256);
        processFrame(images, 30.0, windows);
        if (i % kBlock == 0) {
            ASSERT_EQ(images.gray.size(), size) << "iteration " << i;
            ASSERT_EQ(windows.last[kFrameWindow].size(), size) << "iteration " << i;
            for (const std::string& title :
                 {kMotionWindow, kRgbHistogramWindow, kGrayHistogramWindow}) {
                if (windows.last.count(title) != 0) {  // the views and their caches follow too
                    EXPECT_EQ(windows.last[title].size(), size) << title << " at " << i;
                }
            }
            if (windows.last.count(kMotionWindow) != 0) {
                EXPECT_EQ(images.prevGray.size(), size) << "iteration " << i;
            }
        }
        if (i == 2 * kBlock - 1) {
            afterFirstChange = residentKiB();
        }
        if (i >= 2 * kBlock) {
            peak = std::max(peak, (i % 97 == 0) ? residentKiB() : peak);
        }
    }
    const long end = residentKiB();
    std::cout << "[ soak     ] resident KiB after the first size change " << afterFirstChange
              << ", peak " << peak << ", at the end " << end << "\n";
    if (kResidentMemoryIsMeaningful) {
        EXPECT_LE(std::max(peak, end), afterFirstChange + 1024);  // 1 MiB for allocator slack
    }
}

}  // namespace

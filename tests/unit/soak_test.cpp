#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "app/frame_work.h"
#include "app/window_titles.h"
#include "tests/support/recording_windows.h"

#ifndef __has_feature
#define __has_feature(feature) 0
#endif

namespace {

long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line) && !line.starts_with("VmRSS:")) {
    }
    return std::atol(line.c_str() + 6);
}

// AddressSanitizer keeps freed memory in quarantine, so resident memory means nothing there; it
// still sees every size change.
#if __has_feature(address_sanitizer) || defined(__SANITIZE_ADDRESS__)
constexpr int kBlock = 2;
#else
constexpr int kBlock = 20;
#endif

TEST(Soak, IterationsWithChangingSizesKeepMemoryFlat) {
    const cv::Size sizes[] = {{160, 120}, {120, 160}, {1, 1},   {159, 119}, {2, 100},
                              {100, 2},   {31, 17},   {17, 31}, {160, 1},   {1, 160}};
    FrameImages images;
    RecordingWindows windows;  // its list of calls is cleared every iteration
    cv::RNG rng(3);
    long settled = 0, peak = 0;
    // Every round changes the size ten times; memory must settle after the first.
    for (int round = 0; round < 6; ++round) {
        for (int i = 0; i < kBlock * 10; ++i) {
            images.frame.create(sizes[i / kBlock], CV_8UC3);
            rng.fill(images.frame, cv::RNG::UNIFORM, 0, 256);
            processFrame(images, 30.0, windows);
            windows.calls.clear();
            ASSERT_EQ(windows.last[kGrayHistogramWindow].size(), sizes[i / kBlock]);
        }
        peak = std::max(peak, residentKiB());
        settled = round == 0 ? peak : settled;
    }
    if (kBlock == 20) {
        EXPECT_LE(peak, settled + 1024);  // 1 MiB of allocator slack
    }
}

}  // namespace

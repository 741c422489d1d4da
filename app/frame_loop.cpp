#include "app/frame_loop.h"

#include <chrono>
#include <exception>
#include <iostream>
#include <string>

#include "app/display.h"
#include "app/error_line.h"
#include "app/frame_rate.h"
#include "app/frame_work.h"
#include "app/window_titles.h"

namespace {

constexpr int kEscape = 27;

bool isQuitKey(int key) {
    const int low = key & 0xFF;
    return low == 'q' || low == kEscape;
}

LoopEnd runIterations(FrameSource& source, WindowLayer& windows, const MonotonicClock& now,
                      const WindowPlacement& place, FrameImages& images) {
    std::int64_t previous = now();
    double fps = 0.0;
    bool firstIteration = true;
    try {
        while (source.read(images.frame)) {
            if (firstIteration) {
                place(windows, images.frame.size());
                firstIteration = false;
            }
            const std::int64_t stamp = now();
            fps = smoothFrameRate(fps, stamp - previous);
            processFrame(images, fps, windows);
            if (isQuitKey(windows.pollKey())) {
                return LoopEnd::Key;
            }
            previous = stamp;
        }
    } catch (const std::exception& e) {
        std::cerr << errorLine(e) << "\n";
        return LoopEnd::Error;
    }
    std::cerr << "error: failed to capture\n";
    return LoopEnd::CaptureFailed;
}

}  // namespace

void sizeWindows(WindowLayer& windows, cv::Size frame) {
    const cv::Size size = windowSizeFor(frame);
    for (const std::string& title : kWindowTitles) {
        windows.resize(title, size.width, size.height);
    }
}

std::int64_t steadyNowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

LoopEnd runFrameLoop(FrameSource& source, WindowLayer& windows, const MonotonicClock& now,
                     const WindowPlacement& place) {
    for (const std::string& title : kWindowTitles) {
        windows.create(title);
    }
    FrameImages images;
    const LoopEnd end = runIterations(source, windows, now, place, images);
    windows.destroyAll();
    return end;
}

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <opencv2/core.hpp>

#include "app/frame_work.h"
#include "app/window_titles.h"
#include "tests/support/recording_windows.h"

namespace {

// The size the display rule gives an image of `size`: halved by the resize (which rounds) when
// it reaches both 1024 columns and 768 rows, shown as it is otherwise.
cv::Size displayed(cv::Size size) {
    if (size.width >= 1024 && size.height >= 768) {
        return {cvRound(size.width * 0.5), cvRound(size.height * 0.5)};
    }
    return size;
}

// The spectrum is made at the transform's padded size, cropped to even sides.
cv::Size spectrumSize(cv::Size frame) {
    return {cv::getOptimalDFTSize(frame.width) & ~1, cv::getOptimalDFTSize(frame.height) & ~1};
}

// The size each window's image must have for a frame of `frame`. Windows missing here are not
// checked; a degenerate spectrum (a side cropped to nothing) has no settled size.
std::map<std::string, cv::Size> expectedSizes(cv::Size frame) {
    const cv::Size shown = displayed(frame);
    std::map<std::string, cv::Size> sizes = {
        {kFrameWindow, shown},  {kGrayWindow, shown},         {kEdgeWindow, shown},
        {kMotionWindow, shown}, {kRgbHistogramWindow, shown}, {kGrayHistogramWindow, shown},
    };
    const cv::Size spectrum = spectrumSize(frame);
    if (spectrum.width > 0 && spectrum.height > 0) {
        sizes[kSpectrumWindow] = displayed(spectrum);
    }
    return sizes;
}

std::vector<cv::Size> everySize() {
    std::vector<cv::Size> sizes;
    for (int height = 1; height <= 64; ++height) {
        for (int width = 1; width <= 64; ++width) {
            sizes.emplace_back(width, height);
        }
    }
    for (const cv::Size size : {cv::Size(1, 5000), cv::Size(5000, 1), cv::Size(1023, 767),
                                cv::Size(1024, 768), cv::Size(4096, 2160), cv::Size(7680, 4320)}) {
        sizes.push_back(size);
    }
    return sizes;
}

// Runs one frame of `size` through a whole iteration, the second of a pair so that the motion
// view has a previous frame of the same size. Returns the failure text, empty when it passed.
std::string runAndCheck(cv::Size size) {
    FrameImages images;
    RecordingWindows windows;
    cv::Mat frame(size, CV_8UC3);
    cv::randu(frame, 0, 256);
    try {
        images.frame = frame;
        processFrame(images, 25.0, windows);
        images.frame = frame.clone();
        processFrame(images, 25.0, windows);
    } catch (const cv::Exception& e) {
        return "error: " + std::string(e.what());
    }
    std::string failures;
    const std::map<std::string, cv::Size> expected = expectedSizes(size);
    for (const auto& [title, image] : windows.last) {
        const auto it = expected.find(title);
        if (it != expected.end() && image.size() != it->second) {
            failures += " " + title + " shows " + std::to_string(image.cols) + "x" +
                        std::to_string(image.rows);
        }
    }
    if (windows.shows[kFrameWindow] != 2 || windows.shows[kGrayWindow] != 2) {
        failures += " the frame windows were not shown every time";
    }
    return failures;
}

TEST(FrameSizes, EverySizeGoesThroughAWholeIterationWithDisplaySizedImages) {
    for (const cv::Size size : everySize()) {
        const std::string failures = runAndCheck(size);
        EXPECT_EQ(failures, "") << "frame " << size;
    }
}

}  // namespace

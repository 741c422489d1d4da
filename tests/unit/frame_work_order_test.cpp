#include <gtest/gtest.h>

#include "app/frame_work.h"
#include "app/window_titles.h"
#include "tests/support/recording_windows.h"

// The stages run side by side; the windows still get their images one after the other, in the
// order of the plain recipe, and an error raised in a stage comes after the images shown before
// it (a four-channel frame is refused by the RGB histogram).
TEST(FrameWork, WindowsAreShownInTheirFixedOrderAndAStageErrorComesLast) {
    FrameImages images;
    images.frame = cv::Mat(48, 64, CV_8UC3, cv::Scalar(1, 2, 3));
    RecordingWindows windows;
    processFrame(images, 25.0, windows);
    std::vector<std::string> expected;
    for (const std::string& title : {kSpectrumWindow, kEdgeWindow, kMotionWindow, kFrameWindow,
                                     kGrayWindow, kRgbHistogramWindow, kGrayHistogramWindow}) {
        expected.push_back("show " + title + " 64x48");
    }
    EXPECT_EQ(windows.calls, expected);

    images.frame = cv::Mat(48, 64, CV_8UC4, cv::Scalar::all(1));
    EXPECT_THROW(processFrame(images, 25.0, windows), cv::Exception);
    EXPECT_EQ(windows.calls.size(), expected.size() + 5);
}

#include "app/frame_numbers.h"

#include <cstdio>

#include "analysis/motion_view.h"
#include "app/display.h"
#include "hist/channel_hist.h"

namespace {

// Quoted only where the name holds a comma, a quote or a line break; quotes are doubled.
std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    }
    return quoted + "\"";
}

std::string secondsField(std::optional<double> seconds) {
    if (!seconds) {
        return {};
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", *seconds);
    return text;
}

}  // namespace

const std::string_view kNumbersHeader =
    "frame,input,width,height,low_point,high_point,dynamic_range,motion_pixels,time\n";

FrameNumbers measureFrame(const cv::Mat& gray, const cv::Mat& prevGray) {
    // The gray histogram window counts the gray frame as it is displayed.
    return {gray.size(), hist::findRangePoints(hist::calcChannelHist(downscaleForDisplay(gray))),
            countMotionPixels(gray, prevGray)};
}

FrameNumbers numbersOfShown(cv::Size frame, const cv::Mat& shownGray, const cv::Mat& motion) {
    return {frame, hist::findRangePoints(hist::calcChannelHist(shownGray)),
            cv::countNonZero(motion)};
}

std::string numbersRow(int number, const std::string& input, const FrameNumbers& numbers,
                       std::optional<double> seconds) {
    const hist::RangePoints& range = numbers.range;
    return std::to_string(number) + ',' + csvField(input) + ',' +
           std::to_string(numbers.size.width) + ',' + std::to_string(numbers.size.height) + ',' +
           std::to_string(range.low) + ',' + std::to_string(range.high) + ',' +
           std::to_string(range.high - range.low) + ',' + std::to_string(numbers.motionPixels) +
           ',' + secondsField(seconds) + '\n';
}

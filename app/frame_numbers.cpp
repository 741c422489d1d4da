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

// Three decimals, as seconds and the sharpness are written.
std::string decimals(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

std::string secondsField(std::optional<double> seconds) {
    return seconds ? decimals(*seconds) : std::string();
}

}  // namespace

const std::string_view kNumbersHeader =
    "frame,input,width,height,low_point,high_point,dynamic_range,motion_pixels,time,sharpness,"
    "clipped_low,clipped_high\n";

FrameNumbers measureFrame(const cv::Mat& frame, const cv::Mat& gray, const cv::Mat& prevGray) {
    // The gray histogram window counts the gray frame as it is displayed.
    return {gray.size(), hist::findRangePoints(hist::calcChannelHist(downscaleForDisplay(gray))),
            countMotionPixels(gray, prevGray), laplacianVariance(gray), countClipped(frame)};
}

FrameNumbers numbersOfShown(const cv::Mat& frame, const cv::Mat& gray, const cv::Mat& shownGray,
                            const cv::Mat& motion) {
    return {frame.size(), hist::findRangePoints(hist::calcChannelHist(shownGray)),
            cv::countNonZero(motion), laplacianVariance(gray), countClipped(frame)};
}

std::string numbersRow(int number, const std::string& input, const FrameNumbers& numbers,
                       std::optional<double> seconds) {
    const hist::RangePoints& range = numbers.range;
    return std::to_string(number) + ',' + csvField(input) + ',' +
           std::to_string(numbers.size.width) + ',' + std::to_string(numbers.size.height) + ',' +
           std::to_string(range.low) + ',' + std::to_string(range.high) + ',' +
           std::to_string(range.high - range.low) + ',' + std::to_string(numbers.motionPixels) +
           ',' + secondsField(seconds) + ',' + decimals(numbers.sharpness) + ',' +
           std::to_string(numbers.clipped.low) + ',' + std::to_string(numbers.clipped.high) + '\n';
}

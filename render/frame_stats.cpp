#include "render/frame_stats.h"

#include <cstdio>
#include <ostream>

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

FrameNumbers measureFrame(const cv::Mat& gray, const cv::Mat& prevGray) {
    // The gray histogram window counts the gray frame as it is displayed.
    const cv::Mat shownGray = downscaleForDisplay(gray);
    return {gray.size(), hist::findRangePoints(hist::calcChannelHist(shownGray)),
            countMotionPixels(gray, prevGray)};
}

FrameStats::FrameStats(std::ostream& out, bool lineByLine) : out_(out), lineByLine_(lineByLine) {
    put("frame,input,width,height,low_point,high_point,dynamic_range,motion_pixels,time\n");
}

void FrameStats::addRow(int number, const std::string& input, const FrameNumbers& numbers,
                        std::optional<double> seconds) {
    const hist::RangePoints& range = numbers.range;
    put(std::to_string(number) + ',' + csvField(input) + ',' + std::to_string(numbers.size.width) +
        ',' + std::to_string(numbers.size.height) + ',' + std::to_string(range.low) + ',' +
        std::to_string(range.high) + ',' + std::to_string(range.high - range.low) + ',' +
        std::to_string(numbers.motionPixels) + ',' + secondsField(seconds) + '\n');
}

void FrameStats::put(const std::string& line) {
    out_.write(line.data(), static_cast<std::streamsize>(line.size()));
    if (lineByLine_) {
        out_.flush();
    }
}

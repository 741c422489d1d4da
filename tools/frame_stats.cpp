#include "tools/frame_stats.h"

#include <ostream>

#include "analysis/motion_view.h"
#include "app/window_titles.h"
#include "hist/channel_hist.h"
#include "hist/dynamic_range.h"

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

}  // namespace

FrameStats::FrameStats(std::ostream& out) : out_(out) {
    out_ << "frame,input,width,height,low_point,high_point,dynamic_range,motion_pixels\n";
}

void FrameStats::addRow(int number, const std::string& input, const cv::Mat& gray,
                        const WindowRecorder& windows) {
    // The gray histogram window counts the gray frame as it is displayed.
    const cv::Mat& shownGray = windows.images().at(kGrayWindow);
    const hist::RangePoints points = hist::findRangePoints(hist::calcChannelHist(shownGray));
    const int motionPixels = cv::countNonZero(makeMotionView(gray, prevGray_));
    out_ << number << ',' << csvField(input) << ',' << gray.cols << ',' << gray.rows << ','
         << points.low << ',' << points.high << ',' << points.high - points.low << ','
         << motionPixels << '\n';
}

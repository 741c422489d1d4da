#include "tests/support/fake_monitors.h"

#include <memory>

namespace {

// Copies the screen area of its monitor into rows with a padded stride, so that a reader
// that ignores the stride shows it.
class FakeGrabber final : public platform::ScreenGrabber {
  public:
    FakeGrabber(FakeMonitors& desktop, const platform::MonitorRect& rect)
        : desktop_(desktop), rect_(rect) {
        ++desktop_.grabbersAlive;
        const int width = rect.right - rect.left;
        const int height = rect.bottom - rect.top;
        padded_ = cv::Mat(height, width + 3, CV_8UC4, cv::Scalar(7, 7, 7, 7));
        rows_ = padded_.colRange(0, width);
    }
    ~FakeGrabber() override {
        --desktop_.grabbersAlive;
        desktop_.calls.push_back("close");
    }
    FakeGrabber(const FakeGrabber&) = delete;
    FakeGrabber& operator=(const FakeGrabber&) = delete;

    bool grab() override {
        desktop_.calls.push_back("grab");
        if (desktop_.grabsFail) {
            return false;
        }
        const cv::Rect area(rect_.left - desktop_.screenOrigin.x,
                            rect_.top - desktop_.screenOrigin.y, rows_.cols, rows_.rows);
        desktop_.screen(area).copyTo(rows_);
        return true;
    }
    const unsigned char* rows() const override { return rows_.data; }
    std::size_t rowStride() const override { return rows_.step; }

  private:
    FakeMonitors& desktop_;
    platform::MonitorRect rect_;
    cv::Mat padded_;
    cv::Mat rows_;
};

std::string text(const platform::MonitorRect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

}  // namespace

std::vector<platform::MonitorRect> FakeMonitors::monitors() {
    calls.push_back("monitors");
    std::vector<platform::MonitorRect> found;
    for (std::size_t i = 0; i < rects.size(); ++i) {
        if (i >= infoFails.size() || !infoFails[i]) {
            found.push_back(rects[i]);
        }
    }
    return found;
}

platform::GrabberResult FakeMonitors::openGrabber(const platform::MonitorRect& rect) {
    calls.push_back("open " + text(rect));
    grabberRects.push_back(rect);
    if (grabberFailure != platform::GrabberFailure::NoFailure) {
        return {nullptr, grabberFailure, grabberDetail};
    }
    return {std::make_unique<FakeGrabber>(*this, rect), grabberFailure, {}};
}

std::int32_t FakeMonitors::initializeCom() {
    calls.push_back("com-init");
    if (comResult >= 0) {
        ++comDepth;
    }
    return comResult;
}

void FakeMonitors::uninitializeCom() {
    calls.push_back("com-uninit");
    --comDepth;
}

std::filesystem::path FakeMonitors::wallpaperPath() {
    calls.push_back("wallpaper");
    comDepthAtLookup = comDepth;
    return wallpaper;
}

#include <memory>
#include <sstream>

#include <gtest/gtest.h>

#include "app/velmora_app.h"
#include "app/window_titles.h"
#include "sources/usb_source.h"
#include "tests/support/console_capture.h"
#include "tests/support/recording_windows.h"

namespace {

// A camera that delivers `frames` frames and then stops, and reports its own release.
class StoppingCamera final : public CaptureDevice {
  public:
    StoppingCamera(int frames, int& alive) : frames_(frames), alive_(alive) { ++alive_; }
    ~StoppingCamera() override { --alive_; }
    StoppingCamera(const StoppingCamera&) = delete;
    StoppingCamera& operator=(const StoppingCamera&) = delete;

    bool isOpened() const override { return true; }
    bool read(cv::Mat& image) override {
        if (reads_++ >= frames_) {
            return false;
        }
        image.create(48, 64, CV_8UC3);
        image.setTo(cv::Scalar(reads_, 2 * reads_, 3 * reads_));
        return true;
    }
    double get(int) const override { return 0; }

  private:
    int frames_;
    int& alive_;
    int reads_ = 0;
};

TEST(FailingSource, ACameraThatStopsEndsTheRunWithTheMessageAndIsReleased) {
    for (const int frames : {0, 1, 7}) {
        ConsoleCapture console;
        int alive = 0;
        // The probe reads up to five frames from every index; only index 3 has a camera, and
        // the camera used for the run delivers `frames` frames.
        int opens = 0;
        const CaptureOpener opener = [&](int index, int) -> std::unique_ptr<CaptureDevice> {
            if (index != 3) {
                return nullptr;
            }
            ++opens;
            return std::make_unique<StoppingCamera>(opens == 1 ? 1 : frames, alive);
        };
        std::istringstream in("1\n");
        std::ostringstream out;
        RecordingWindows windows;
        const SourceFactories factories{[&] { return createUsbSource(opener); }, nullptr};
        const int status = runVelmora(in, out, factories, windows);
        EXPECT_EQ(status, 0) << frames;
        EXPECT_EQ(console.err(), "error: failed to capture\n") << frames;
        EXPECT_EQ(windows.shows[kFrameWindow], frames);
        EXPECT_EQ(windows.calls.back(), "destroy") << frames;
        EXPECT_EQ(opens, 2) << frames;
        EXPECT_EQ(alive, 0) << "the camera outlived the run, " << frames;
    }
}

}  // namespace

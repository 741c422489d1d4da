#include "app/frame_loop.h"

#include <chrono>
#include <exception>
#include <iostream>
#include <string>

#include "app/display.h"
#include "app/error_line.h"
#include "app/frame_rate.h"
#include "app/frame_work.h"
#include "app/snapshot.h"
#include "app/window_titles.h"

namespace {

constexpr int kEscape = 27;
constexpr int kFreeze = ' ';
constexpr int kSave = 's';
constexpr int kScopes = 'w';

std::vector<std::string> titlesOf(bool scopes) {
    std::vector<std::string> titles(kWindowTitles.begin(), kWindowTitles.end());
    if (scopes) {
        titles.insert(titles.end(), kScopeTitles.begin(), kScopeTitles.end());
    }
    return titles;
}

// Passes every image on to the windows and keeps a header of it until the frame's keys are
// handled, for a snapshot.
class ShownImages final : public ImageSink {
  public:
    explicit ShownImages(ImageSink& windows) : windows_(windows) {}
    void show(const std::string& title, const cv::Mat& image) override {
        windows_.show(title, image);
        shown[title] = image;
    }
    std::map<std::string, cv::Mat> shown;

  private:
    ImageSink& windows_;
};

class LiveLoop {
  public:
    LiveLoop(FrameSource& source, WindowLayer& windows, const MonotonicClock& now,
             const LoopSettings& settings)
        : source_(source),
          windows_(windows),
          now_(now),
          settings_(settings),
          shown_(windows),
          scopes_(settings.scopes) {}

    LoopEnd run() {
        previous_ = now_();
        try {
            while (source_.read(images_.frame)) {
                // A frozen loop drops the frame and only looks at the keys.
                if (!(frozen_ ? handleKey(windows_.pollKey() & 0xFF) : step())) {
                    return LoopEnd::Key;
                }
            }
        } catch (const std::exception& e) {
            std::cerr << errorLine(e) << "\n";
            return LoopEnd::Error;
        }
        std::cerr << "error: failed to capture\n";
        return LoopEnd::CaptureFailed;
    }

  private:
    // One frame analysed and shown; false for a quit key.
    bool step() {
        if (frames_ == 0) {
            firstSize_ = images_.frame.size();
            settings_.place(windows_, titlesOf(scopes_), firstSize_);
        }
        const std::int64_t stamp = now_();
        fps_ = smoothFrameRate(fps_, stamp - previous_);
        processFrame(images_, fps_, shown_, scopes_);
        ++frames_;
        const bool going = handleKey(windows_.pollKey() & 0xFF);
        // The images of the frame go before the next read, none sharing the frame then.
        shown_.shown.clear();
        images_.motion.release();
        previous_ = stamp;
        return going;
    }

    // False for a quit key.
    bool handleKey(int key) {
        if (key == 'q' || key == kEscape) {
            return false;
        }
        if (key == kFreeze) {
            frozen_ = !frozen_;
            frozenView_ = frozen_ ? current().copy() : Snapshot();
            // The rate resumes its smoothing from the frame after the pause.
            previous_ = now_();
        } else if (key == kSave) {
            saveSnapshot(frozen_ ? frozenView_ : current(), settings_.snapshots,
                         settings_.localTime());
        } else if (key == kScopes) {
            toggleScopes();
        }
        return true;
    }

    // The scope windows come and go; the others keep what they show.
    void toggleScopes() {
        scopes_ = !scopes_;
        for (const std::string& title : kScopeTitles) {
            if (scopes_) {
                windows_.create(title);
            } else {
                windows_.destroy(title);
            }
        }
        if (scopes_) {
            settings_.place(windows_, titlesOf(true), firstSize_);
        }
    }

    Snapshot current() const {
        return {shown_.shown, images_.frame, images_.gray, images_.motion, frames_, source_.kind()};
    }

    FrameSource& source_;
    WindowLayer& windows_;
    const MonotonicClock& now_;
    const LoopSettings& settings_;
    ShownImages shown_;
    FrameImages images_;
    std::int64_t previous_ = 0;
    double fps_ = 0.0;
    int frames_ = 0;
    bool frozen_ = false;
    Snapshot frozenView_;
    bool scopes_;
    cv::Size firstSize_;
};

}  // namespace

void sizeWindows(WindowLayer& windows, const std::vector<std::string>& titles, cv::Size frame) {
    const cv::Size size = windowSizeFor(frame);
    for (const std::string& title : titles) {
        windows.resize(title, size.width, size.height);
    }
}

std::int64_t steadyNowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::tm localNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return local;
}

LoopEnd runFrameLoop(FrameSource& source, WindowLayer& windows, const MonotonicClock& now,
                     const LoopSettings& settings) {
    for (const std::string& title : titlesOf(settings.scopes)) {
        windows.create(title);
    }
    const LoopEnd end = LiveLoop(source, windows, now, settings).run();
    windows.destroyAll();
    return end;
}

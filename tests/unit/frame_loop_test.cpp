#include <gtest/gtest.h>

#include "app/frame_loop.h"
#include "app/velmora_app.h"
#include "app/window_titles.h"
#include "tests/support/console_capture.h"
#include "tests/support/recording_windows.h"
#include "tests/support/scripted_source.h"

namespace {

std::vector<cv::Mat> frames(int count, cv::Size size) {
    std::vector<cv::Mat> out;
    for (int i = 0; i < count; ++i) {
        out.emplace_back(size, CV_8UC3, cv::Scalar(i * 10, 100, 200));
    }
    return out;
}

TEST(FrameLoop, AFailedFirstReadCreatesTheWindowsThenEndsWithTheMessage) {
    ConsoleCapture console;
    ScriptedSource source(std::vector<cv::Mat>{});
    RecordingWindows windows;
    EXPECT_EQ(runFrameLoop(source, windows), LoopEnd::CaptureFailed);
    std::vector<std::string> expected;
    for (const std::string& title : kWindowTitles) {
        expected.push_back("create " + title);
    }
    expected.push_back("destroy");
    EXPECT_EQ(windows.calls, expected);
    EXPECT_EQ(console.err(), "error: failed to capture\n");
    EXPECT_EQ(console.out(), "");
}

TEST(FrameLoop, WindowsAreSizedOnceFromTheFirstFrame) {
    const struct {
        cv::Size frame;
        std::string window;
    } cases[] = {{{1280, 1024}, "640x512"},
                 {{1023, 768}, "1023x768"},
                 {{1920, 700}, "1920x700"},
                 {{1025, 769}, "512x384"}};
    for (const auto& c : cases) {
        ConsoleCapture console;
        std::vector<cv::Mat> script = frames(2, c.frame);
        script.emplace_back(cv::Size(300, 200), CV_8UC3);  // a later size change resizes nothing
        ScriptedSource source(script);
        RecordingWindows windows;
        runFrameLoop(source, windows);
        std::vector<std::string> expected;
        for (const std::string& title : kWindowTitles) {
            expected.push_back("resize " + title + " " + c.window);
        }
        EXPECT_EQ(windows.callsStartingWith("resize "), expected) << c.frame;
    }
}

TEST(FrameLoop, ShowsTheDisplayCopiesOfFrameAndGray) {
    ConsoleCapture console;
    ScriptedSource source(frames(1, {1280, 1024}));
    RecordingWindows windows;
    runFrameLoop(source, windows);
    ASSERT_EQ(windows.last[kFrameWindow].size(), cv::Size(640, 512));
    EXPECT_EQ(windows.last[kFrameWindow].type(), CV_8UC3);
    ASSERT_EQ(windows.last[kGrayWindow].size(), cv::Size(640, 512));
    EXPECT_EQ(windows.last[kGrayWindow].type(), CV_8UC1);
    EXPECT_EQ(windows.last[kGrayWindow].at<uchar>(0, 0), 119);  // gray of B 0, G 100, R 200
}

TEST(FrameLoop, QAndEscapeEndTheRunWithoutAMessage) {
    for (const int key : {int{'q'}, 27, 0x100000 | 'q'}) {
        ConsoleCapture console;
        ScriptedSource source(frames(5, {64, 48}));
        RecordingWindows windows;
        windows.keys = {-1, key};
        EXPECT_EQ(runFrameLoop(source, windows), LoopEnd::Key) << key;
        EXPECT_EQ(source.reads, 2) << key;
        EXPECT_EQ(console.err(), "") << key;
        EXPECT_EQ(windows.calls.back(), "destroy");
    }
}

TEST(FrameLoop, OtherKeysAreIgnored) {
    ConsoleCapture console;
    ScriptedSource source(frames(5, {64, 48}));
    RecordingWindows windows;
    windows.keys = {'Q', 'a', 225, 13, ' '};
    EXPECT_EQ(runFrameLoop(source, windows), LoopEnd::CaptureFailed);
    EXPECT_EQ(source.reads, 6);
    EXPECT_EQ(windows.shows[kFrameWindow], 5);
}

TEST(FrameLoop, NoDisplayCopySharesTheFrameWhenTheNextOneIsRead) {
    for (const cv::Size size : {cv::Size(800, 600), cv::Size(1280, 1024)}) {
        ConsoleCapture console;
        ScriptedSource source(frames(3, size));
        int checked = 0;
        source.beforeRead = [&](const cv::Mat& frame) {
            if (frame.u != nullptr) {
                EXPECT_EQ(frame.u->refcount, 1) << size;
                ++checked;
            }
        };
        RecordingWindows windows;
        runFrameLoop(source, windows);
        EXPECT_EQ(checked, 3) << size;
    }
}

TEST(FrameLoop, AnErrorInsideAnIterationEndsTheRunWithOneErrorLine) {
    ConsoleCapture console;
    ScriptedSource source(std::vector<cv::Mat>{cv::Mat(48, 64, CV_8UC2, cv::Scalar(1, 2))});
    RecordingWindows windows;
    EXPECT_EQ(runFrameLoop(source, windows), LoopEnd::Error);
    const std::string err = console.err();
    EXPECT_EQ(err.rfind("error: ", 0), 0u) << err;
    EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
    EXPECT_EQ(err.find("  "), std::string::npos) << err;
    EXPECT_EQ(windows.calls.back(), "destroy");
}

class TrackedSource final : public FrameSource {
  public:
    TrackedSource(std::vector<cv::Mat> frames, bool& destroyed)
        : inner_(std::move(frames)), destroyed_(destroyed) {}
    ~TrackedSource() override { destroyed_ = true; }
    bool read(cv::Mat& out) override { return inner_.read(out); }

  private:
    ScriptedSource inner_;
    bool& destroyed_;
};

struct AppRun {
    int status;
    std::string out;
    std::string err;
    bool cameraMade = false;
    bool monitorMade = false;
    bool sourceDestroyed = false;
    RecordingWindows windows;
};

void runApp(AppRun& run, const std::string& input, std::vector<cv::Mat> script, bool makeSource,
            std::deque<int> keys = {}) {
    ConsoleCapture console;
    std::istringstream in(input);
    std::ostringstream out;
    auto make = [&](bool& made) {
        return [&, script]() -> std::unique_ptr<FrameSource> {
            made = true;
            if (!makeSource) {
                return nullptr;
            }
            return std::make_unique<TrackedSource>(script, run.sourceDestroyed);
        };
    };
    run.windows.keys = std::move(keys);
    run.status = runVelmora(in, out, {make(run.cameraMade), make(run.monitorMade)}, run.windows);
    run.out = out.str();
    run.err = console.err();
}

TEST(VelmoraApp, ExitStatusForEveryWayTheRunEnds) {
    {
        AppRun run;
        runApp(run, "", frames(1, {64, 48}), true);
        EXPECT_EQ(run.status, 1);
        EXPECT_FALSE(run.cameraMade || run.monitorMade);
        EXPECT_TRUE(run.windows.calls.empty());
    }
    {
        AppRun run;
        runApp(run, "1\n", {}, false);
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.cameraMade);
        EXPECT_TRUE(run.windows.calls.empty());
    }
    {
        AppRun run;
        runApp(run, "2\n", frames(3, {64, 48}), true);
        EXPECT_EQ(run.status, 0);
        EXPECT_TRUE(run.monitorMade);
        EXPECT_FALSE(run.cameraMade);
        EXPECT_EQ(run.err, "error: failed to capture\n");
        EXPECT_TRUE(run.sourceDestroyed);
    }
    {
        AppRun run;
        runApp(run, "1", frames(3, {64, 48}), true, {27});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        EXPECT_TRUE(run.sourceDestroyed);
    }
    {
        AppRun run;
        runApp(run, "1", {cv::Mat(4, 4, CV_8UC2)}, true);
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.sourceDestroyed);
        EXPECT_EQ(run.windows.calls.back(), "destroy");
    }
}

}  // namespace

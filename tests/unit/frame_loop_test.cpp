#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "analysis/motion_view.h"
#include "app/display.h"
#include "app/frame_loop.h"
#include "app/frame_numbers.h"
#include "app/snapshot.h"
#include "app/source_prompt.h"
#include "app/velmora_app.h"
#include "app/velmora_options.h"
#include "app/window_tiling.h"
#include "app/window_titles.h"
#include "hist/gray_histogram.h"
#include "tests/support/console_capture.h"
#include "tests/support/image_checks.h"
#include "tests/support/recording_windows.h"
#include "tests/support/scripted_source.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

struct AppRun {
    int status = 0;
    std::string chosen;
    std::string out;
    std::string console;  // what went to standard output beside the dialogue
    std::string err;
    RecordingWindows windows;
};

// The program on `input`, with a source of `script` (none when `made` is false) for every request;
// `stamps` are handed out in order as the clock, the last one repeated.
AppRun run(const std::string& input, const std::vector<cv::Mat>& script, std::deque<int> keys = {},
           bool made = true, std::vector<std::int64_t> stamps = {},
           const VelmoraOptions& options = {}) {
    ConsoleCapture console;
    std::istringstream in(input);
    std::ostringstream out;
    AppRun result;
    result.windows.keys = std::move(keys);
    const auto make = [&](const SourceRequest& request) -> std::unique_ptr<FrameSource> {
        const char* kinds[] = {"camera", "monitor", "wallpaper"};
        result.chosen = kinds[static_cast<int>(request.kind)];
        auto source = made ? std::make_unique<ScriptedSource>(script) : nullptr;
        if (source) {
            // No image of an iteration may share the frame when the next one is read into it.
            source->beforeRead = [](const cv::Mat& frame) {
                EXPECT_TRUE(frame.u == nullptr || frame.u->refcount == 1);
            };
        }
        return source;
    };
    std::size_t next = 0;
    const MonotonicClock clock = [&] {
        return stamps.empty() ? steadyNowNs() : stamps[std::min(next++, stamps.size() - 1)];
    };
    const auto listed = [](std::ostream& o) { o << "listed\n"; };
    const auto monitors = [] { return std::vector<cv::Rect>{{0, 0, 800, 600}}; };
    const auto fixedTime = [] {
        std::tm at{};
        at.tm_year = 126, at.tm_mon = 11, at.tm_mday = 7, at.tm_hour = 14, at.tm_min = 5;
        at.tm_sec = 9;
        return at;
    };
    const VelmoraSystem system{in,       out, make, listed, monitors, [&out] { out << "forgot\n"; },
                               fixedTime};
    result.status = runVelmora(options, system, result.windows, clock);
    result.out = out.str();
    result.console = console.out();
    result.err = console.err();
    return result;
}

std::vector<std::string> callsFor(const std::string& verb, const std::string& size) {
    std::vector<std::string> calls;
    for (const std::string& title : kWindowTitles) {
        calls.push_back(verb + " " + title + size);
    }
    return calls;
}

// Both halving limits must be reached: the windows get the integer halves, the images what the
// linear resize makes. A later frame of another size resizes nothing. Each picture is judged by
// its own size: the spectrum's padding can reach the limits where the frame does not.
TEST(FrameLoop, WindowsAreSizedFromTheFirstFrameAndImagesHalvedAtBothLimits) {
    const struct {
        cv::Size frame, window, spectrum;  // the spectrum as shown
    } cases[] = {
        {{1023, 768}, {1023, 768}, {512, 384}},  // padded to 1024 x 768
        {{1024, 767}, {1024, 767}, {512, 384}},  {{1024, 768}, {512, 384}, {512, 384}},
        {{1025, 769}, {512, 384}, {540, 400}},  // padded to 1080 x 800
        {{1366, 768}, {683, 384}, {720, 384}},  // padded to 1440 x 768
        {{1000, 700}, {1000, 700}, {1000, 720}},
    };
    for (const auto& [size, window, spectrum] : cases) {
        SCOPED_TRACE(size);
        cv::Mat frame(size, CV_8UC3);
        cv::randu(frame, 0, 256);
        cv::Mat shown = frame;
        if (window != size) {
            cv::resize(frame, shown, cv::Size(), 0.5, 0.5, cv::INTER_LINEAR);
        }
        AppRun changing = run("1", {frame, cv::Mat(200, 300, CV_8UC3, cv::Scalar(1))});
        std::erase_if(changing.windows.calls,
                      [](const auto& c) { return !c.starts_with("resize"); });
        EXPECT_EQ(changing.windows.calls,
                  callsFor("resize", " " + std::to_string(window.width) + "x" +
                                         std::to_string(window.height)));
        AppRun single = run("1", {frame});
        EXPECT_TRUE(sameImage(single.windows.last[kFrameWindow], shown));
        for (const std::string& title : kWindowTitles) {
            EXPECT_EQ(single.windows.last[title].size(),
                      title == kSpectrumWindow ? spectrum : shown.size())
                << title;
        }
        // Below the limits no pixel is copied.
        EXPECT_EQ(downscaleForDisplay(frame).data == frame.data, window == size);
    }
}

// The first stamp is taken before the first read, then one per iteration.
TEST(FrameLoop, TheHistogramWindowsPrintTheSmoothedFrameRate) {
    constexpr std::int64_t kMs = 1'000'000;
    const cv::Mat frame(300, 400, CV_8UC3, cv::Scalar(0, 100, 200));  // wide enough for the text
    const struct {
        std::vector<std::int64_t> stamps;
        double fps[3];  // after iterations 1, 2, 3
    } cases[] = {
        {{0, 100 * kMs, 140 * kMs, 180 * kMs}, {10.0, 13.0, 15.4}},  // 10 per second, then 25
        {{0, 100 * kMs, 100 * kMs}, {10.0, 10.0, 10.0}},             // equal stamps keep the rate
        {{5}, {0.0, 0.0, 0.0}},
    };
    for (const auto& c : cases) {
        for (int n = 1; n <= 3; ++n) {
            SCOPED_TRACE(::testing::Message()
                         << "iteration " << n << " of stamps " << c.stamps.size());
            AppRun r = run("1", std::vector<cv::Mat>(n, frame), {}, true, c.stamps);
            const cv::Mat expected =
                renderGrayHistogram(r.windows.last[kGrayWindow], {400, 300}, c.fps[n - 1]);
            EXPECT_TRUE(sameImage(r.windows.last[kGrayHistogramWindow], expected))
                << "iteration " << n << " expected " << c.fps[n - 1];
        }
    }
}

// Only the low eight bits of a key count; an error inside an iteration is folded into one line.
// The source is made for the answer, and released however the run ends.
TEST(VelmoraApp, ExitStatusLastLineAndSourceReleaseForEveryWayTheRunEnds) {
    const std::string failed = "error: failed to capture\n";
    std::vector<cv::Mat> five;
    for (int i = 0; i < 5; ++i) {
        five.emplace_back(48, 64, CV_8UC3, cv::Scalar(i, 100, 200));
    }
    const std::vector<cv::Mat> none;
    const std::vector<cv::Mat> bad = {cv::Mat(48, 64, CV_8UC2, cv::Scalar(1, 2))};
    const struct {
        std::string input;
        const std::vector<cv::Mat>& script;
        std::deque<int> keys;
        bool made;
        int status;
        std::string chosen;
        int shown;
        std::string err;
    } cases[] = {
        {"", five, {}, true, 1, "", 0, ""},
        {"1\n", five, {}, false, 1, "camera", 0, ""},
        {"x 2\n", five, {-1, 27}, true, 0, "monitor", 2, ""},
        {"1", five, {0x100000 | 'q'}, true, 0, "camera", 1, ""},
        {"1", five, {'Q', 'a', 225, 13, 0x100000 | 'Q'}, true, 0, "camera", 5, failed},
        {"1", none, {}, true, 0, "camera", 0, failed},
        {"1", bad, {}, true, 1, "camera", 0, "error: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "input " << ::testing::PrintToString(c.input));
        const AppRun r = run(c.input, c.script, c.keys, c.made);
        EXPECT_EQ(r.status, c.status) << c.input;
        EXPECT_EQ(r.chosen, c.chosen) << c.input;
        EXPECT_EQ(r.windows.shows.count(kFrameWindow) ? r.windows.shows.at(kFrameWindow) : 0,
                  c.shown);
        EXPECT_TRUE(c.err.empty() ? r.err.empty() : r.err.starts_with(c.err)) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.empty() ? std::string::npos : r.err.size() - 1);
        EXPECT_EQ(r.err.find("  "), std::string::npos) << r.err;
        const std::vector<std::string>& calls = r.windows.calls;
        if (c.made && !c.chosen.empty()) {
            EXPECT_EQ(std::vector(calls.begin(), calls.begin() + 7), callsFor("create", ""));
            EXPECT_EQ(calls.back(), "destroy");
        } else {
            EXPECT_TRUE(calls.empty());
        }
        for (const cv::Mat& frame : c.script) {  // the source's own references go with it
            EXPECT_EQ(frame.u->refcount, 1) << "the source outlived the run: " << c.input;
        }
    }
}

TEST(SourcePrompt, AsksUntilTheWordOneOrTwoAndLeavesTheRestUnread) {
    const std::string ask = "1: USB capture\n2: Monitor capture\n> ";
    const struct {
        std::string input;
        SourceChoice choice;
        std::string output;
        std::string unread;
    } cases[] = {
        {"", SourceChoice::None, ask, ""},
        {"  \t 2\n", SourceChoice::Monitor, ask, "\n"},
        {"x 2\n", SourceChoice::Monitor, ask + "Enter 1 or 2\n\n" + ask, "\n"},
        {"1 2\n", SourceChoice::Camera, ask, " 2\n"},
        {"12 01 1. +1 one Q 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 2", SourceChoice::Monitor, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.input));
        std::istringstream in(c.input);
        std::ostringstream out;
        EXPECT_EQ(promptForSource(in, out), c.choice) << c.input;
        if (!c.output.empty()) {
            EXPECT_EQ(out.str(), c.output) << c.input;
            in.clear();
            EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), c.unread) << c.input;
        }
    }
}

// Every option, alone and together, and every refusal: a second source, a value that does not
// parse, --size without --camera, --region without --monitor, anything unknown.
TEST(VelmoraOptions, EachOptionAndEachRefusal) {
    const struct {
        std::vector<std::string> args;
        VelmoraRequest request;
        std::string described;  // what the options became
    } cases[] = {
        {{}, VelmoraRequest::Run, "prompt"},
        {{"--camera"}, VelmoraRequest::Run, "camera"},
        {{"--camera", "3", "--size", "1920x1080"}, VelmoraRequest::Run, "camera 3 1920x1080"},
        {{"--size", "640x480", "--camera"}, VelmoraRequest::Run, "camera 640x480"},
        {{"--monitor"}, VelmoraRequest::Run, "monitor"},
        {{"--monitor", "1", "--region", "10,20,300x200", "--tile"},
         VelmoraRequest::Run,
         "monitor 1 10,20,300x200 tiled"},
        {{"--monitor", "HDMI-1"}, VelmoraRequest::Run, "monitor HDMI-1"},
        {{"--wallpaper"}, VelmoraRequest::Run, "wallpaper"},
        {{"--list"}, VelmoraRequest::Run, "list"},
        {{"--forget-monitor"}, VelmoraRequest::Run, "prompt forget"},
        {{"--forget-monitor", "--monitor", "1"}, VelmoraRequest::Run, "monitor 1 forget"},
        {{"--forget-monitor", "--camera"}, VelmoraRequest::Usage, ""},
        {{"--list", "--forget-monitor"}, VelmoraRequest::Usage, ""},
        {{"--camera", "--help"}, VelmoraRequest::Help, ""},
        {{"--version", "--bogus"}, VelmoraRequest::Version, ""},
        {{"--camera", "--monitor"}, VelmoraRequest::Usage, ""},
        {{"--list", "--wallpaper"}, VelmoraRequest::Usage, ""},
        {{"--monitor", "--list"}, VelmoraRequest::Usage, ""},
        {{"--camera", "-1"}, VelmoraRequest::Usage, ""},
        {{"--camera", "2x"}, VelmoraRequest::Usage, ""},
        {{"--camera", "--size", "0x480"}, VelmoraRequest::Usage, ""},
        {{"--camera", "--size", "640"}, VelmoraRequest::Usage, ""},
        {{"--camera", "--size"}, VelmoraRequest::Usage, ""},
        {{"--size", "640x480"}, VelmoraRequest::Usage, ""},
        {{"--monitor", "--size", "640x480"}, VelmoraRequest::Usage, ""},
        {{"--camera", "--region", "0,0,1x1"}, VelmoraRequest::Usage, ""},
        {{"--monitor", "--region", "0,0,1x0"}, VelmoraRequest::Usage, ""},
        {{"--monitor", "--region", "-1,0,1x1"}, VelmoraRequest::Usage, ""},
        {{"--monitor", "--region", "0,0"}, VelmoraRequest::Usage, ""},
        {{"1"}, VelmoraRequest::Usage, ""},
        {{"--bogus"}, VelmoraRequest::Usage, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const ParsedVelmoraArgs parsed = parseVelmoraArgs(c.args);
        EXPECT_EQ(parsed.request, c.request);
        if (parsed.request != VelmoraRequest::Run) {
            continue;
        }
        const VelmoraOptions& o = parsed.options;
        std::ostringstream described;
        if (!o.source) {
            described << (o.list ? "list" : "prompt");
        } else {
            const char* kinds[] = {"camera", "monitor", "wallpaper"};
            described << kinds[static_cast<int>(o.source->kind)];
            if (o.source->camera)
                described << " " << *o.source->camera;
            if (o.source->monitor)
                described << " " << *o.source->monitor;
            if (o.source->size)
                described << " " << o.source->size->width << "x" << o.source->size->height;
            if (const auto& r = o.source->region) {
                described << " " << r->x << "," << r->y << "," << r->width << "x" << r->height;
            }
        }
        described << (o.tile ? " tiled" : "") << (o.forgetMonitor ? " forget" : "");
        EXPECT_EQ(described.str(), c.described);
    }
}

// The command line's source skips the prompt; --list lists and opens nothing; --tile lays the
// seven windows out over the monitor the first one opened on.
TEST(VelmoraApp, TheCommandLinesChoiceTheListingAndTheTiledWindows) {
    VelmoraOptions wallpaper;
    wallpaper.source = SourceRequest{SourceRequest::Kind::Wallpaper, {}, {}, {}, {}};
    const AppRun chosen = run("2\n", {cv::Mat(48, 64, CV_8UC3)}, {'q'}, true, {}, wallpaper);
    EXPECT_EQ(std::tuple(chosen.status, chosen.chosen, chosen.out), std::tuple(0, "wallpaper", ""));

    VelmoraOptions list;
    list.list = true;
    const AppRun listed = run("", {}, {}, true, {}, list);
    EXPECT_EQ(std::tuple(listed.status, listed.chosen, listed.out), std::tuple(0, "", "listed\n"));
    EXPECT_TRUE(listed.windows.calls.empty());

    VelmoraOptions forget;
    forget.forgetMonitor = true;
    const AppRun forgot = run("", {}, {}, true, {}, forget);
    EXPECT_EQ(std::tuple(forgot.status, forgot.chosen, forgot.out), std::tuple(0, "", "forgot\n"));

    VelmoraOptions tile;
    tile.tile = true;
    const AppRun tiled = run("1", {cv::Mat(480, 640, CV_8UC3)}, {'q'}, true, {}, tile);
    std::vector<std::string> placed = tiled.windows.calls;
    std::erase_if(placed,
                  [](const auto& c) { return !c.starts_with("resize") && !c.starts_with("move"); });
    // Over 800 x 600: three columns and rows of 266 x 200 cells, images of 218 x 164 at 4 : 3.
    std::vector<std::string> expected;
    for (int i = 0; i < 7; ++i) {
        expected.push_back("resize " + kWindowTitles[i] + " 218x164");
        expected.push_back("move " + kWindowTitles[i] + " " + std::to_string(266 * (i % 3)) + "," +
                           std::to_string(200 * (i / 3)));
    }
    EXPECT_EQ(placed, expected);
}

TEST(WindowTiling, TheColumnsThatGiveTheLargestImagesInsideTheArea) {
    const struct {
        cv::Rect area;
        cv::Size frame;
        int count;
        int columns;
        cv::Size image;
    } cases[] = {
        {{0, 0, 1920, 1080}, {1280, 720}, 7, 3, {576, 324}},  // four columns: 472 x 265
        {{100, 50, 1920, 1080}, {1280, 720}, 7, 3, {576, 324}},
        {{0, 0, 1080, 1920}, {1280, 720}, 7, 2, {532, 299}},
        {{0, 0, 800, 600}, {640, 480}, 1, 1, {752, 564}},
        {{0, 0, 800, 600}, {640, 480}, 0, 0, {0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.area << " " << c.frame << " " << c.count);
        const std::vector<Tile> tiles = tileWindows(c.area, c.frame, c.count);
        ASSERT_EQ(int(tiles.size()), c.count);
        for (std::size_t i = 0; i < tiles.size(); ++i) {
            EXPECT_EQ(tiles[i].image, c.image);
            const cv::Rect cell(tiles[i].origin, c.image + cv::Size(8, 36));
            EXPECT_EQ(cell & c.area, cell) << "window " << i << " leaves the area";
        }
        if (c.count > 1) {
            EXPECT_EQ(tiles[c.columns].origin.x, c.area.x);  // the first of the second row
            EXPECT_GT(tiles[c.columns].origin.y, c.area.y);
        }
    }
}

// Space freezes the windows on the frame they show while the source is still read, and frees
// them on the present frame, whose motion compares with the last analysed one; s saves what the
// windows show, frozen or not, into a new folder (-2 when the name is taken); a snapshot that
// cannot be written is an error line, and the run goes on.
TEST(FrameLoop, SpaceFreezesAndSSavesWhatTheWindowsShow) {
    std::vector<cv::Mat> frames;
    for (const int level : {0, 40, 80, 120, 130}) {
        const int i = static_cast<int>(frames.size());
        frames.emplace_back(48, 64, CV_8UC3, cv::Scalar::all(level));
        frames.back()(cv::Rect(i * 8, 8, 8, 8)).setTo(cv::Scalar(250, 10, 90));
    }
    const TempDir dir;
    VelmoraOptions options;
    options.snapshots = dir / "shots";
    // Frame 0 shown and frozen; s at frame 1; frames 1 to 3 read and dropped; freed at frame 3;
    // frame 4 shown, s, then the source ends.
    const AppRun r = run("1", frames, {' ', 's', -1, ' ', 's'}, true, {}, options);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.windows.shows.at(kFrameWindow), 2);
    const fs::path first = dir / "shots" / "velmora-20261207-140509";
    EXPECT_EQ(r.console, "snapshot: " + first.string() + "\nsnapshot: " + first.string() + "-2\n");
    cv::Mat gray0, gray4;
    cv::cvtColor(frames[0], gray0, cv::COLOR_BGR2GRAY);
    cv::cvtColor(frames[4], gray4, cv::COLOR_BGR2GRAY);
    // Against frame 0: frames 1 to 3 were never analysed (against frame 3 only the square moved).
    EXPECT_TRUE(sameImage(r.windows.last.at(kMotionWindow), makeMotionView(gray4, gray0)));
    struct Saved {
        fs::path folder;
        const cv::Mat& frame;
        std::string row;
    } saved[] = {{first, frames[0], "1,camera,64,48,0,0,0,0," + measuresOf(frames[0]) + "\n"},
                 {first.string() + "-2", frames[4],
                  "2,camera,64,48,130,130,0,3072," + measuresOf(frames[4]) + "\n"}};
    for (const auto& [folder, frame, row] : saved) {
        SCOPED_TRACE(folder);
        EXPECT_TRUE(sameImage(cv::imread((folder / "frame.png").string()), frame));
        std::ifstream numbers(folder / "numbers.csv");
        const std::string csv{std::istreambuf_iterator<char>(numbers), {}};
        EXPECT_EQ(csv, std::string(kNumbersHeader) + row);
    }
    // The last snapshot's pictures are the windows' last ones.
    for (std::size_t i = 0; i < kWindowTitles.size(); ++i) {
        SCOPED_TRACE(kWindowTitles[i]);
        EXPECT_TRUE(sameImage(
            cv::imread((saved[1].folder / kWindowFileNames[i]).string(), cv::IMREAD_UNCHANGED),
            r.windows.last.at(kWindowTitles[i])));
    }
    std::ofstream(dir / "file") << "not a folder";
    options.snapshots = dir / "file";
    const AppRun failed = run("1", frames, {'s'}, true, {}, options);
    EXPECT_EQ(failed.status, 0);
    EXPECT_EQ(failed.windows.shows.at(kFrameWindow), 5);  // the run went on
    EXPECT_TRUE(failed.err.starts_with("error: cannot write snapshot " + (dir / "file").string()))
        << failed.err;
}

// Without --snapshots: XDG_PICTURES_DIR of the user-dirs file, else ~/Pictures, + Velmora.
TEST(Snapshot, TheDefaultFolderFollowsTheUserDirsFileElseHomePictures) {
    const TempDir dir;
    fs::create_directories(dir / "config");
    std::ofstream(dir / "config" / "user-dirs.dirs")
        << "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
        << "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n";
    const struct {
        const char* config;
        fs::path folder;
    } cases[] = {{"config", dir / "Bilder" / "Velmora"},
                 {"elsewhere", dir / "Pictures" / "Velmora"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.config);
        setenv("HOME", dir.path().c_str(), 1);
        setenv("XDG_CONFIG_HOME", (dir / c.config).c_str(), 1);
        EXPECT_EQ(defaultSnapshotFolder(), c.folder);
    }
    unsetenv("XDG_CONFIG_HOME");
}

// --scopes opens three windows more, shown after the others in each frame; w closes them and
// opens them again at the others' size.
TEST(FrameLoop, TheScopeWindowsComeWithScopesAndGoAndComeWithW) {
    VelmoraOptions options;
    options.scopes = true;
    const cv::Mat frame(300, 400, CV_8UC3, cv::Scalar(10, 120, 230));
    const AppRun r = run("1", {frame, frame, frame}, {'w', 'w', 'q'}, true, {}, options);
    std::vector<std::string> calls = r.windows.calls;
    std::erase_if(calls, [](const std::string& c) {
        return c.starts_with("show ") && !c.starts_with("show Waveform") &&
               !c.starts_with("show RGB Parade") && !c.starts_with("show Vectorscope");
    });
    std::vector<std::string> expected = callsFor("create", "");
    const std::vector<std::string> created = {"create Waveform", "create RGB Parade",
                                              "create Vectorscope"};
    const std::vector<std::string> sized = {"resize Waveform 400x300", "resize RGB Parade 400x300",
                                            "resize Vectorscope 400x300"};
    const std::vector<std::string> shown = {"show Waveform 400x300", "show RGB Parade 400x300",
                                            "show Vectorscope 400x300"};
    expected.insert(expected.end(), created.begin(), created.end());
    for (const std::string& c : callsFor("resize", " 400x300")) {
        expected.push_back(c);
    }
    expected.insert(expected.end(), sized.begin(), sized.end());
    expected.insert(expected.end(), shown.begin(), shown.end());
    for (const std::string& title : kScopeTitles) {
        expected.push_back("destroy " + title);
    }
    expected.insert(expected.end(), created.begin(), created.end());
    for (const std::string& c : callsFor("resize", " 400x300")) {
        expected.push_back(c);
    }
    expected.insert(expected.end(), sized.begin(), sized.end());
    expected.insert(expected.end(), shown.begin(), shown.end());
    expected.push_back("destroy");
    EXPECT_EQ(calls, expected);
}

}  // namespace

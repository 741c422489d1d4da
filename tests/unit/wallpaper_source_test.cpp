#include <algorithm>
#include <fstream>

#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>

#include "sources/monitor_source.h"
#include "tests/support/console_capture.h"
#include "tests/support/fake_monitors.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// One 1920 x 1080 monitor whose wallpaper is `path`.
FakeMonitors oneMonitor(const fs::path& path) {
    FakeMonitors desktop;
    desktop.rects = {{0, 0, 1920, 1080}};
    desktop.wallpaper = path;
    return desktop;
}

cv::Mat gradient(cv::Size size) {
    cv::Mat image(size, CV_8UC3);
    for (int y = 0; y < size.height; ++y) {
        for (int x = 0; x < size.width; ++x) {
            image.at<cv::Vec3b>(y, x) = {static_cast<uchar>(x), static_cast<uchar>(y), 77};
        }
    }
    return image;
}

int count(const std::vector<std::string>& calls, const std::string& call) {
    return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}

TEST(WallpaperSource, OneMonitorShowsTheWallpaperAtItsOwnSize) {
    TempDir dir;
    const fs::path path = dir / "wall.png";
    ASSERT_TRUE(cv::imwrite(path.string(), cv::Mat(2160, 3840, CV_8UC3, cv::Scalar(40, 90, 140))));
    ConsoleCapture console;
    FakeMonitors desktop = oneMonitor(path);
    auto source = createMonitorSource(desktop);
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(console.out(),
              "mode=wallpaper monitors=1 monitor_index=0 width=3840 height=2160\n"
              "path=" +
                  path.string() + "\n");
    EXPECT_EQ(console.err(), "");
    // The monitor's rectangle is not used: no grabber, and COM is held while the source lives.
    EXPECT_EQ(desktop.calls, (std::vector<std::string>{"monitors", "com-init", "wallpaper"}));
    EXPECT_EQ(desktop.comDepthAtLookup, 1);
    cv::Mat frame;
    ASSERT_TRUE(source->read(frame));
    EXPECT_EQ(frame.size(), cv::Size(3840, 2160));
    source.reset();
    EXPECT_EQ(desktop.comDepth, 0);
    EXPECT_EQ(desktop.calls.back(), "com-uninit");
}

TEST(WallpaperSource, EveryReadHandsOutTheSameUnchangedPixels) {
    TempDir dir;
    const fs::path path = dir / "wall.png";
    const cv::Mat original = gradient({320, 200});
    ASSERT_TRUE(cv::imwrite(path.string(), original));
    ConsoleCapture console;
    FakeMonitors desktop = oneMonitor(path);
    auto source = createWallpaperSource(desktop);
    ASSERT_NE(source, nullptr);
    cv::Mat first;
    ASSERT_TRUE(source->read(first));
    EXPECT_EQ(cv::norm(first, original, cv::NORM_INF), 0);
    for (int i = 0; i < 5; ++i) {
        cv::Mat frame(4, 4, CV_8UC3, cv::Scalar(1, 2, 3));  // whatever the caller held before
        ASSERT_TRUE(source->read(frame));
        EXPECT_EQ(frame.data, first.data);  // shared, not copied
    }
    EXPECT_EQ(cv::norm(first, original, cv::NORM_INF), 0);
}

TEST(WallpaperSource, AlphaAndGrayFilesGiveThreeChannelFrames) {
    TempDir dir;
    cv::Mat rgba(64, 48, CV_8UC4, cv::Scalar(10, 20, 30, 128));
    cv::Mat gray(50, 70, CV_8UC1, cv::Scalar(99));
    ASSERT_TRUE(cv::imwrite((dir / "alpha.png").string(), rgba));
    ASSERT_TRUE(cv::imwrite((dir / "gray.jpg").string(), gray));
    for (const auto& [name, size] :
         {std::pair{"alpha.png", cv::Size(48, 64)}, std::pair{"gray.jpg", cv::Size(70, 50)}}) {
        ConsoleCapture console;
        FakeMonitors desktop = oneMonitor(dir / name);
        auto source = createWallpaperSource(desktop);
        ASSERT_NE(source, nullptr) << name;
        cv::Mat frame;
        ASSERT_TRUE(source->read(frame));
        EXPECT_EQ(frame.type(), CV_8UC3) << name;
        EXPECT_EQ(frame.size(), size) << name;
    }
}

TEST(WallpaperSource, NoPathIsAnErrorThatStillBalancesCom) {
    ConsoleCapture console;
    FakeMonitors desktop = oneMonitor({});
    EXPECT_EQ(createWallpaperSource(desktop), nullptr);
    EXPECT_EQ(console.err(), "error: wallpaper path not found (solid color setting?)\n");
    EXPECT_EQ(console.out(), "");
    EXPECT_EQ(count(desktop.calls, "com-init"), 1);
    EXPECT_EQ(count(desktop.calls, "com-uninit"), 1);
}

TEST(WallpaperSource, AFileThatDoesNotLoadIsNamedInTheError) {
    TempDir dir;
    const fs::path deleted = dir / "deleted.png";
    ASSERT_TRUE(cv::imwrite(deleted.string(), gradient({8, 8})));
    fs::remove(deleted);
    const fs::path empty = dir / "empty.png";
    std::ofstream(empty).close();
    const fs::path text = dir / "notes.jpg";
    std::ofstream(text) << "not an image at all";
    for (const fs::path& path : {deleted, empty, text}) {
        ConsoleCapture console;
        FakeMonitors desktop = oneMonitor(path);
        EXPECT_EQ(createWallpaperSource(desktop), nullptr);
        EXPECT_EQ(console.err(), "error: failed to load wallpaper: " + path.string() + "\n");
        EXPECT_EQ(console.out(), "");
        EXPECT_EQ(desktop.comDepth, 0) << path;
    }
}

TEST(WallpaperSource, ANonAsciiPathOpensAndPrintsAsUtf8) {
    TempDir dir;
    const std::string name = "T\xC3\xA1p\xC3\xA9ta \xE5\xA3\x81\xE7\xBA\xB8 \xF0\x9F\x8C\x84.png";
    const fs::path path = dir.path() / fs::path(name);
    ASSERT_TRUE(cv::imwrite(path.string(), gradient({30, 20})));
    ConsoleCapture console;
    FakeMonitors desktop = oneMonitor(path);
    ASSERT_NE(createWallpaperSource(desktop), nullptr);
    EXPECT_EQ(console.out(), "mode=wallpaper monitors=1 monitor_index=0 width=30 height=20\npath=" +
                                 dir.path().string() + "/" + name + "\n");
}

TEST(WallpaperSource, ComIsUninitialisedExactlyWhenItWasInitialised) {
    TempDir dir;
    const fs::path path = dir / "wall.png";
    ASSERT_TRUE(cv::imwrite(path.string(), gradient({16, 16})));
    // S_OK and S_FALSE (already initialised in this apartment) both owe one uninitialisation.
    for (const std::int32_t result : {0, 1}) {
        ConsoleCapture console;
        FakeMonitors desktop = oneMonitor(path);
        desktop.comResult = result;
        auto source = createWallpaperSource(desktop);
        ASSERT_NE(source, nullptr);
        EXPECT_EQ(count(desktop.calls, "com-uninit"), 0);
        source.reset();
        EXPECT_EQ(count(desktop.calls, "com-uninit"), 1);
    }
    // RPC_E_CHANGED_MODE: the thread is in another apartment; nothing is owed.
    ConsoleCapture console;
    FakeMonitors desktop = oneMonitor(path);
    desktop.comResult = static_cast<std::int32_t>(0x80010106u);
    EXPECT_EQ(createWallpaperSource(desktop), nullptr);
    EXPECT_EQ(console.err(), "error: CoInitializeEx failed\n");
    EXPECT_EQ(console.out(), "");
    EXPECT_EQ(desktop.calls, std::vector<std::string>{"com-init"});
}

}  // namespace

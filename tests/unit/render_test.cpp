#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/videoio.hpp>

#include "tests/support/temp_dir.h"
#include "tools/render.h"

namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

// The exit status, standard output and standard error of one run.
std::tuple<int, std::string, std::string> render(const Args& args) {
    std::ostringstream out, err;
    const int status = runRender(args, {out, err, false}, "9.9");
    return {status, out.str(), err.str()};
}

std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class Render : public ::testing::Test {
  protected:
    std::string path(const std::string& name) const { return (dir / name).string(); }
    std::string image(const std::string& name, const cv::Mat& pixels) const {
        EXPECT_TRUE(cv::imwrite(path(name), pixels));
        return path(name);
    }
    TempDir dir;
};

TEST_F(Render, FrameNOfAVideoAndASequenceIsWhatImageFilesOneToNGive) {
    const std::string clip = path("clip.avi");  // noise through the library's own MJPG writer
    cv::VideoWriter writer(clip, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), 10, {64, 48});
    cv::Mat noise(48, 64, CV_8UC3);
    for (int i = 0; i < 3; ++i) {
        cv::randu(noise, 0, 256);
        writer.write(noise);
    }
    writer.release();
    Args frames;  // the same frames as image files: the clip's as the reader decodes them
    cv::VideoCapture decoded(clip, cv::CAP_FFMPEG);
    for (cv::Mat frame; decoded.read(frame);) {
        frames.push_back(image("decoded" + std::to_string(frames.size()) + ".png", frame));
    }
    frames.push_back(image("seq_001.png", cv::Mat(48, 64, CV_8UC3, {10, 200, 90})));
    frames.push_back(image("seq_002.png", cv::Mat(24, 32, CV_8UC3, {250, 0, 40})));
    ASSERT_EQ(frames.size(), 5u);
    const auto [status, out, err] =
        render({"--fps", "30", "--every-frame", path("out"), clip, path("seq_%03d.png")});
    ASSERT_EQ(status, 0) << err;
    EXPECT_TRUE(fs::exists(path("out/000005")) && !fs::exists(path("out/000006")));
    for (long n = 1; n <= 5; ++n) {
        Args args = {"--fps", "30", path("single")};
        args.insert(args.end(), frames.begin(), frames.begin() + n);
        ASSERT_EQ(std::get<0>(render(args)), 0);
        for (const auto& file : fs::directory_iterator(path("single"))) {
            const fs::path got = path("out/00000" + std::to_string(n)) / file.path().filename();
            EXPECT_TRUE(bytesOf(file.path()) == bytesOf(got)) << got;
        }
    }
    // A video that breaks off part-way ends there.
    fs::resize_file(clip, fs::file_size(clip) * 2 / 3);
    const auto [cutStatus, rows, cutErr] = render({"--stats", "-", path("cut"), clip});
    const auto lines = std::count(rows.begin(), rows.end(), '\n');
    EXPECT_TRUE(cutStatus == 0 && (lines == 2 || lines == 3)) << cutErr << rows;  // 1 or 2 frames
}

TEST_F(Render, StatsHoldTheGrayHistogramPointsAndTheMotionPixelsOfEachFrame) {
    cv::Mat block(48, 64, CV_8UC3, cv::Scalar::all(100));
    block(cv::Rect(3, 4, 10, 5)).setTo(cv::Scalar::all(200));
    cv::Mat half(48, 64, CV_8UC3, cv::Scalar::all(0));
    half.colRange(32, 64).setTo(cv::Scalar::all(255));
    const Args in = {image("gray.png", cv::Mat(48, 64, CV_8UC3, cv::Scalar::all(100))),
                     image("block.png", block), image("half,\"0-255\".png", half),
                     image("small.png", cv::Mat(24, 32, CV_8UC3, cv::Scalar::all(100)))};
    const auto [status, out, err] =
        render({"--stats", "-", path("out"), in[0], in[1], in[2], in[3]});
    EXPECT_EQ(status, 0) << err;
    EXPECT_EQ(std::regex_replace(out, std::regex(path("")), ""),
              "frame,input,width,height,low_point,high_point,dynamic_range,motion_pixels\n"
              "1,gray.png,64,48,100,100,0,0\n"
              "2,block.png,64,48,100,100,0,50\n"
              "3,\"half,\"\"0-255\"\".png\",64,48,0,255,255,3072\n"
              "4,small.png,32,24,100,100,0,0\n");  // another size starts the motion afresh
}

TEST_F(Render, AnInputThatCannotBeReadStopsTheRunBeforeAnythingIsWritten) {
    const std::string good = image("good.png", cv::Mat(48, 64, CV_8UC3, cv::Scalar::all(9)));
    std::ofstream(path("notes.avi")) << "no video";
    std::ofstream(path("notes.png")) << "no image";
    fs::create_directory(path("dir.avi"));
    ASSERT_EQ(std::system(("mkfifo '" + path("fifo.mp4") + "'").c_str()), 0);
    const struct {
        std::string input;
        std::string reason;
    } cases[] = {
        {path("missing.avi"), "no such file"},
        {path("dir.avi"), "not a regular file"},
        {path("fifo.mp4"), "not a regular file"},  // a video reader would wait for a writer
        {path("notes.avi"), "not a video or image sequence"},
        {path("none_%03d.png"), "no frames"},
        {path("notes.png"), "not a PNG, JPEG, WebP or BMP image"},
    };
    for (const auto& c : cases) {
        const auto [status, out, err] = render(
            {"--every-frame", "--stats", path("stats.csv"), path("out"), good, c.input, good});
        EXPECT_EQ(status, 1);
        EXPECT_EQ(err, "error: cannot read " + c.input + ": " + c.reason + "\n");
        EXPECT_FALSE(fs::exists(path("out")) || fs::exists(path("stats.csv"))) << c.input;
    }
}

TEST_F(Render, BadArgumentsGiveTheUsageLine) {
    const std::string in = image("in.png", cv::Mat(4, 4, CV_8UC3));
    const std::string usage =
        "usage: velmora-render [--fps VALUE] [--every-frame] [--stats FILE] OUTDIR INPUT...\n";
    for (const Args& args :
         {Args{"out"}, Args{"--fps", "x", "out", in}, Args{"--fps", "-1", "o", in},
          Args{"--stats", "", "out", in}, Args{"--bogus", "out", in}}) {
        EXPECT_EQ(render(args), std::make_tuple(2, std::string(), usage));
    }
}

}  // namespace

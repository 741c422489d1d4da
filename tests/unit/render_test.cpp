#include <sys/resource.h>

#include <algorithm>
#include <csignal>
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
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include "app/frame_numbers.h"
#include "platform/whole_file.h"
#include "render/image_sequence.h"
#include "render/render.h"
#include "render/render_input.h"
#include "render/render_options.h"
#include "tests/support/image_checks.h"
#include "tests/support/temp_dir.h"

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

// The names of every file under `dir`, sorted.
std::vector<std::string> filesUnder(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        names.push_back(fs::relative(entry.path(), dir).string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class Render : public ::testing::Test {
  protected:
    std::string path(const std::string& name) const { return (dir / name).string(); }
    std::string image(const std::string& name, const cv::Mat& pixels) const {
        EXPECT_TRUE(cv::imwrite(path(name), pixels));
        return path(name);
    }
    // Frames written with the library's own writer: `fourcc` in `name`, 10 frames per second.
    std::string video(const std::string& name, const char* fourcc,
                      const std::vector<cv::Mat>& frames) {
        cv::VideoWriter writer(path(name), cv::CAP_FFMPEG,
                               cv::VideoWriter::fourcc(fourcc[0], fourcc[1], fourcc[2], fourcc[3]),
                               10, frames.front().size(), frames.front().channels() == 3);
        EXPECT_TRUE(writer.isOpened()) << fourcc;
        for (const cv::Mat& frame : frames) {
            writer.write(frame);
        }
        return path(name);
    }
    static std::vector<cv::Mat> noise(int count, cv::Size size, int type = CV_8UC3) {
        std::vector<cv::Mat> frames;
        for (int i = 0; i < count; ++i) {
            frames.emplace_back(size, type);
            cv::randu(frames.back(), 0, 256);
        }
        return frames;
    }
    // The files of one frame's seven windows are equal in two folders.
    void expectSamePictures(const fs::path& a, const fs::path& b) const {
        ASSERT_EQ(filesUnder(a).size(), 7u) << a;
        for (const std::string& name : filesUnder(a)) {
            EXPECT_TRUE(bytesOf(a / name) == bytesOf(b / name)) << b / name;
        }
    }
    TempDir dir;
};

TEST_F(Render, FrameNOfAVideoAndASequenceIsWhatImageFilesOneToNGive) {
    const std::string clip = video("clip.avi", "MJPG", noise(3, {64, 48}));
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
        SCOPED_TRACE(::testing::Message() << "frame " << n);
        Args args = {"--fps", "30", path("single")};
        args.insert(args.end(), frames.begin(), frames.begin() + n);
        ASSERT_EQ(std::get<0>(render(args)), 0);
        expectSamePictures(path("single"), path("out/00000" + std::to_string(n)));
    }
    // A video that breaks off part-way ends there.
    fs::resize_file(clip, fs::file_size(clip) * 2 / 3);
    const auto [cutStatus, rows, cutErr] = render({"--stats", "-", path("cut"), clip});
    const auto lines = std::count(rows.begin(), rows.end(), '\n');
    EXPECT_TRUE(cutStatus == 0 && (lines == 2 || lines == 3)) << cutErr << rows;  // 1 or 2 frames
}

TEST_F(Render, StatsHoldTheGrayHistogramPointsTheMotionPixelsAndTheTimeOfEachFrame) {
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
    const cv::Mat small(24, 32, CV_8UC3, cv::Scalar::all(100));
    image("small.png", small);
    const std::string flat = measuresOf(small);
    EXPECT_EQ(std::regex_replace(out, std::regex(path("")), ""),
              std::string(kNumbersHeader) + "1,gray.png,64,48,100,100,0,0," + flat + "\n" +
                  "2,block.png,64,48,100,100,0,50," + measuresOf(block) + "\n" +
                  "3,\"half,\"\"0-255\"\".png\",64,48,0,255,255,3072," + measuresOf(half) + "\n" +
                  "4,small.png,32,24,100,100,0,0," + flat + "\n");  // another size: motion afresh
    EXPECT_NE(measuresOf(half).find(",1536,1536"), std::string::npos);
    // Videos have times from their own start, also for the frames some decoders hand out only
    // once the file has ended (H.264's last ones).
    for (const char* fourcc : {"MJPG", "avc1"}) {
        SCOPED_TRACE(fourcc);
        const std::string clip = video(std::string(fourcc) + (fourcc[0] == 'M' ? ".avi" : ".mp4"),
                                       fourcc, noise(5, {64, 48}));
        const auto [videoStatus, rows, videoErr] = render({"--stats", "-", path("v"), clip, clip});
        std::string times;
        std::istringstream lines(rows);
        for (std::string row; std::getline(lines, row);) {
            std::istringstream fields(row);
            std::string time;
            for (int i = 0; i < 9; ++i) {
                std::getline(fields, time, ',');
            }
            times += time + " ";
        }
        EXPECT_EQ(times, "time 0.000 0.100 0.200 0.300 0.400 0.000 0.100 0.200 0.300 0.400 ");
    }
}

TEST_F(Render, EveryFrameKindOfASequenceOrAVideoIsTheSameFrameAsAnImageFileOfIt) {
    // The kinds image files come in; a sequence reads each member as such a file.
    cv::Mat gray(48, 64, CV_8UC1), deep(48, 64, CV_16UC3), alpha(48, 64, CV_8UC4);
    cv::randu(gray, 0, 256);
    cv::randu(deep, 0, 65536);
    cv::randu(alpha, 0, 256);
    const Args members = {image("kind_1.png", gray), image("kind_2.png", deep),
                          image("kind_3.png", alpha), image("kind_4.png", gray)};
    Args files = {"--fps", "30", "--every-frame", "--stats", "-", path("files")};
    files.insert(files.end(), members.begin(), members.end());
    const auto [status, rows, err] = render(files);
    ASSERT_EQ(status, 0) << err;
    const auto [seqStatus, seqRows, seqErr] = render(
        {"--fps", "30", "--every-frame", "--stats", "-", path("sequence"), path("kind_%d.png")});
    ASSERT_EQ(seqStatus, 0) << seqErr;
    EXPECT_EQ(std::regex_replace(seqRows, std::regex("kind_%d"), "kind_N"),
              std::regex_replace(rows, std::regex("kind_[1-4]"), "kind_N"));
    for (const std::string folder : {"000001", "000002", "000003", "000004"}) {
        SCOPED_TRACE(folder);
        expectSamePictures(path("files/" + folder), path("sequence/" + folder));
    }

    // A gray video gives what the same frames as gray image files give.
    const std::vector<cv::Mat> grays = noise(2, {64, 48}, CV_8UC1);
    const std::string clip = video("gray.mkv", "FFV1", grays);
    ASSERT_EQ(std::get<0>(render({"--fps", "30", path("video"), clip})), 0);
    ASSERT_EQ(std::get<0>(render({"--fps", "30", path("grays"), image("g1.png", grays[0]),
                                  image("g2.png", grays[1])})),
              0);
    expectSamePictures(path("grays"), path("video"));

    // Whatever a video reader hands over is brought to 8-bit BGR as the image file decodes.
    cv::Mat deepGray(5, 7, CV_16UC1), deepAlpha(5, 7, CV_16UC4);
    cv::randu(deepGray, 0, 65536);
    cv::randu(deepAlpha, 0, 65536);
    for (const cv::Mat& frame : {gray, deep, alpha, deepGray, deepAlpha}) {
        SCOPED_TRACE(cv::typeToString(frame.type()));
        EXPECT_TRUE(sameImage(asBgr8(frame), cv::imread(image("frame.png", frame))));
    }
}

TEST_F(Render, AnInputThatCannotBeReadStopsTheRunBeforeAnythingIsWritten) {
    const std::string good = image("good.png", cv::Mat(48, 64, CV_8UC3, cv::Scalar::all(9)));
    std::ofstream(path("notes.avi")) << "no video";
    std::ofstream(path("notes.png")) << "no image";
    std::ofstream(path("bad_1.png")) << "no image";
    fs::create_directory(path("dir.avi"));
    ASSERT_EQ(std::system(("mkfifo '" + path("fifo.mp4") + "'").c_str()), 0);
    const struct {
        std::string input;
        std::string line;
    } cases[] = {
        {path("missing.avi"), path("missing.avi") + ": no such file"},
        {path("dir.avi"), path("dir.avi") + ": not a regular file"},
        {path("fifo.mp4"), path("fifo.mp4") + ": not a regular file"},  // a reader would wait
        {path("notes.avi"), path("notes.avi") + ": not a video or image sequence"},
        {path("none_%03d.png"), path("none_%03d.png") + ": no frames"},
        {path("none_%3s.png"), path("none_%3s.png") + ": no such file"},  // no pattern
        {path("bad_%d.png"), path("bad_1.png") + ": not a PNG, JPEG, WebP or BMP image"},
        {path("notes.png"), path("notes.png") + ": not a PNG, JPEG, WebP or BMP image"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        const auto [status, out, err] = render(
            {"--every-frame", "--stats", path("stats.csv"), path("out"), good, c.input, good});
        EXPECT_EQ(status, 1);
        EXPECT_EQ(err, "error: cannot read " + c.line + "\n");
        EXPECT_FALSE(fs::exists(path("out")) || fs::exists(path("stats.csv")));
    }
}

TEST_F(Render, NoOutputEverReplacesAnInput) {
    const cv::Mat pixels(48, 64, CV_8UC3, cv::Scalar(1, 2, 3));
    fs::create_directories(path("out/000002"));
    fs::create_directory(path("photos"));
    const std::string stats = image("in.png", pixels),
                      window = image("out/velmora-gray.png", pixels),
                      folder = image("out/000002/laplacian-edge.png", pixels);
    image("seq_1.png", pixels);
    const std::string member = image("seq_2.png", pixels);
    fs::create_directory_symlink(dir.path() / "out", path("linked"));
    fs::create_symlink(path("in.png"), path("photos/link.png"));
    const struct {
        Args args;
        std::string output, input;
    } cases[] = {
        {{"--stats", stats, path("o"), stats}, stats, stats},
        {{path("out"), window}, path("out/velmora-gray.png"), window},
        {{path("linked"), window}, path("linked/velmora-gray.png"), window},
        {{"--stats", stats, path("o"), path("photos/link.png")}, stats, path("photos/link.png")},
        {{"--every-frame", path("out"), folder}, folder, folder},
        {{"--stats", member, path("o"), path("seq_%d.png")}, member, member},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back());
        const std::vector<std::string> before = filesUnder(dir.path());
        EXPECT_EQ(render(c.args), std::make_tuple(1, std::string(),
                                                  "error: " + c.output + " would overwrite input " +
                                                      c.input + "\n"));
        EXPECT_EQ(filesUnder(dir.path()), before);
        EXPECT_TRUE(bytesOf(c.input) == bytesOf(path("seq_1.png")));
    }
    // What Velmora wrote itself may be written again.
    const Args again = {"--stats", path("out/numbers.csv"), path("out"), path("in.png")};
    EXPECT_EQ(std::get<0>(render(again)), 0);
    EXPECT_EQ(std::get<0>(render(again)), 0);
}

TEST_F(Render, StatsAloneGiveTheRowsAndLastPicturesOfTheFullWork) {
    // Large enough to be halved for display, and moving, so every number has work to do.
    const std::string clip = video("clip.avi", "MJPG", noise(4, {1024, 768}));
    const auto [status, rows, err] = render({"--fps", "30", "--stats", "-", path("stats"), clip});
    ASSERT_EQ(status, 0) << err;
    const auto [fullStatus, fullRows, fullErr] =
        render({"--fps", "30", "--every-frame", "--stats", "-", path("full"), clip});
    ASSERT_EQ(fullStatus, 0) << fullErr;
    EXPECT_EQ(rows, fullRows);
    expectSamePictures(path("full/000004"), path("stats"));
}

TEST_F(Render, BadArgumentsGiveTheUsageLine) {
    const std::string in = image("in.png", cv::Mat(4, 4, CV_8UC3));
    for (const Args& args : {Args{"out"}, Args{"--fps", "x", "out", in},
                             Args{"--fps", "-1", "o", in}, Args{"--stats", "", "out", in},
                             Args{"--scopes=yes", "out", in}, Args{"--bogus", "out", in}}) {
        SCOPED_TRACE(::testing::PrintToString(args));
        EXPECT_EQ(render(args), std::make_tuple(2, std::string(), std::string(kRenderUsage)));
    }
}

TEST(PendingFile, TheFinalNameHoldsTheOldFileOrTheWholeNewOneAndNoTemporaryFileStays) {
    const TempDir dir;
    const fs::path target = dir / "out.png";
    std::ofstream(target) << "old";
    {
        platform::PendingFile abandoned(target);
        abandoned.stream() << "partial";
    }
    EXPECT_EQ(bytesOf(target), "old");
    // A file system that takes no more than 4 KiB of a file: the write fails half-way.
    const std::vector<unsigned char> big(10000, 'x');
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const rlimit small{4096, saved.rlim_max};
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    const bool written = platform::writeWholeFile(target, big);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(bytesOf(target), "old");
    EXPECT_TRUE(platform::writeWholeFile(target, big));
    EXPECT_EQ(bytesOf(target), std::string(big.begin(), big.end()));
    EXPECT_FALSE(platform::writeWholeFile(dir / "missing" / "out.png", big));
    EXPECT_EQ(filesUnder(dir.path()), std::vector<std::string>{"out.png"});
}

TEST(SequencePattern, OneNumberWithTheLibrarysWidthsAndNoOtherPercentSign) {
    const struct {
        const char* name;
        const char* member7;  // empty: not a pattern
    } cases[] = {
        {"a%d.png", "a7.png"}, {"a%04d.png", "a0007.png"},
        {"a%3u", "a  7"},      {"%09d", "000000007"},
        {"a%10d.png", ""},     {"a%05.png", ""},
        {"a%d_%d.png", ""},    {"a%%d.png", ""},
        {"a%s.png", ""},       {"a%", ""},
    };
    for (const auto& c : cases) {
        const std::optional<SequencePattern> pattern = parseSequencePattern(c.name);
        EXPECT_EQ(pattern ? pattern->nameOf(7) : "", c.member7) << c.name;
    }
}

}  // namespace

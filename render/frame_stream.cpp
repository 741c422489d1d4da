#include "render/frame_stream.h"

#include <cstdio>
#include <exception>
#include <ostream>
#include <utility>

#include <opencv2/imgproc.hpp>

#include "app/error_line.h"
#include "app/frame_loop.h"
#include "app/frame_rate.h"
#include "app/window_titles.h"
#include "render/render.h"

namespace {

std::string frameFolder(int number) {
    char name[16];
    std::snprintf(name, sizeof name, "%06d", number);
    return name;
}

}  // namespace

FrameStream::FrameStream(const RenderOptions& options, const RenderConsole& console,
                         FrameStats* stats, int declaredFrames)
    : options_(options),
      err_(console.err),
      progress_(console.err, console.errIsTerminal, declaredFrames),
      stats_(stats),
      previous_(steadyNowNs()) {}

bool FrameStream::run(const RenderInputs& inputs) {
    try {
        ReadAhead reader(inputs);
        if (!renderInputs(reader) || !(options_.everyFrame || write(options_.outDir))) {
            return false;
        }
    } catch (const std::exception& e) {
        return fail(errorLine(e));
    }
    progress_.finish(frames_);
    return true;
}

bool FrameStream::renderInputs(ReadAhead& reader) {
    ReadFrame read;
    while (reader.next(read)) {
        // The frame's buffer becomes the loop's, and the previous one goes back to the reader.
        std::swap(images_.frame, read.frame);
        if (!renderFrame(read, options_.everyFrame || reader.endsHere())) {
            return false;
        }
    }
    if (const RenderInput* input = reader.failedInput()) {
        return fail("error: cannot read " + input->refusedFile() + ": " +
                    std::string(input->refusal()));
    }
    return reader.errorText().empty() || fail(reader.errorText());
}

bool FrameStream::renderFrame(const ReadFrame& read, bool pictures) {
    const std::int64_t stamp = steadyNowNs();
    fps_ = options_.fps ? *options_.fps : smoothFrameRate(fps_, stamp - previous_);
    previous_ = stamp;
    ++frames_;
    std::optional<FrameNumbers> numbers;
    if (pictures) {
        processFrame(images_, fps_, recorder_, options_.scopes);
        if (stats_) {
            numbers = numbersOfShown(images_.frame, images_.gray,
                                     recorder_.images().at(kGrayWindow), images_.motion);
        }
    } else {
        // The image library runs a parallel loop inside another one on a single thread: a frame
        // without pictures is worked on by this thread alone, leaving the other cores to the
        // decoder, which needs them more.
        cv::parallel_for_(cv::Range(0, 1), [&](const cv::Range&) { numbers = advance(); });
    }
    if (numbers) {
        stats_->addRow(frames_, read.input->name(), *numbers, read.seconds);
    }
    progress_.frameDone(frames_);
    return !options_.everyFrame || write(options_.outDir / frameFolder(frames_));
}

std::optional<FrameNumbers> FrameStream::advance() {
    if (!stats_) {
        cv::cvtColor(images_.frame, images_.prevGray, cv::COLOR_BGR2GRAY);
        return std::nullopt;
    }
    cv::cvtColor(images_.frame, images_.gray, cv::COLOR_BGR2GRAY);
    const FrameNumbers numbers = measureFrame(images_.frame, images_.gray, images_.prevGray);
    // The next frame's motion compares with this one.
    std::swap(images_.gray, images_.prevGray);
    return numbers;
}

bool FrameStream::write(const std::filesystem::path& dir) {
    const std::filesystem::path failed = writeWindowImages(recorder_, dir);
    return failed.empty() || fail("error: cannot write " + failed.string());
}

bool FrameStream::fail(const std::string& line) {
    progress_.endLine();
    err_ << line << "\n";
    return false;
}

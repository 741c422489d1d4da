#include "tools/frame_stream.h"

#include <cstdio>
#include <exception>
#include <ostream>

#include "app/error_line.h"
#include "app/frame_loop.h"
#include "app/frame_rate.h"
#include "tools/render.h"

namespace {

std::string frameFolder(int number) {
    char name[16];
    std::snprintf(name, sizeof name, "%06d", number);
    return name;
}

}  // namespace

FrameStream::FrameStream(const RenderOptions& options, const RenderConsole& console,
                         std::ostream* stats, int declaredFrames)
    : options_(options),
      err_(console.err),
      progress_(console.err, console.errIsTerminal, declaredFrames),
      previous_(steadyNowNs()) {
    if (stats) {
        stats_.emplace(*stats);
    }
}

bool FrameStream::run(RenderInputs& inputs) {
    try {
        if (!renderInputs(inputs) || !(options_.everyFrame || write(options_.outDir))) {
            return false;
        }
    } catch (const std::exception& e) {
        return fail(errorLine(e));
    }
    progress_.finish(frames_);
    return true;
}

bool FrameStream::renderInputs(RenderInputs& inputs) {
    for (const auto& input : inputs) {
        while (input->read(images_.frame)) {
            if (!renderFrame(input->name())) {
                return false;
            }
        }
        if (!input->refusal().empty()) {
            return fail("error: cannot read " + input->name() + ": " +
                        std::string(input->refusal()));
        }
    }
    return true;
}

bool FrameStream::renderFrame(const std::string& input) {
    const std::int64_t stamp = steadyNowNs();
    fps_ = options_.fps ? *options_.fps : smoothFrameRate(fps_, stamp - previous_);
    processFrame(images_, fps_, recorder_);
    previous_ = stamp;
    ++frames_;
    if (stats_) {
        stats_->addRow(frames_, input, images_.gray, recorder_);
    }
    progress_.frameDone(frames_);
    return !options_.everyFrame || write(options_.outDir / frameFolder(frames_));
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

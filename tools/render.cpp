#include "tools/render.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <memory>
#include <optional>
#include <ostream>

#include "app/error_line.h"
#include "app/frame_loop.h"
#include "app/frame_rate.h"
#include "app/frame_work.h"
#include "tools/frame_stats.h"
#include "tools/render_input.h"
#include "tools/render_options.h"
#include "tools/render_progress.h"
#include "tools/window_images.h"

namespace {

using Inputs = std::vector<std::unique_ptr<RenderInput>>;

// Every input is opened before the first frame, so that a bad one leaves nothing written.
bool openInputs(const std::vector<std::string>& names, Inputs& inputs, std::ostream& err) {
    for (const std::string& name : names) {
        inputs.push_back(std::make_unique<RenderInput>(name));
        const std::string_view refusal = inputs.back()->open();
        if (!refusal.empty()) {
            err << "error: cannot read " << name << ": " << refusal << "\n";
            return false;
        }
    }
    return true;
}

// 0 when any input leaves its count open.
int declaredFrames(const Inputs& inputs) {
    int total = 0;
    for (const auto& input : inputs) {
        if (input->declaredFrames() == 0) {
            return 0;
        }
        total += input->declaredFrames();
    }
    return total;
}

std::string frameFolder(int number) {
    char name[16];
    std::snprintf(name, sizeof name, "%06d", number);
    return name;
}

// All frames of all inputs as one stream through the per-frame work of the live loop: the
// motion view compares each frame with the one before it, whatever input that came from.
class FrameStream {
  public:
    FrameStream(const RenderOptions& options, const RenderConsole& console, std::ostream* stats,
                int declared)
        : options_(options),
          err_(console.err),
          progress_(console.err, console.errIsTerminal, declared) {
        if (stats) {
            stats_.emplace(*stats);
        }
    }

    // False after an error line.
    bool run(Inputs& inputs) {
        try {
            return renderInputs(inputs) && writeLastFrame();
        } catch (const std::exception& e) {
            return fail(errorLine(e));
        }
    }

  private:
    bool renderInputs(Inputs& inputs) {
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
        progress_.finish(frames_);
        return true;
    }

    bool renderFrame(const std::string& input) {
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

    bool writeLastFrame() { return options_.everyFrame || write(options_.outDir); }

    bool write(const std::filesystem::path& dir) {
        const std::filesystem::path failed = writeWindowImages(recorder_, dir);
        return failed.empty() || fail("error: cannot write " + failed.string());
    }

    bool fail(const std::string& line) {
        progress_.endLine();
        err_ << line << "\n";
        return false;
    }

    const RenderOptions& options_;
    std::ostream& err_;
    RenderProgress progress_;
    std::optional<FrameStats> stats_;
    WindowRecorder recorder_;
    FrameImages images_;
    double fps_ = 0.0;
    std::int64_t previous_ = steadyNowNs();
    int frames_ = 0;
};

int render(const RenderOptions& options, const RenderConsole& console) {
    Inputs inputs;
    if (!openInputs(options.inputs, inputs, console.err)) {
        return 1;
    }
    std::ofstream statsFile;
    std::ostream* stats = options.statsFile == "-" ? &console.out : nullptr;
    if (!options.statsFile.empty() && !stats) {
        statsFile.open(options.statsFile);
        stats = &statsFile;
    }
    if (stats && !*stats) {
        console.err << "error: cannot write " << options.statsFile << "\n";
        return 1;
    }
    FrameStream stream(options, console, stats, declaredFrames(inputs));
    const bool done = stream.run(inputs);
    if (stats && !stats->flush()) {
        console.err << "error: cannot write " << options.statsFile << "\n";
        return 1;
    }
    return done ? 0 : 1;
}

}  // namespace

int runRender(const std::vector<std::string>& args, const RenderConsole& console,
              std::string_view version) {
    const ParsedArgs parsed = parseRenderArgs(args);
    switch (parsed.request) {
        case RenderRequest::Help:
            console.out << kRenderHelp;
            return 0;
        case RenderRequest::Version:
            console.out << "velmora-render " << version << "\n";
            return 0;
        case RenderRequest::Usage:
            console.err << kRenderUsage;
            return 2;
        case RenderRequest::Render:
            break;
    }
    return render(parsed.options, console);
}

#include "tools/render.h"

#include <fstream>
#include <memory>
#include <ostream>

#include "tools/frame_stream.h"
#include "tools/render_input.h"
#include "tools/render_options.h"

namespace {

// Every input is opened before the first frame, so that a bad one leaves nothing written.
bool openInputs(const std::vector<std::string>& names, RenderInputs& inputs, std::ostream& err) {
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
int declaredFrames(const RenderInputs& inputs) {
    int total = 0;
    for (const auto& input : inputs) {
        if (input->declaredFrames() == 0) {
            return 0;
        }
        total += input->declaredFrames();
    }
    return total;
}

int render(const RenderOptions& options, const RenderConsole& console) {
    RenderInputs inputs;
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

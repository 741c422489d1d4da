#include "render/render.h"

#include <memory>
#include <optional>
#include <ostream>

#include "platform/whole_file.h"
#include "render/frame_stream.h"
#include "render/output_guard.h"
#include "render/render_input.h"
#include "render/render_options.h"

namespace {

// Every input is opened before the first frame, so that a bad one leaves nothing written.
bool openInputs(const std::vector<std::string>& names, RenderInputs& inputs, std::ostream& err) {
    for (const std::string& name : names) {
        inputs.push_back(std::make_unique<RenderInput>(name));
        const std::string_view refusal = inputs.back()->open();
        if (!refusal.empty()) {
            const std::string& file = inputs.back()->refusedFile();
            err << "error: cannot read " << (file.empty() ? name : file) << ": " << refusal << "\n";
            return false;
        }
    }
    return true;
}

// Nothing the user gave is written: an output that is one of the input files stops the run
// before anything is.
bool outputsSpareInputs(const RenderOptions& options, const RenderInputs& inputs,
                        std::ostream& err) {
    std::vector<std::filesystem::path> files;
    for (const auto& input : inputs) {
        const std::vector<std::filesystem::path> own = input->files();
        files.insert(files.end(), own.begin(), own.end());
    }
    const std::optional<Collision> collision =
        findOverwrittenInput(existingOutputs(options), files);
    if (collision) {
        err << "error: " << collision->output.string() << " would overwrite input "
            << collision->input.string() << "\n";
    }
    return !collision;
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

bool cannotWrite(const std::string& path, std::ostream& err) {
    err << "error: cannot write " << path << "\n";
    return false;
}

bool renderStream(const RenderOptions& options, const RenderConsole& console,
                  const RenderInputs& inputs) {
    const int frames = declaredFrames(inputs);
    if (options.statsFile.empty()) {
        return FrameStream(options, console, nullptr, frames).run(inputs);
    }
    if (options.statsFile == "-") {
        FrameStats stats(console.out, true);
        return FrameStream(options, console, &stats, frames).run(inputs) &&
               (console.out.flush() || cannotWrite(options.statsFile, console.err));
    }
    // The file appears once every row is in it; a run that fails leaves none. Its folder is
    // made like OUTDIR.
    const std::filesystem::path statsPath(options.statsFile);
    std::error_code ec;
    std::filesystem::create_directories(statsPath.parent_path(), ec);
    platform::PendingFile file(statsPath);
    if (!file.isOpen()) {
        return cannotWrite(options.statsFile, console.err);
    }
    FrameStats stats(file.stream(), false);
    return FrameStream(options, console, &stats, frames).run(inputs) &&
           (file.commit() || cannotWrite(options.statsFile, console.err));
}

int render(const RenderOptions& options, const RenderConsole& console) {
    RenderInputs inputs;
    if (!openInputs(options.inputs, inputs, console.err) ||
        !outputsSpareInputs(options, inputs, console.err)) {
        return 1;
    }
    return renderStream(options, console, inputs) ? 0 : 1;
}

}  // namespace

int runRender(const std::vector<std::string>& args, const RenderConsole& console,
              std::string_view version) {
    const ParsedArgs parsed = parseRenderArgs(args);
    switch (parsed.request) {
        case RenderRequest::Help:
            console.out << kRenderUsage << kRenderHelp;
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

#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/frame_work.h"
#include "tools/frame_stats.h"
#include "tools/render_input.h"
#include "tools/render_options.h"
#include "tools/render_progress.h"
#include "tools/window_images.h"

struct RenderConsole;

using RenderInputs = std::vector<std::unique_ptr<RenderInput>>;

// All frames of all inputs as one stream through the per-frame work of the live loop: the
// motion view compares each frame with the one before it, whatever input that came from.
class FrameStream {
  public:
    // `stats` receives the CSV rows when given; `declaredFrames` is 0 where the count is open.
    FrameStream(const RenderOptions& options, const RenderConsole& console, std::ostream* stats,
                int declaredFrames);

    // Renders every frame of the opened inputs and writes the window images; false after an
    // error line.
    bool run(RenderInputs& inputs);

  private:
    bool renderInputs(RenderInputs& inputs);
    bool renderFrame(const std::string& input);
    bool write(const std::filesystem::path& dir);
    bool fail(const std::string& line);

    const RenderOptions& options_;
    std::ostream& err_;
    RenderProgress progress_;
    std::optional<FrameStats> stats_;
    WindowRecorder recorder_;
    FrameImages images_;
    double fps_ = 0.0;
    std::int64_t previous_;
    int frames_ = 0;
};

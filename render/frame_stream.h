#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>

#include "app/frame_work.h"
#include "render/frame_stats.h"
#include "render/read_ahead.h"
#include "render/render_options.h"
#include "render/render_progress.h"
#include "render/window_images.h"

struct RenderConsole;

// All frames of all inputs as one stream through the per-frame work of the live loop: the
// motion view compares each frame with the one before it, whatever input that came from. A
// frame whose pictures are not written (all but the last, without --every-frame) goes only
// through what its stats row and the next frame need.
class FrameStream {
  public:
    // `stats` receives the CSV rows when given; `declaredFrames` is 0 where the count is open.
    FrameStream(const RenderOptions& options, const RenderConsole& console, FrameStats* stats,
                int declaredFrames);

    // Renders every frame of the opened inputs and writes the window images; false after an
    // error line.
    bool run(const RenderInputs& inputs);

  private:
    bool renderInputs(ReadAhead& reader);
    bool renderFrame(const ReadFrame& read, bool pictures);
    // Only what the frame's row and the next frame need, for a frame without pictures.
    std::optional<FrameNumbers> advance();
    bool write(const std::filesystem::path& dir);
    bool fail(const std::string& line);

    const RenderOptions& options_;
    std::ostream& err_;
    RenderProgress progress_;
    FrameStats* stats_;
    WindowRecorder recorder_;
    FrameImages images_;
    double fps_ = 0.0;
    std::int64_t previous_;
    int frames_ = 0;
};

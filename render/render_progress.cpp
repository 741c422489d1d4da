#include "render/render_progress.h"

#include <cstdio>
#include <ostream>

#include "app/frame_loop.h"

RenderProgress::RenderProgress(std::ostream& err, bool shown, int declaredFrames)
    : err_(err), shown_(shown), declaredFrames_(declaredFrames), startNs_(steadyNowNs()) {}

void RenderProgress::frameDone(int number) {
    if (!shown_) {
        return;
    }
    err_ << "\rframe " << number;
    if (declaredFrames_ > 0) {
        err_ << " of " << declaredFrames_;
    }
    err_.flush();
    lineOpen_ = true;
}

void RenderProgress::endLine() {
    if (lineOpen_) {
        err_ << "\n";
        lineOpen_ = false;
    }
}

void RenderProgress::finish(int frames) {
    if (!shown_) {
        return;
    }
    endLine();
    const double seconds = static_cast<double>(steadyNowNs() - startNs_) / 1e9;
    char line[96];
    std::snprintf(line, sizeof line, "%d frames in %.1f s, %.1f frames per second\n", frames,
                  seconds, seconds > 0.0 ? frames / seconds : 0.0);
    err_ << line;
}

#pragma once

#include <cstdint>
#include <iosfwd>

// "frame N of M" on standard error, rewritten in place after every frame, and a closing line
// with the frame count and rate. Says nothing when `shown` is false (standard error is no
// terminal), so that scripts see only error lines.
class RenderProgress {
  public:
    // `declaredFrames` is 0 where the inputs do not say how many frames they hold.
    RenderProgress(std::ostream& err, bool shown, int declaredFrames);

    void frameDone(int number);
    // Ends the in-place line, so that an error line starts on a line of its own.
    void endLine();
    void finish(int frames);

  private:
    std::ostream& err_;
    bool shown_;
    int declaredFrames_;
    std::int64_t startNs_;
    bool lineOpen_ = false;
};

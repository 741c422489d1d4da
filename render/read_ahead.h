#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <opencv2/core.hpp>

#include "render/render_input.h"

using RenderInputs = std::vector<std::unique_ptr<RenderInput>>;

// One frame as it was read.
struct ReadFrame {
    cv::Mat frame;
    std::optional<double> seconds;  // its time in a video
    const RenderInput* input = nullptr;
};

// Reads the frames of every input, in order, on a thread of its own a few frames ahead of the
// caller, so that decoding and analysis overlap. The frames are exactly those the inputs give
// one after another; their buffers go round between the two threads.
class ReadAhead {
  public:
    // `inputs` are open; they are read only by the thread until it ends.
    explicit ReadAhead(const RenderInputs& inputs);
    // Stops the thread after the frame it is reading.
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // Replaces `frame` with the next frame and takes its old buffer back for reuse. False after
    // the last frame, or where an input failed or the image library raised an error: failure()
    // then tells which.
    bool next(ReadFrame& frame);

    // Whether the frames end, without a failure, after the one next() gave last. Waits until
    // the thread knows.
    bool endsHere();

    // After next() returned false: the input that no longer read (nullptr if none), and the
    // error line of an error the image library raised (empty if none).
    const RenderInput* failedInput() const { return failedInput_; }
    const std::string& errorText() const { return error_; }

  private:
    void readAll(const RenderInputs& inputs);
    // False when the caller stopped the thread.
    bool readInput(RenderInput& input);
    void waitForFrameOrEnd(std::unique_lock<std::mutex>& lock);

    static constexpr std::size_t kDepth = 3;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<ReadFrame> queue_;
    std::vector<cv::Mat> spare_;
    bool finished_ = false;
    bool stop_ = false;
    const RenderInput* failedInput_ = nullptr;
    std::string error_;
    std::thread thread_;  // last: it starts once everything it uses exists
};

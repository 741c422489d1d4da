#include "render/read_ahead.h"

#include <exception>

#include "app/error_line.h"

ReadAhead::ReadAhead(const RenderInputs& inputs) : thread_([this, &inputs] { readAll(inputs); }) {}

ReadAhead::~ReadAhead() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void ReadAhead::readAll(const RenderInputs& inputs) {
    try {
        for (const auto& input : inputs) {
            if (!readInput(*input)) {
                break;
            }
        }
    } catch (const std::exception& e) {
        const std::lock_guard lock(mutex_);
        error_ = errorLine(e);
    }
    {
        const std::lock_guard lock(mutex_);
        finished_ = true;
    }
    changed_.notify_all();
}

bool ReadAhead::readInput(RenderInput& input) {
    for (;;) {
        ReadFrame read;
        read.input = &input;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return stop_ || queue_.size() < kDepth; });
            if (stop_) {
                return false;
            }
            if (!spare_.empty()) {
                read.frame = std::move(spare_.back());
                spare_.pop_back();
            }
        }
        const bool got = input.read(read.frame, read.seconds);
        const std::lock_guard lock(mutex_);
        if (!got) {
            spare_.push_back(std::move(read.frame));
            if (!input.refusal().empty()) {
                failedInput_ = &input;
                return false;
            }
            return true;
        }
        queue_.push_back(std::move(read));
        changed_.notify_all();
    }
}

void ReadAhead::waitForFrameOrEnd(std::unique_lock<std::mutex>& lock) {
    changed_.wait(lock, [this] { return finished_ || !queue_.empty(); });
}

bool ReadAhead::next(ReadFrame& frame) {
    std::unique_lock lock(mutex_);
    if (!frame.frame.empty()) {
        spare_.push_back(std::move(frame.frame));
    }
    waitForFrameOrEnd(lock);
    if (queue_.empty()) {
        return false;
    }
    frame = std::move(queue_.front());
    queue_.pop_front();
    changed_.notify_all();
    return true;
}

bool ReadAhead::endsHere() {
    std::unique_lock lock(mutex_);
    waitForFrameOrEnd(lock);
    return queue_.empty() && failedInput_ == nullptr && error_.empty();
}

#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "app/frame_numbers.h"

// The CSV rows of --stats: the header, then one row per frame.
class FrameStats {
  public:
    // `lineByLine` hands every row on as soon as it is complete (standard output, where another
    // program may be reading), never part of one.
    FrameStats(std::ostream& out, bool lineByLine);

    // The row of frame `number` of `input`; `seconds` is its time in a video.
    void addRow(int number, const std::string& input, const FrameNumbers& numbers,
                std::optional<double> seconds);

  private:
    void put(std::string_view line);

    std::ostream& out_;
    bool lineByLine_;
};

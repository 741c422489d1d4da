#include "render/frame_stats.h"

#include <ostream>

FrameStats::FrameStats(std::ostream& out, bool lineByLine) : out_(out), lineByLine_(lineByLine) {
    put(kNumbersHeader);
}

void FrameStats::addRow(int number, const std::string& input, const FrameNumbers& numbers,
                        std::optional<double> seconds) {
    put(numbersRow(number, input, numbers, seconds));
}

void FrameStats::put(std::string_view line) {
    out_.write(line.data(), static_cast<std::streamsize>(line.size()));
    if (lineByLine_) {
        out_.flush();
    }
}

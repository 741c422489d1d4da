#include "tests/support/recording_windows.h"

#include <string>

void RecordingWindows::create(const std::string& title) {
    calls.push_back("create " + title);
}

void RecordingWindows::resize(const std::string& title, int width, int height) {
    calls.push_back("resize " + title + " " + std::to_string(width) + "x" + std::to_string(height));
}

void RecordingWindows::show(const std::string& title, const cv::Mat& image) {
    calls.push_back("show " + title + " " + std::to_string(image.cols) + "x" +
                    std::to_string(image.rows));
    last[title] = image.clone();
    ++shows[title];
}

int RecordingWindows::pollKey() {
    calls.push_back("poll");
    if (keys.empty()) {
        return -1;
    }
    const int key = keys.front();
    keys.pop_front();
    return key;
}

void RecordingWindows::destroyAll() {
    calls.push_back("destroy");
}

std::vector<std::string> RecordingWindows::callsStartingWith(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& call : calls) {
        if (call.rfind(prefix, 0) == 0) {
            out.push_back(call);
        }
    }
    return out;
}

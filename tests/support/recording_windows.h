#pragma once

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "app/window_layer.h"

// A window layer that remembers every call, keeps a copy of the last image of each window and
// answers key polls from a script (-1 once the script is used up).
class RecordingWindows final : public WindowLayer {
  public:
    void create(const std::string& title) override { calls.push_back("create " + title); }
    void resize(const std::string& title, int width, int height) override {
        calls.push_back("resize " + title + " " + std::to_string(width) + "x" +
                        std::to_string(height));
    }
    void show(const std::string& title, const cv::Mat& image) override {
        calls.push_back("show " + title + " " + std::to_string(image.cols) + "x" +
                        std::to_string(image.rows));
        last[title] = image.clone();
        ++shows[title];
    }
    int pollKey() override {
        const int key = keys.empty() ? -1 : keys.front();
        if (!keys.empty()) {
            keys.pop_front();
        }
        return key;
    }
    void destroyAll() override { calls.push_back("destroy"); }

    std::vector<std::string> calls;  // "create T", "resize T WxH", "show T WxH", "destroy"
    std::map<std::string, cv::Mat> last;
    std::map<std::string, int> shows;
    std::deque<int> keys;
};

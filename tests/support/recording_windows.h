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
    void move(const std::string& title, int x, int y) override {
        calls.push_back("move " + title + " " + std::to_string(x) + "," + std::to_string(y));
    }
    cv::Rect area(const std::string&) override { return opensAt; }
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
    void destroy(const std::string& title) override { calls.push_back("destroy " + title); }
    void destroyAll() override { calls.push_back("destroy"); }

    // "create T", "resize T WxH", "move T X,Y", "show T WxH", "destroy"
    std::vector<std::string> calls;
    std::map<std::string, cv::Mat> last;
    std::map<std::string, int> shows;
    std::deque<int> keys;
    cv::Rect opensAt{0, 0, 64, 48};  // where every window's image lies
};

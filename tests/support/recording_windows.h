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
    void create(const std::string& title) override;
    void resize(const std::string& title, int width, int height) override;
    void show(const std::string& title, const cv::Mat& image) override;
    int pollKey() override;
    void destroyAll() override;

    std::vector<std::string> calls;  // "create T", "resize T WxH", "show T WxH", "poll", "destroy"
    std::map<std::string, cv::Mat> last;
    std::map<std::string, int> shows;
    std::deque<int> keys;

    std::vector<std::string> callsStartingWith(const std::string& prefix) const;
};

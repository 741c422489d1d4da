#include <opencv2/highgui.hpp>

#include "app/window_layer.h"
#include "platform/platform.h"

void HighguiWindows::create(const std::string& title) {
    cv::namedWindow(title, platform::windowFlags());
    platform::fixWindowFrame(title.c_str());
}

void HighguiWindows::resize(const std::string& title, int width, int height) {
    cv::resizeWindow(title, width, height);
}

void HighguiWindows::move(const std::string& title, int x, int y) {
    cv::moveWindow(title, x, y);
}

cv::Rect HighguiWindows::area(const std::string& title) {
    return cv::getWindowImageRect(title);
}

void HighguiWindows::show(const std::string& title, const cv::Mat& image) {
    cv::imshow(title, image);
}

int HighguiWindows::pollKey() {
    return cv::waitKey(1);
}

void HighguiWindows::destroy(const std::string& title) {
    cv::destroyWindow(title);
}

void HighguiWindows::destroyAll() {
    cv::destroyAllWindows();
}

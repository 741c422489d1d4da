#pragma once

#include <string>

#include "app/image_sink.h"

// The windows of the live program. The real one is OpenCV's highgui; tests record the calls.
class WindowLayer : public ImageSink {
  public:
    virtual void create(const std::string& title) = 0;
    virtual void resize(const std::string& title, int width, int height) = 0;
    virtual void move(const std::string& title, int x, int y) = 0;
    // Where the window's image lies on the desktop.
    virtual cv::Rect area(const std::string& title) = 0;
    // Lets the windows repaint and returns the key pressed, or -1.
    virtual int pollKey() = 0;
    virtual void destroy(const std::string& title) = 0;
    virtual void destroyAll() = 0;
};

// OpenCV's windows, with the frame fix-up of the platform layer.
class HighguiWindows final : public WindowLayer {
  public:
    void create(const std::string& title) override;
    void resize(const std::string& title, int width, int height) override;
    void move(const std::string& title, int x, int y) override;
    cv::Rect area(const std::string& title) override;
    void show(const std::string& title, const cv::Mat& image) override;
    int pollKey() override;
    void destroy(const std::string& title) override;
    void destroyAll() override;
};

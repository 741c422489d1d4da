#pragma once

#include <cstdint>
#include <memory>

#include <opencv2/core.hpp>

#include "platform/monitors.h"
#include "sources/frame_source.h"

// Makes the source for a monitor answer: the wallpaper with one monitor, the last monitor live
// with two or more. Prints the status line, or an error line and returns null.
std::unique_ptr<FrameSource> createMonitorSource(
    platform::MonitorPlatform& os = platform::systemMonitors());

// Captures `capture.area` of monitor `capture.index` of the `count` monitors found (the answer
// 2 captures the whole of the last one). A region's origin in its monitor ends the status line.
std::unique_ptr<FrameSource> createScreenSource(
    const platform::CaptureArea& capture, std::uint64_t count,
    platform::MonitorPlatform& os = platform::systemMonitors());

// Reads the desktop wallpaper once and hands it out as a still image.
std::unique_ptr<FrameSource> createWallpaperSource(
    platform::MonitorPlatform& os = platform::systemMonitors());

// A monitor captured live, or the desktop wallpaper as a still image; the mode never changes.
// Made only by the two factories above.
class MonitorSource final : public FrameSource {
  public:
    explicit MonitorSource(platform::MonitorPlatform& os);
    ~MonitorSource() override;
    MonitorSource(const MonitorSource&) = delete;
    MonitorSource& operator=(const MonitorSource&) = delete;

    bool read(cv::Mat& out) override;
    std::string_view kind() const override { return stillImage ? "wallpaper" : "screen"; }

  private:
    friend std::unique_ptr<FrameSource> createScreenSource(const platform::CaptureArea&,
                                                           std::uint64_t,
                                                           platform::MonitorPlatform&);
    friend std::unique_ptr<FrameSource> createWallpaperSource(platform::MonitorPlatform&);

    bool readLive(cv::Mat& out);

    platform::MonitorPlatform& os;
    bool stillImage = false;
    cv::Mat image;
    std::unique_ptr<platform::SettingsAccess> settings;  // held while a wallpaper source lives
    platform::MonitorRect monitorRect;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::unique_ptr<platform::ScreenGrabber> grabber;
};

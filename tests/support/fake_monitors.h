#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <opencv2/core.hpp>

#include "platform/monitors.h"

// A modelled desktop: its monitors, a screen of BGRA pixels in virtual-screen coordinates, COM
// and the wallpaper setting. It counts what was acquired and released and logs every call.
class FakeMonitors final : public platform::MonitorPlatform {
  public:
    std::vector<platform::MonitorRect> monitors() override;
    platform::GrabberResult openGrabber(const platform::MonitorRect& rect) override;
    std::int32_t initializeCom() override;
    void uninitializeCom() override;
    std::filesystem::path wallpaperPath() override;

    // Set by the test.
    std::vector<platform::MonitorRect> rects;
    std::vector<bool> infoFails;  // per monitor: left out like a failed info query
    platform::GrabberFailure grabberFailure = platform::GrabberFailure::NoFailure;
    std::string grabberDetail;
    bool grabsFail = false;
    cv::Mat screen;  // CV_8UC4, its top-left pixel at screenOrigin
    cv::Point screenOrigin;
    std::int32_t comResult = 0;
    std::filesystem::path wallpaper;

    // Observed.
    std::vector<std::string> calls;  // "monitors", "open L,T,R,B", "grab", "close", "com-init"...
    std::vector<platform::MonitorRect> grabberRects;
    int grabbersAlive = 0;
    int comDepth = 0;  // initialisations not yet balanced
    int comDepthAtLookup = -1;
};

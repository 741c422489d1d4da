#include <iostream>
#include <string>
#include <vector>

#include <opencv2/core/utils/logger.hpp>

#include "app/velmora_app.h"
#include "platform/platform.h"
#include "sources/chosen_source.h"

namespace {

std::vector<cv::Rect> monitorAreas() {
    std::vector<cv::Rect> areas;
    for (const platform::Monitor& monitor : platform::systemMonitors().monitors()) {
        const platform::MonitorRect& r = monitor.rect;
        areas.emplace_back(r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
    return areas;
}

}  // namespace

int main(int argc, char** argv) {
    cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_WARNING);
    platform::prepareProcess();
    const ParsedVelmoraArgs parsed = parseVelmoraArgs({argv + 1, argv + argc});
    switch (parsed.request) {
        case VelmoraRequest::Help:
            std::cout << kVelmoraUsage << kVelmoraHelp;
            return 0;
        case VelmoraRequest::Version:
            std::cout << "velmora " << VELMORA_VERSION << "\n";
            return 0;
        case VelmoraRequest::Usage:
            std::cerr << kVelmoraUsage;
            return 2;
        case VelmoraRequest::Run:
            break;
    }
    HighguiWindows windows;
    const VelmoraSystem system{std::cin,
                               std::cout,
                               [](const SourceRequest& request) { return makeSource(request); },
                               [](std::ostream& out) { listSources(out); },
                               monitorAreas,
                               [] { platform::systemMonitors().forgetMonitorChoice(); }};
    return runVelmora(parsed.options, system, windows);
}

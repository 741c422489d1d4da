#include <iostream>

#include <opencv2/core/utils/logger.hpp>

#include "app/velmora_app.h"
#include "platform/platform.h"
#include "sources/monitor_source.h"
#include "sources/usb_source.h"

int main() {
    cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_WARNING);
    platform::prepareProcess();
    HighguiWindows windows;
    const SourceFactories factories{[] { return createUsbSource(); },
                                    [] { return createMonitorSource(); }};
    return runVelmora(std::cin, std::cout, factories, windows);
}

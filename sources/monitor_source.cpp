#include "sources/monitor_source.h"

#include <iostream>

std::unique_ptr<FrameSource> createMonitorSource() {
    std::cerr << "error: no monitor found\n";
    return nullptr;
}

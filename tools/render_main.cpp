#include <iostream>
#include <string>
#include <vector>

#include <opencv2/core/utils/logger.hpp>

#include "tools/render.h"

int main(int argc, char** argv) {
    cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_WARNING);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return runRender(args, std::cerr);
}

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include <opencv2/core/utils/logger.hpp>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "render/render.h"

namespace {

bool stderrIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(STDERR_FILENO) != 0;
#endif
}

}  // namespace

int main(int argc, char** argv) {
    // The library's own messages (a sequence's reader reports the file after the last one as
    // missing) would mix with the error lines scripts read.
    cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_SILENT);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return runRender(args, {std::cout, std::cerr, stderrIsTerminal()}, VELMORA_VERSION);
}

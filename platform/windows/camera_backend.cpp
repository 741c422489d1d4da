#include <opencv2/videoio.hpp>

#include "platform/platform.h"

int platform::cameraBackend() {
    return cv::CAP_MSMF;
}

// Media Foundation chooses the format for the size asked of it.
int platform::cameraFormatFor(int, int, int) {
    return 0;
}

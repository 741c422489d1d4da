#include <opencv2/videoio.hpp>

#include "platform/platform.h"

int platform::cameraBackend() {
    return cv::CAP_MSMF;
}

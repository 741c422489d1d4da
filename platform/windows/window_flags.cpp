#include <opencv2/highgui.hpp>

#include "platform/platform.h"

int platform::windowFlags() {
    return cv::WINDOW_NORMAL;
}

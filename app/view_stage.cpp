#include "app/view_stage.h"

void runViewStage(const cv::Mat&, cv::Mat&, ImageSink&) {}

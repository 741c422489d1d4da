#pragma once

#include <string>
#include <vector>

#include <opencv2/core.hpp>

// The frame sizes every stage is measured at.
const std::vector<cv::Size>& benchSizes();

// "1920x1080".
std::string sizeName(cv::Size size);

// "stage/implementation/WxH", the name the closing table sorts benchmarks by.
std::string benchName(const char* stage, const char* implementation, cv::Size size);

// Consecutive synthetic frames of one scene at `size`, made once and kept for the whole run.
const std::vector<cv::Mat>& benchFrames(cv::Size size);

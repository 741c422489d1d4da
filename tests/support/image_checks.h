#pragma once

#include <cstdio>
#include <string>

#include <gtest/gtest.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

// Same size, same type and every pixel equal.
inline ::testing::AssertionResult sameImage(const cv::Mat& actual, const cv::Mat& expected) {
    if (actual.size() == expected.size() && actual.type() == expected.type() &&
        (actual.empty() || cv::norm(actual, expected, cv::NORM_INF) == 0.0)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << actual.size() << " " << cv::typeToString(actual.type()) << " vs " << expected.size()
           << " " << cv::typeToString(expected.type());
}

// The last three --stats columns of a BGR frame, derived with the image library's own calls:
// ",SHARPNESS,CLIPPED_LOW,CLIPPED_HIGH".
inline std::string measuresOf(const cv::Mat& bgr) {
    cv::Mat gray, laplacian, zero, full;
    cv::cvtColor(bgr, gray, cv::COLOR_BGR2GRAY);
    cv::Laplacian(gray, laplacian, CV_64F, 1);
    cv::Scalar mean, deviation;
    cv::meanStdDev(laplacian, mean, deviation);
    cv::inRange(bgr, cv::Scalar::all(1), cv::Scalar::all(255), zero);
    cv::inRange(bgr, cv::Scalar::all(0), cv::Scalar::all(254), full);
    char text[96];
    std::snprintf(text, sizeof text, ",%.3f,%d,%d", deviation[0] * deviation[0],
                  int(bgr.total()) - cv::countNonZero(zero),
                  int(bgr.total()) - cv::countNonZero(full));
    return text;
}

#pragma once

#include <gtest/gtest.h>
#include <opencv2/core.hpp>

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

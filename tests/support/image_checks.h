#pragma once

#include <functional>
#include <string>

#include <gtest/gtest.h>
#include <opencv2/core.hpp>

// Same size, same type and every pixel equal.
inline ::testing::AssertionResult sameImage(const cv::Mat& actual, const cv::Mat& expected) {
    if (actual.size() == expected.size() && actual.type() == expected.type() &&
        (actual.empty() || cv::norm(actual, expected, cv::NORM_INF) == 0.0)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << actual.size() << " type " << actual.type() << " vs "
                                         << expected.size() << " type " << expected.type();
}

// Expects `call` to raise the image library's assertion failure (code -215) with exactly this
// message and function name.
inline void expectAssertion(const std::function<void()>& call, const std::string& message,
                            const std::string& function) {
    try {
        call();
        ADD_FAILURE() << "no error raised, expected: " << message;
    } catch (const cv::Exception& e) {
        EXPECT_EQ(e.code, cv::Error::StsAssert) << message;
        EXPECT_EQ(e.err, message);
        EXPECT_EQ(e.func, function) << message;
    }
}

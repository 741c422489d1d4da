#pragma once

#include <functional>
#include <string>

#include <gtest/gtest.h>
#include <opencv2/core.hpp>

// Expects `call` to raise the image library's assertion failure (code -215) with exactly this
// message and function name.
inline void expectAssertion(const std::function<void()>& call, const std::string& message,
                            const std::string& function) {
    try {
        call();
        ADD_FAILURE() << "no error raised, expected: " << message;
    } catch (const cv::Exception& e) {
        EXPECT_EQ(e.code, cv::Error::StsAssert);
        EXPECT_EQ(e.err, message);
        EXPECT_EQ(e.func, function);
    }
}

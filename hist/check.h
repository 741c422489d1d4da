#pragma once

#include <opencv2/core.hpp>

// Raises the image library's assertion failure (code -215) with the tested expression, word for
// word, as its message and `function` as the function name.
#define HIST_CHECK(expression, function)                                                \
    do {                                                                                \
        if (!(expression)) {                                                            \
            cv::error(cv::Error::StsAssert, #expression, function, __FILE__, __LINE__); \
        }                                                                               \
    } while (false)

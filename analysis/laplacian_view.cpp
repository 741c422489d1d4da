#include "analysis/laplacian_view.h"

#include <opencv2/imgproc.hpp>

cv::Mat makeLaplacianView(const cv::Mat& gray) {
    // 16 bits keep the negative responses and those above 255 until the absolute value.
    cv::Mat laplacian;
    cv::Laplacian(gray, laplacian, CV_16S, 3, 1.0, 0.0, cv::BORDER_DEFAULT);
    cv::Mat view;
    cv::convertScaleAbs(laplacian, view, 1.0, 0.0);
    return view;
}

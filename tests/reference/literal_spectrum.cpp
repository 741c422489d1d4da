#include "tests/reference/literal_spectrum.h"

namespace literal {

namespace {

void swapQuadrants(cv::Mat& magnitude) {
    const int cx = magnitude.cols / 2;
    const int cy = magnitude.rows / 2;
    cv::Mat topLeft(magnitude, cv::Rect(0, 0, cx, cy));
    cv::Mat topRight(magnitude, cv::Rect(cx, 0, cx, cy));
    cv::Mat bottomLeft(magnitude, cv::Rect(0, cy, cx, cy));
    cv::Mat bottomRight(magnitude, cv::Rect(cx, cy, cx, cy));
    cv::Mat buffer;
    topLeft.copyTo(buffer);
    bottomRight.copyTo(topLeft);
    buffer.copyTo(bottomRight);
    topRight.copyTo(buffer);
    bottomLeft.copyTo(topRight);
    buffer.copyTo(bottomLeft);
}

}  // namespace

cv::Mat makeSpectrumView(const cv::Mat& gray) {
    const int rows = cv::getOptimalDFTSize(gray.rows);
    const int cols = cv::getOptimalDFTSize(gray.cols);
    const int evenRows = rows & -2;
    const int evenCols = cols & -2;
    if (evenRows == 0 || evenCols == 0) {
        return cv::Mat::zeros(gray.size(), CV_8UC1);
    }

    cv::Mat padded;
    cv::copyMakeBorder(gray, padded, 0, rows - gray.rows, 0, cols - gray.cols, cv::BORDER_CONSTANT,
                       cv::Scalar::all(0));
    cv::Mat planes[2];
    padded.convertTo(planes[0], CV_32F, 1.0, 0.0);
    planes[1] = cv::Mat::zeros(padded.size(), CV_32F);
    cv::Mat complex;
    cv::merge(planes, 2, complex);
    cv::dft(complex, complex, 0, 0);
    cv::split(complex, planes);
    cv::magnitude(planes[0], planes[1], planes[0]);
    cv::Mat magnitude = planes[0];
    cv::add(magnitude, cv::Scalar::all(1.0), magnitude);
    cv::log(magnitude, magnitude);

    magnitude = magnitude(cv::Rect(0, 0, evenCols, evenRows));
    swapQuadrants(magnitude);
    cv::normalize(magnitude, magnitude, 0.0, 255.0, cv::NORM_MINMAX, -1, cv::noArray());
    cv::Mat view;
    magnitude.convertTo(view, CV_8U, 1.0, 0.0);
    return view;
}

}  // namespace literal

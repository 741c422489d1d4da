#include "analysis/half_spectrum.h"

namespace {

class OpenCvHalfSpectrum final : public HalfSpectrumTransform {
  public:
    cv::Mat transform(const cv::Mat& gray, cv::Size padded) override {
        padded_.create(padded, CV_32F);
        cv::Mat frameArea = padded_(cv::Rect(0, 0, gray.cols, gray.rows));
        gray.convertTo(frameArea, CV_32F);
        // A larger frame of the same padded size may have left its pixels in the padding.
        padded_(cv::Rect(gray.cols, 0, padded.width - gray.cols, gray.rows)).setTo(0);
        padded_.rowRange(gray.rows, padded.height).setTo(0);
        // The rows below the frame are zero, which the transform skips.
        cv::dft(padded_, spectrum_, cv::DFT_COMPLEX_OUTPUT, gray.rows);
        return spectrum_.colRange(0, padded.width / 2 + 1);
    }

  private:
    cv::Mat padded_;
    cv::Mat spectrum_;
};

}  // namespace

std::unique_ptr<HalfSpectrumTransform> makeOpenCvHalfSpectrum() {
    return std::make_unique<OpenCvHalfSpectrum>();
}

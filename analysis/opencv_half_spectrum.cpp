#include "analysis/half_spectrum.h"

#include "analysis/padded_frame.h"

namespace {

class OpenCvHalfSpectrum final : public HalfSpectrumTransform {
  public:
    cv::Mat transform(const cv::Mat& gray, cv::Size padded) override {
        padded_.create(padded, CV_32F);
        fillPadded(gray, padded_);
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

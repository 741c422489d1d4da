#pragma once

#include <memory>

#include <opencv2/core.hpp>

// The forward transform of a real image. The spectrum of a real image is conjugate symmetric,
// F(u, v) = conj(F(-u, -v)), so its columns 0 .. cols / 2 hold every value it has.
class HalfSpectrumTransform {
  public:
    virtual ~HalfSpectrumTransform() = default;
    // The transform of `gray` zero-padded at the bottom and right to `padded`: padded.height
    // rows of padded.width / 2 + 1 complex values (CV_32FC2), not scaled. The result lives in
    // the transform's own buffers, reused from call to call while `padded` stays the same, and
    // is valid until the next call.
    virtual cv::Mat transform(const cv::Mat& gray, cv::Size padded) = 0;
};

// With the image library's transform.
std::unique_ptr<HalfSpectrumTransform> makeOpenCvHalfSpectrum();

// With FFTW, planned once per padded size; empty when the build has no FFTW.
std::unique_ptr<HalfSpectrumTransform> makeFftwHalfSpectrum();

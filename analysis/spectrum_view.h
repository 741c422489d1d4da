#pragma once

#include <memory>

#include <opencv2/core.hpp>

#include "analysis/half_spectrum.h"

// The centred log-magnitude spectrum of the gray frame as an 8-bit picture stretched over 0..255.
// The frame is zero-padded at the bottom and right to sizes the transform handles fast, and the
// result is cropped to even sizes, so it can be larger than the frame. A frame one pixel high or
// wide has no even crop left and gives an all-black picture of its own size. A spectrum flat to
// within rounding, such as that of a single bright point, is all black as well.
// Makes its buffers (and FFTW's plan) for this one picture; a loop keeps a SpectrumWorkspace.
cv::Mat makeSpectrumView(const cv::Mat& gray);

enum class SpectrumTransform { OpenCv, Fftw };

// FFTW when the build has it, the image library's transform otherwise.
SpectrumTransform preferredSpectrumTransform();
bool spectrumTransformAvailable(SpectrumTransform transform);

// The buffers of the spectrum picture, kept from frame to frame and replaced when the padded
// size changes. The picture is a new image and depends on the frame alone. Each loop owns one;
// it is not for use from two threads at once.
class SpectrumWorkspace {
  public:
    // An unavailable transform falls back to the image library's.
    explicit SpectrumWorkspace(SpectrumTransform transform = preferredSpectrumTransform());

    cv::Mat makeView(const cv::Mat& gray);

    // The two steps of makeView, for a caller that runs the transform on its own: it spreads
    // over the cores by itself, while the picture is better run beside other work. The picture
    // shows the last frame transformed.
    void transformFrame(const cv::Mat& gray);
    cv::Mat picture();

    SpectrumTransform transform() const { return kind_; }

  private:
    SpectrumTransform kind_;
    std::unique_ptr<HalfSpectrumTransform> transform_;
    cv::Mat logHalf_;
    cv::Size frameSize_;
    cv::Size padded_;
    cv::Mat half_;
};

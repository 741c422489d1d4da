#include "analysis/spectrum_view.h"

#include "analysis/centred_spectrum.h"

SpectrumTransform preferredSpectrumTransform() {
    return spectrumTransformAvailable(SpectrumTransform::Fftw) ? SpectrumTransform::Fftw
                                                               : SpectrumTransform::OpenCv;
}

bool spectrumTransformAvailable(SpectrumTransform transform) {
    return transform == SpectrumTransform::OpenCv || makeFftwHalfSpectrum() != nullptr;
}

SpectrumWorkspace::SpectrumWorkspace(SpectrumTransform transform) {
    if (transform == SpectrumTransform::Fftw) {
        transform_ = makeFftwHalfSpectrum();
    }
    if (!transform_) {
        transform_ = makeOpenCvHalfSpectrum();
        transform = SpectrumTransform::OpenCv;
    }
    kind_ = transform;
}

cv::Mat SpectrumWorkspace::makeView(const cv::Mat& gray) {
    transformFrame(gray);
    return picture();
}

void SpectrumWorkspace::transformFrame(const cv::Mat& gray) {
    frameSize_ = gray.size();
    padded_ = cv::Size(cv::getOptimalDFTSize(gray.cols), cv::getOptimalDFTSize(gray.rows));
    half_ = cv::Mat();
    if (padded_.width >= 2 && padded_.height >= 2) {
        half_ = transform_->transform(gray, padded_);
    }
}

cv::Mat SpectrumWorkspace::picture() {
    if (half_.empty()) {
        // Nothing survives the even crop; an empty picture could not be shown.
        return cv::Mat::zeros(frameSize_, CV_8UC1);
    }
    const LogRange range = logMagnitude(half_, padded_, logHalf_);
    return centredPicture(logHalf_, padded_, range);
}

cv::Mat makeSpectrumView(const cv::Mat& gray) {
    return SpectrumWorkspace().makeView(gray);
}

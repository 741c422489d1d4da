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
    const cv::Size padded(cv::getOptimalDFTSize(gray.cols), cv::getOptimalDFTSize(gray.rows));
    if (padded.width < 2 || padded.height < 2) {
        // Nothing survives the even crop; an empty picture could not be shown.
        return cv::Mat::zeros(gray.size(), CV_8UC1);
    }
    const cv::Mat half = transform_->transform(gray, padded);
    const LogRange range = logMagnitude(half, padded, logHalf_);
    return centredPicture(logHalf_, padded, range);
}

cv::Mat makeSpectrumView(const cv::Mat& gray) {
    // Lives until the process ends; only the main thread draws.
    static SpectrumWorkspace workspace;
    return workspace.makeView(gray);
}

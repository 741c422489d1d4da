#pragma once

#include <array>
#include <string>

inline const std::string kFrameWindow = "Velmora";
inline const std::string kGrayWindow = "Velmora - Gray";
inline const std::string kSpectrumWindow = "2D FFT Spectrum";
inline const std::string kEdgeWindow = "Laplacian Edge";
inline const std::string kMotionWindow = "Motion Detection";
inline const std::string kRgbHistogramWindow = "Histogram - RGB";
inline const std::string kGrayHistogramWindow = "Histogram - Gray";

// In the order the windows are created and sized.
inline const std::array<std::string, 7> kWindowTitles = {
    kFrameWindow,  kGrayWindow,         kSpectrumWindow,      kEdgeWindow,
    kMotionWindow, kRgbHistogramWindow, kGrayHistogramWindow,
};

// The scope windows, which --scopes and the key w add.
inline const std::string kWaveformWindow = "Waveform";
inline const std::string kParadeWindow = "RGB Parade";
inline const std::string kVectorscopeWindow = "Vectorscope";
inline const std::array<std::string, 3> kScopeTitles = {kWaveformWindow, kParadeWindow,
                                                        kVectorscopeWindow};
inline const std::array<std::string, 3> kScopeFileNames = {"waveform.png", "rgb-parade.png",
                                                           "vectorscope.png"};

// The PNG file each window's picture is kept in, in the same order.
inline const std::array<std::string, 7> kWindowFileNames = {
    "velmora.png",          "velmora-gray.png",  "2d-fft-spectrum.png", "laplacian-edge.png",
    "motion-detection.png", "histogram-rgb.png", "histogram-gray.png",
};

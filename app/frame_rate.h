#pragma once

#include <cstdint>

// Exponentially smoothed frames per second: the first sample is taken as it is, later ones
// count one fifth. An interval that is not positive leaves the rate unchanged.
double smoothFrameRate(double fps, std::int64_t elapsedNs);

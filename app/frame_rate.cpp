#include "app/frame_rate.h"

double smoothFrameRate(double fps, std::int64_t elapsedNs) {
    const double dt = static_cast<double>(elapsedNs) / 1e9;
    if (!(dt > 0.0)) {
        return fps;
    }
    const double instant = 1.0 / dt;
    if (fps == 0.0) {
        return instant;
    }
    return instant * 0.2 + fps * 0.8;
}

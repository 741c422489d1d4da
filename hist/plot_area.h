#pragma once

namespace hist {

// The plot rectangle of a histogram canvas. `width` and `height` are stored by whoever fills it
// and used as stored.
struct PlotArea {
    int left;
    int top;
    int right;
    int bottom;
    int width;
    int height;
};

// The x of a bin or gray level (0 to 255): 0 on `left`, 255 on `left` + `width`, truncated.
inline int binX(const PlotArea& area, int bin) {
    return area.left + (bin * area.width) / 255;
}

}  // namespace hist

#include "app/window_tiling.h"

#include <algorithm>

namespace {

// Room the desktop takes around each image: a title bar above it and a thin frame.
constexpr int kTitleBar = 32;
constexpr int kBorder = 4;

}  // namespace

std::vector<Tile> tileWindows(cv::Rect area, cv::Size frame, int count) {
    if (count <= 0 || frame.empty() || area.empty()) {
        return {};
    }
    double best = 0.0;
    int columns = 1;
    for (int c = 1; c <= count; ++c) {
        const int rows = (count + c - 1) / c;
        const double scale =
            std::min(double(area.width / c - 2 * kBorder) / frame.width,
                     double(area.height / rows - kTitleBar - kBorder) / frame.height);
        if (scale > best) {
            best = scale;
            columns = c;
        }
    }
    const int rows = (count + columns - 1) / columns;
    const cv::Size image(std::max(1, int(frame.width * best)),
                         std::max(1, int(frame.height * best)));
    std::vector<Tile> tiles;
    for (int i = 0; i < count; ++i) {
        tiles.push_back({{area.x + (i % columns) * (area.width / columns),
                          area.y + (i / columns) * (area.height / rows)},
                         image});
    }
    return tiles;
}

void placeTiled(WindowLayer& windows, const std::vector<std::string>& titles, cv::Size frame,
                const std::vector<cv::Rect>& monitors) {
    if (monitors.empty() || titles.empty()) {
        return;
    }
    const cv::Point opened = windows.area(titles.front()).tl();
    const auto holder = std::find_if(monitors.begin(), monitors.end(),
                                     [&](const cv::Rect& m) { return m.contains(opened); });
    const cv::Rect monitor = holder != monitors.end() ? *holder : monitors.front();
    const std::vector<Tile> tiles = tileWindows(monitor, frame, int(titles.size()));
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        windows.resize(titles[i], tiles[i].image.width, tiles[i].image.height);
        windows.move(titles[i], tiles[i].origin.x, tiles[i].origin.y);
    }
}

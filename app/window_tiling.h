#pragma once

#include <string>
#include <vector>

#include <opencv2/core.hpp>

#include "app/window_layer.h"

// Where a tiled window goes: its frame's top-left corner and the size of its image.
struct Tile {
    cv::Point origin;
    cv::Size image;
};

// `count` windows in a grid over `area`, each image as large as the grid allows at the frame's
// aspect, with room for the title bar and the border the desktop draws around it; the number
// of columns is the one that gives the largest images.
std::vector<Tile> tileWindows(cv::Rect area, cv::Size frame, int count);

// Moves and sizes the windows into a grid over the monitor among `monitors` that holds the
// first window (the first monitor when none does).
void placeTiled(WindowLayer& windows, const std::vector<std::string>& titles, cv::Size frame,
                const std::vector<cv::Rect>& monitors);

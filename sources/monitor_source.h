#pragma once

#include <memory>

#include "sources/frame_source.h"

// Makes the source for a monitor answer: the wallpaper with one monitor, the last monitor live
// with two or more. Prints the status line, or an error line and returns null.
std::unique_ptr<FrameSource> createMonitorSource();

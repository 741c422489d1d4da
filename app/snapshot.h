#pragma once

#include <ctime>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include <opencv2/core.hpp>

// What the windows show of one frame, kept to be saved: each window's picture, the frame and its
// gray copy at full resolution, its full motion mask and its number in the run.
struct Snapshot {
    std::map<std::string, cv::Mat> shown;  // by window title
    cv::Mat frame;
    cv::Mat gray;
    cv::Mat motion;
    int number = 0;
    std::string_view kind;  // camera, screen or wallpaper

    // Deep copies, which outlive the frame they show.
    Snapshot copy() const;
};

// Where snapshots go without --snapshots: the user's pictures folder + Velmora.
std::filesystem::path defaultSnapshotFolder();

// A new folder velmora-YYYYMMDD-HHMMSS under `base` (made when missing) for the local time `at`,
// with -2, -3, ... where that exists already; empty, with `reason` set, when none can be made.
std::filesystem::path makeSnapshotFolder(const std::filesystem::path& base, const std::tm& at,
                                         std::string& reason);

// The seven pictures under their window files, frame.png and numbers.csv (the header of
// velmora-render --stats and this frame's row) into a new folder under `base`, every file whole
// or not at all. "snapshot: PATH" on standard output, or "error: cannot write snapshot PATH:
// REASON" on standard error; false then.
bool saveSnapshot(const Snapshot& snapshot, const std::filesystem::path& base, const std::tm& at);

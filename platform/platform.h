#pragma once
// The operating-system layer. Everything above it is portable; this header names no OS type
// and no OpenCV type, so every layer can include it.

#include <filesystem>

namespace platform {

// Prepares the process before any window or monitor exists: the UTF-8 console and the
// per-monitor DPI awareness on Windows; nothing is needed on Linux.
void prepareProcess();

// Gives the top-level window with this title a resizable frame with caption and maximise
// button. Windows only; the desktop's own window manager does this on Linux.
void fixWindowFrame(const char* title);

// The flags the image windows are created with (an OpenCV cv::WindowFlags value): resizable
// windows that scale the image to their size, and on Linux without the toolbar and status bar
// that Qt would add, so that a window sized to its image shows it unscaled, as on Windows.
int windowFlags();

// The video-capture back end that opens cameras on this OS (an OpenCV cv::CAP_* value).
int cameraBackend();

// The four-character code (as cv::VideoWriter::fourcc makes it) to ask camera `index` for so
// that it delivers `width` x `height` at a usable rate, or 0 to leave the format to the camera.
// On Linux MJPG where the camera offers that size only compressed (uncompressed 1080p over USB 2
// gives a few frames a second); Windows' capture picks the format itself.
int cameraFormatFor(int index, int width, int height);

// The user's pictures folder: XDG_PICTURES_DIR of the user-dirs file on Linux
// ($XDG_CONFIG_HOME/user-dirs.dirs, ~/.config without it), else ~/Pictures; the Pictures known
// folder on Windows. Empty where even the home folder is unknown.
std::filesystem::path picturesFolder();

}  // namespace platform

#include "render/window_images.h"

#include "app/png_files.h"
#include "app/window_titles.h"

std::filesystem::path writeWindowImages(const WindowRecorder& recorder,
                                        const std::filesystem::path& dir) {
    // A window that was never shown has no file.
    const PngFiles files = windowPictureFiles(recorder.images(), dir);
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    return writePngFiles(files);
}

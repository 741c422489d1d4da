#include "render/window_images.h"

#include "app/png_files.h"
#include "app/window_titles.h"

std::filesystem::path writeWindowImages(const WindowRecorder& recorder,
                                        const std::filesystem::path& dir) {
    // A window that was never shown has no file.
    PngFiles files;
    for (std::size_t i = 0; i < kWindowTitles.size(); ++i) {
        const auto shown = recorder.images().find(kWindowTitles[i]);
        if (shown != recorder.images().end()) {
            files.emplace_back(dir / kWindowFileNames[i], shown->second);
        }
    }
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    return writePngFiles(files);
}

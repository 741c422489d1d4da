#include "tools/render_input.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <system_error>

#include <opencv2/videoio/registry.hpp>

#include "sources/file_bytes.h"
#include "sources/image_file.h"

namespace {

bool hasImageExtension(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    constexpr std::array<std::string_view, 5> kImageExtensions = {".png", ".jpg", ".jpeg", ".webp",
                                                                  ".bmp"};
    return std::find(kImageExtensions.begin(), kImageExtensions.end(), extension) !=
           kImageExtensions.end();
}

// The library's own choice of reader tries every back end in turn, some of which print to
// standard error while they fail; its FFmpeg reader is taken where it has one.
int videoFileApi() {
    return cv::videoio_registry::hasBackend(cv::CAP_FFMPEG) ? cv::CAP_FFMPEG : cv::CAP_ANY;
}

}  // namespace

std::string_view RenderInput::open() {
    const std::filesystem::path path(name_);
    std::error_code ec;
    // A name with a printf-style number in it that names no file is a sequence's pattern.
    if (name_.find('%') != std::string::npos && !std::filesystem::exists(path, ec)) {
        return openVideo(cv::CAP_IMAGES);
    }
    if (const std::string_view refusal = fileRefusal(path); !refusal.empty()) {
        return refusal;
    }
    if (hasImageExtension(path)) {
        // Decoded here only to know that it reads, and again when its turn comes: a long list
        // of image files is never held in memory at once.
        isImage_ = true;
        return readImageFile(path).refusal;
    }
    return openVideo(videoFileApi());
}

std::string_view RenderInput::openVideo(int api) {
    if (!video_.open(name_, api)) {
        return api == cv::CAP_IMAGES ? "no frames" : "not a video or image sequence";
    }
    return video_.read(pending_) ? std::string_view() : "no frames";
}

bool RenderInput::read(cv::Mat& frame) {
    if (isImage_) {
        if (imageDone_) {
            return false;
        }
        imageDone_ = true;
        ImageRead image = readImageFile(name_);
        refusal_ = image.refusal;
        frame = image.image;
        return refusal_.empty();
    }
    if (!pending_.empty()) {
        frame = pending_;
        pending_.release();
        return true;
    }
    return video_.read(frame);
}

int RenderInput::declaredFrames() const {
    if (isImage_) {
        return 1;
    }
    // Streams without an index report nothing or nonsense.
    const double count = video_.get(cv::CAP_PROP_FRAME_COUNT);
    return count >= 1.0 && count <= 1e9 ? static_cast<int>(count) : 0;
}

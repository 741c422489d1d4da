#include "render/render_input.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <system_error>

#include <opencv2/imgproc.hpp>
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

cv::Mat highBytes(const cv::Mat& frame16) {
    cv::Mat out(frame16.size(), CV_MAKETYPE(CV_8U, frame16.channels()));
    const int values = frame16.cols * frame16.channels();
    for (int y = 0; y < frame16.rows; ++y) {
        const auto* in = frame16.ptr<std::uint16_t>(y);
        auto* high = out.ptr<uchar>(y);
        for (int x = 0; x < values; ++x) {
            high[x] = static_cast<uchar>(in[x] >> 8);
        }
    }
    return out;
}

}  // namespace

cv::Mat asBgr8(const cv::Mat& frame) {
    cv::Mat levels = frame;
    if (frame.depth() == CV_16U) {
        levels = highBytes(frame);
    } else if (frame.depth() != CV_8U) {
        frame.convertTo(levels, CV_8U);
    }
    cv::Mat bgr;
    switch (levels.channels()) {
        case 3:
            return levels;
        case 4:
            cv::cvtColor(levels, bgr, cv::COLOR_BGRA2BGR);
            return bgr;
        default:  // gray, with or without alpha
            cv::extractChannel(levels, bgr, 0);
            cv::cvtColor(bgr, bgr, cv::COLOR_GRAY2BGR);
            return bgr;
    }
}

std::string_view RenderInput::open() {
    const std::filesystem::path path(name_);
    std::error_code ec;
    // A name with a printf-style number in it that names no file is a sequence's pattern.
    if (name_.find('%') != std::string::npos && !std::filesystem::exists(path, ec)) {
        const std::optional<SequencePattern> pattern = parseSequencePattern(name_);
        if (!pattern) {
            return "no such file";
        }
        kind_ = Kind::Sequence;
        members_ = sequenceMembers(*pattern);
        if (members_.empty()) {
            return "no frames";
        }
        return readImage(members_.front(), pending_) ? std::string_view() : refusal_;
    }
    if (const std::string_view refusal = fileRefusal(path); !refusal.empty()) {
        return refusal;
    }
    if (hasImageExtension(path)) {
        // Decoded here only to know that it reads, and again when its turn comes: a long list
        // of image files is never held in memory at once.
        kind_ = Kind::Image;
        return readImageFile(path).refusal;
    }
    return openVideo();
}

std::string_view RenderInput::openVideo() {
    if (!video_.open(name_, videoFileApi())) {
        return "not a video or image sequence";
    }
    if (!video_.read(pending_)) {
        return "no frames";
    }
    pendingTime_ = videoTime();
    return {};
}

bool RenderInput::readImage(const std::filesystem::path& path, cv::Mat& frame) {
    ImageRead image = readImageFile(path);
    if (!image.refusal.empty()) {
        refusal_ = image.refusal;
        refusedFile_ = path.string();
        return false;
    }
    frame = image.image;
    return true;
}

bool RenderInput::read(cv::Mat& frame, std::optional<double>& seconds) {
    seconds.reset();
    if (kind_ == Kind::Image) {
        return next_++ == 0 && readImage(name_, frame);
    }
    if (!pending_.empty()) {
        frame = asBgr8(pending_);
        pending_.release();
        seconds = pendingTime_;
        ++next_;
        return true;
    }
    if (kind_ == Kind::Sequence) {
        return next_ < members_.size() && readImage(members_[next_++], frame);
    }
    if (!video_.read(frame)) {
        return false;
    }
    frame = asBgr8(frame);
    seconds = videoTime();
    return true;
}

std::optional<double> RenderInput::videoTime() {
    const double reported = video_.get(cv::CAP_PROP_POS_MSEC) / 1000.0;
    if (!lastTime_ || reported > *lastTime_) {
        lastTime_ = reported;
        return lastTime_;
    }
    // The decoder reports no time (0) for the frames it hands out only once the file has ended
    // (the last few of many H.264 files); they follow at the stream's frame rate.
    const double fps = video_.get(cv::CAP_PROP_FPS);
    if (fps > 0.0 && std::isfinite(fps)) {
        lastTime_ = *lastTime_ + 1.0 / fps;
    } else {
        lastTime_.reset();
    }
    return lastTime_;
}

int RenderInput::declaredFrames() const {
    switch (kind_) {
        case Kind::Image:
            return 1;
        case Kind::Sequence:
            return static_cast<int>(members_.size());
        case Kind::Video:
            break;
    }
    // Streams without an index report nothing or nonsense.
    const double count = video_.get(cv::CAP_PROP_FRAME_COUNT);
    return count >= 1.0 && count <= 1e9 ? static_cast<int>(count) : 0;
}

std::vector<std::filesystem::path> RenderInput::files() const {
    return kind_ == Kind::Sequence ? members_ : std::vector<std::filesystem::path>{name_};
}

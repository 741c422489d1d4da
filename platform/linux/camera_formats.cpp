#include "platform/linux/camera_formats.h"

#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "platform/linux/unique_fd.h"
#include "platform/platform.h"

namespace platform {
namespace {

bool offers(const CameraFormat& format, std::uint32_t width, std::uint32_t height) {
    const auto within = [](std::uint32_t value, std::uint32_t low, std::uint32_t high,
                           std::uint32_t step) {
        return value >= low && value <= high && (value - low) % step == 0;
    };
    if (format.step.width != 0 && format.step.height != 0) {
        return within(width, format.minimum.width, format.maximum.width, format.step.width) &&
               within(height, format.minimum.height, format.maximum.height, format.step.height);
    }
    return std::any_of(format.sizes.begin(), format.sizes.end(), [&](const CameraFormat::Size& s) {
        return s.width == width && s.height == height;
    });
}

// The ioctl, again when a signal interrupted it.
int ask(int fd, unsigned long request, void* argument) {
    int result = 0;
    do {
        result = ioctl(fd, request, argument);
    } while (result < 0 && errno == EINTR);
    return result;
}

void addSizes(int fd, CameraFormat& format) {
    v4l2_frmsizeenum size{};
    size.pixel_format = format.fourcc;
    for (size.index = 0; ask(fd, VIDIOC_ENUM_FRAMESIZES, &size) == 0; ++size.index) {
        if (size.type == V4L2_FRMSIZE_TYPE_DISCRETE) {
            format.sizes.push_back({size.discrete.width, size.discrete.height});
            continue;
        }
        const v4l2_frmsize_stepwise& range = size.stepwise;
        format.minimum = {range.min_width, range.min_height};
        format.maximum = {range.max_width, range.max_height};
        format.step = {std::max(range.step_width, 1u), std::max(range.step_height, 1u)};
        break;  // a range comes alone
    }
}

}  // namespace

std::uint32_t chooseCameraFormat(const std::vector<CameraFormat>& formats, std::uint32_t width,
                                 std::uint32_t height) {
    const auto offered = [&](bool compressed, std::uint32_t fourcc) {
        return std::any_of(formats.begin(), formats.end(), [&](const CameraFormat& format) {
            return format.compressed == compressed && (fourcc == 0 || format.fourcc == fourcc) &&
                   offers(format, width, height);
        });
    };
    return !offered(false, 0) && offered(true, V4L2_PIX_FMT_MJPEG) ? V4L2_PIX_FMT_MJPEG : 0;
}

std::vector<CameraFormat> listCameraFormats(int index) {
    const std::string path = "/dev/video" + std::to_string(index);
    const UniqueFd device(open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
    std::vector<CameraFormat> formats;
    if (!device) {
        return formats;
    }
    v4l2_fmtdesc description{};
    description.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    for (description.index = 0; ask(device.get(), VIDIOC_ENUM_FMT, &description) == 0;
         ++description.index) {
        CameraFormat format;
        format.fourcc = description.pixelformat;
        format.compressed = (description.flags & V4L2_FMT_FLAG_COMPRESSED) != 0;
        addSizes(device.get(), format);
        formats.push_back(std::move(format));
    }
    return formats;
}

int cameraFormatFor(int index, int width, int height) {
    if (width <= 0 || height <= 0) {
        return 0;
    }
    return static_cast<int>(chooseCameraFormat(listCameraFormats(index),
                                               static_cast<std::uint32_t>(width),
                                               static_cast<std::uint32_t>(height)));
}

}  // namespace platform

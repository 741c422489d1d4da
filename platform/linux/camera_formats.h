#pragma once

#include <cstdint>
#include <vector>

namespace platform {

// One pixel format of a camera and the frame sizes it offers in it.
struct CameraFormat {
    std::uint32_t fourcc = 0;
    bool compressed = false;
    struct Size {
        std::uint32_t width;
        std::uint32_t height;
    };
    std::vector<Size> sizes;  // discrete sizes; a stepwise range is listed by its corners
    Size minimum{0, 0}, maximum{0, 0}, step{0, 0};  // a stepwise range, when step is not 0
};

// MJPG's code where the size is offered compressed as MJPG but in no uncompressed format,
// else 0.
std::uint32_t chooseCameraFormat(const std::vector<CameraFormat>& formats, std::uint32_t width,
                                 std::uint32_t height);

// The formats of /dev/video<index> as the driver lists them; empty when it cannot be asked.
std::vector<CameraFormat> listCameraFormats(int index);

}  // namespace platform

#pragma once
// The screen grabber of the graphics device interface, written against the GDI calls it makes
// so that its acquire and release sequence can be exercised without Windows. No OS header.

#include <cstdint>

#include "platform/monitors.h"

namespace platform {

// Device contexts and bitmaps appear as opaque handles: null means "not acquired".
using GdiHandle = void*;

class GdiCalls {
  public:
    virtual ~GdiCalls() = default;
    virtual GdiHandle getScreenDC() = 0;  // the whole screen's device context
    virtual GdiHandle createCompatibleDC(GdiHandle dc) = 0;
    // A top-down 32-bit DIB section of width x height; its pixel memory goes to `bits`.
    virtual GdiHandle createDibSection(GdiHandle dc, std::int32_t width, std::int32_t height,
                                       void** bits) = 0;
    virtual GdiHandle selectObject(GdiHandle dc, GdiHandle object) = 0;
    // Copies width x height pixels from `source` at (x, y), layered windows included.
    virtual bool bitBlt(GdiHandle target, std::int32_t width, std::int32_t height, GdiHandle source,
                        std::int32_t x, std::int32_t y) = 0;
    virtual void deleteObject(GdiHandle object) = 0;
    virtual void deleteDC(GdiHandle dc) = 0;
    virtual void releaseDC(GdiHandle dc) = 0;
};

// Makes the memory context and the DIB section that every grab of `rect` copies into. When the
// DIB section cannot be made, what was acquired is released and NoBitmap is reported.
GrabberResult openGdiGrabber(GdiCalls& gdi, const MonitorRect& rect);

}  // namespace platform

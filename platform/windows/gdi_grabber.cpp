#include "platform/windows/gdi_grabber.h"

#include "platform/owner.h"

namespace platform {
namespace {

using ScreenDcOwner = Owner<void, &GdiCalls::releaseDC, GdiCalls*>;
using MemoryDcOwner = Owner<void, &GdiCalls::deleteDC, GdiCalls*>;
using GdiObjectOwner = Owner<void, &GdiCalls::deleteObject, GdiCalls*>;
// The object that a selection displaced, selected back into the device context it came from.
using DisplacedObjectOwner = Owner<void, &GdiCalls::selectObject, GdiCalls*, GdiHandle>;

class GdiGrabber final : public ScreenGrabber {
  public:
    GdiGrabber(GdiCalls& gdi, const MonitorRect& rect)
        : gdi_(gdi),
          rect_(rect),
          width_(rect.right - rect.left),
          height_(rect.bottom - rect.top),
          screenDC_(nullptr, &gdi),
          memoryDC_(nullptr, &gdi),
          dibSection_(nullptr, &gdi) {}

    GdiGrabber(const GdiGrabber&) = delete;
    GdiGrabber& operator=(const GdiGrabber&) = delete;

    // Neither context is tested on its own: a missing one makes the DIB section or a grab fail.
    bool acquire() {
        screenDC_.reset(gdi_.getScreenDC());
        memoryDC_.reset(gdi_.createCompatibleDC(screenDC_.get()));
        dibSection_.reset(gdi_.createDibSection(screenDC_.get(), width_, height_, &dibBits_));
        if (!dibSection_ || dibBits_ == nullptr) {
            return false;
        }
        const GdiHandle previous = gdi_.selectObject(memoryDC_.get(), dibSection_.get());
        if (memoryDC_ && previous != nullptr) {
            previousBitmap_ = DisplacedObjectOwner(previous, {&gdi_, memoryDC_.get()});
        }
        return true;
    }

    // Negative origins (monitors left of or above the primary one) are used as they are.
    bool grab() override {
        return gdi_.bitBlt(memoryDC_.get(), width_, height_, screenDC_.get(), rect_.left,
                           rect_.top);
    }
    const unsigned char* rows() const override {
        return static_cast<const unsigned char*>(dibBits_);
    }
    std::size_t rowStride() const override { return static_cast<std::size_t>(width_) * 4; }
    std::int32_t width() const override { return width_; }
    std::int32_t height() const override { return height_; }

  private:
    GdiCalls& gdi_;
    MonitorRect rect_;
    std::int32_t width_;
    std::int32_t height_;
    // Released in the reverse order: the displaced object goes back before the bitmap is
    // deleted, the memory context before the screen's; only what was acquired is released.
    ScreenDcOwner screenDC_;
    MemoryDcOwner memoryDC_;
    GdiObjectOwner dibSection_;
    DisplacedObjectOwner previousBitmap_;
    void* dibBits_ = nullptr;
};

}  // namespace

GrabberResult openGdiGrabber(GdiCalls& gdi, const MonitorRect& rect) {
    auto grabber = std::make_unique<GdiGrabber>(gdi, rect);
    if (!grabber->acquire()) {
        return {nullptr, GrabberFailure::NoBitmap, "CreateDIBSection failed"};
    }
    return {std::move(grabber), GrabberFailure::NoFailure, {}};
}

}  // namespace platform

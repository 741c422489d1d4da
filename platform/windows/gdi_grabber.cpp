#include "platform/windows/gdi_grabber.h"

namespace platform {
namespace {

class GdiGrabber final : public ScreenGrabber {
  public:
    GdiGrabber(GdiCalls& gdi, const MonitorRect& rect)
        : gdi_(gdi), rect_(rect), width_(rect.right - rect.left), height_(rect.bottom - rect.top) {}

    // The displaced object goes back before the bitmap is deleted, the memory context before
    // the screen's; only what was acquired is released.
    ~GdiGrabber() override {
        if (memoryDC_ != nullptr && previousBitmap_ != nullptr) {
            gdi_.selectObject(memoryDC_, previousBitmap_);
        }
        if (dibSection_ != nullptr) {
            gdi_.deleteObject(dibSection_);
        }
        if (memoryDC_ != nullptr) {
            gdi_.deleteDC(memoryDC_);
        }
        if (screenDC_ != nullptr) {
            gdi_.releaseDC(screenDC_);
        }
    }

    GdiGrabber(const GdiGrabber&) = delete;
    GdiGrabber& operator=(const GdiGrabber&) = delete;

    // Neither context is tested on its own: a missing one makes the DIB section or a grab fail.
    bool acquire() {
        screenDC_ = gdi_.getScreenDC();
        memoryDC_ = gdi_.createCompatibleDC(screenDC_);
        dibSection_ = gdi_.createDibSection(screenDC_, width_, height_, &dibBits_);
        if (dibSection_ == nullptr || dibBits_ == nullptr) {
            return false;
        }
        previousBitmap_ = gdi_.selectObject(memoryDC_, dibSection_);
        return true;
    }

    // Negative origins (monitors left of or above the primary one) are used as they are.
    bool grab() override {
        return gdi_.bitBlt(memoryDC_, width_, height_, screenDC_, rect_.left, rect_.top);
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
    GdiHandle screenDC_ = nullptr;
    GdiHandle memoryDC_ = nullptr;
    GdiHandle dibSection_ = nullptr;
    GdiHandle previousBitmap_ = nullptr;
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

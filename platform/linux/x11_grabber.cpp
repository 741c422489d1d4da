#include "platform/linux/x11_grabber.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdio>

#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include "platform/linux/x11_display.h"

namespace platform {
namespace {

// Collects the X errors of the requests made while it lives instead of letting Xlib's default
// handler end the process. The grabber's connection is its own and every earlier request has
// been answered, so no older error can land here. One thread, so a static flag is enough.
class ErrorTrap {
  public:
    explicit ErrorTrap(Display* display) : display_(display) {
        caught_ = false;
        previous_ = XSetErrorHandler(onError);
    }
    ~ErrorTrap() { XSetErrorHandler(previous_); }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    // For requests with a reply: their error has arrived by the time the call returns.
    bool caught() const { return caught_; }
    // For requests without one: waits until the server has handled them.
    bool failedAfterSync() {
        XSync(display_, False);
        return caught_;
    }

  private:
    static int onError(Display*, XErrorEvent*) {
        caught_ = true;
        return 0;
    }
    static inline bool caught_ = false;
    Display* display_;
    XErrorHandler previous_;
};

int keepRunning(Display*) {
    return 0;
}

// The pixels are handed out as B, G, R, unused bytes; anything else would need a conversion.
std::string unsupportedFormat(const XImage& image) {
    const bool bgra = image.bits_per_pixel == 32 && image.byte_order == LSBFirst &&
                      image.red_mask == 0xFF0000 && image.green_mask == 0xFF00 &&
                      image.blue_mask == 0xFF && (image.depth == 24 || image.depth == 32);
    if (bgra) {
        return {};
    }
    char text[160];
    std::snprintf(text, sizeof text,
                  "depth %d, %d bits per pixel, %s byte first, masks %lx %lx %lx", image.depth,
                  image.bits_per_pixel, image.byte_order == LSBFirst ? "least" : "most",
                  image.red_mask, image.green_mask, image.blue_mask);
    return text;
}

class X11Grabber final : public ScreenGrabber {
  public:
    explicit X11Grabber(const MonitorRect& rect)
        : rect_(rect),
          width_(static_cast<unsigned>(rect.right - rect.left)),
          height_(static_cast<unsigned>(rect.bottom - rect.top)),
          display_(openDisplay()) {
        if (display_) {
            previousIoHandler_ = XSetIOErrorHandler(keepRunning);
            XSetIOErrorExitHandler(display_.get(), onConnectionLost, this);
        }
    }

    ~X11Grabber() override {
        if (attached_ && !lost_) {
            XShmDetach(display_.get(), &segment_);
            XSync(display_.get(), False);
        }
        if (image_ && segment_.shmaddr != nullptr) {
            image_->data = nullptr;  // the segment is not Xlib's to free
        }
        if (image_) {
            XDestroyImage(image_);
        }
        if (segment_.shmaddr != nullptr) {
            shmdt(segment_.shmaddr);
        }
        display_.reset();
        if (previousIoHandler_ != nullptr) {
            XSetIOErrorHandler(previousIoHandler_);
        }
    }

    X11Grabber(const X11Grabber&) = delete;
    X11Grabber& operator=(const X11Grabber&) = delete;

    bool connected() const { return display_ != nullptr; }
    bool shared() const { return attached_; }

    // The format the server would deliver, from an image header without pixels.
    std::string checkFormat() {
        const int screen = DefaultScreen(display_.get());
        XImage* probe = XCreateImage(display_.get(), DefaultVisual(display_.get(), screen),
                                     DefaultDepth(display_.get(), screen), ZPixmap, 0, nullptr,
                                     width_, height_, 32, 0);
        if (probe == nullptr) {
            return "no image format for the default visual";
        }
        std::string problem = unsupportedFormat(*probe);
        XDestroyImage(probe);
        return problem;
    }

    bool attachSharedMemory();

    bool grab() override {
        if (lost_) {
            return false;
        }
        ErrorTrap trap(display_.get());
        const Window root = DefaultRootWindow(display_.get());
        if (attached_) {
            const Bool ok =
                XShmGetImage(display_.get(), root, image_, rect_.left, rect_.top, AllPlanes);
            return ok && !trap.caught() && !lost_;
        }
        XImage* fresh = XGetImage(display_.get(), root, rect_.left, rect_.top, width_, height_,
                                  AllPlanes, ZPixmap);
        if (trap.caught() || lost_ || fresh == nullptr) {
            if (fresh != nullptr) {
                XDestroyImage(fresh);
            }
            return false;
        }
        if (image_) {
            XDestroyImage(image_);
        }
        image_ = fresh;
        return unsupportedFormat(*image_).empty();
    }

    const unsigned char* rows() const override {
        return image_ ? reinterpret_cast<const unsigned char*>(image_->data) : nullptr;
    }
    std::size_t rowStride() const override {
        return image_ ? static_cast<std::size_t>(image_->bytes_per_line) : 0;
    }

  private:
    static void onConnectionLost(Display*, void* self) {
        static_cast<X11Grabber*>(self)->lost_ = true;
    }

    MonitorRect rect_;
    unsigned width_;
    unsigned height_;
    DisplayConnection display_;
    XIOErrorHandler previousIoHandler_ = nullptr;
    XImage* image_ = nullptr;
    XShmSegmentInfo segment_{0, -1, nullptr, False};
    bool attached_ = false;
    bool lost_ = false;
};

// One segment for the grabber's life. It is marked for removal as soon as the server has
// attached it, so it vanishes with the last user even if the process dies.
bool X11Grabber::attachSharedMemory() {
    Display* display = display_.get();
    if (!XShmQueryExtension(display)) {
        return false;
    }
    const int screen = DefaultScreen(display);
    image_ = XShmCreateImage(display, DefaultVisual(display, screen), DefaultDepth(display, screen),
                             ZPixmap, nullptr, &segment_, width_, height_);
    if (image_ == nullptr) {
        return false;
    }
    const std::size_t bytes = static_cast<std::size_t>(image_->bytes_per_line) * height_;
    segment_.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (segment_.shmid >= 0) {
        void* address = shmat(segment_.shmid, nullptr, 0);
        if (address != reinterpret_cast<void*>(-1)) {
            segment_.shmaddr = static_cast<char*>(address);
            image_->data = segment_.shmaddr;
            segment_.readOnly = False;
            ErrorTrap trap(display);
            attached_ = XShmAttach(display, &segment_) && !trap.failedAfterSync();
        }
        shmctl(segment_.shmid, IPC_RMID, nullptr);
    }
    if (attached_) {
        return true;
    }
    image_->data = nullptr;
    XDestroyImage(image_);
    image_ = nullptr;
    if (segment_.shmaddr != nullptr) {
        shmdt(segment_.shmaddr);
        segment_.shmaddr = nullptr;
    }
    return false;
}

}  // namespace

GrabberResult openX11Grabber(const MonitorRect& rect, X11Transfer transfer) {
    if (rect.right <= rect.left || rect.bottom <= rect.top) {
        return {nullptr, GrabberFailure::NoBitmap, {}};
    }
    auto grabber = std::make_unique<X11Grabber>(rect);
    if (!grabber->connected()) {
        return {nullptr, GrabberFailure::NoBitmap, {}};
    }
    std::string problem = grabber->checkFormat();
    if (!problem.empty()) {
        return {nullptr, GrabberFailure::UnsupportedFormat, std::move(problem)};
    }
    if (transfer == X11Transfer::SharedMemory) {
        grabber->attachSharedMemory();
    }
    return {std::move(grabber), GrabberFailure::NoFailure, {}};
}

bool usesSharedMemory(const ScreenGrabber& grabber) {
    const auto* x11 = dynamic_cast<const X11Grabber*>(&grabber);
    return x11 != nullptr && x11->shared();
}

}  // namespace platform

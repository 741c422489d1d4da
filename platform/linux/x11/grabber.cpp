#include "platform/linux/x11/grabber.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdio>
#include <memory>

#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include "platform/linux/x11/display.h"

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

// Lets Xlib return from a broken connection instead of ending the process; the previous
// handler comes back when this goes, after the connection it served is closed.
class IoErrorHandlerScope {
  public:
    IoErrorHandlerScope() : previous_(XSetIOErrorHandler(keepRunning)) {}
    ~IoErrorHandlerScope() { XSetIOErrorHandler(previous_); }
    IoErrorHandlerScope(const IoErrorHandlerScope&) = delete;
    IoErrorHandlerScope& operator=(const IoErrorHandlerScope&) = delete;

  private:
    XIOErrorHandler previous_;
};

// XDestroyImage is a macro over the image's own function table.
void destroyImage(XImage* image) {
    XDestroyImage(image);
}
using XImageOwner = Owner<XImage, destroyImage>;

// An image over shared memory: the pixels belong to the segment, not to Xlib.
void destroySharedImage(XImage* image) {
    image->data = nullptr;
    XDestroyImage(image);
}
using SharedXImageOwner = Owner<XImage, destroySharedImage>;

// A System V shared-memory segment mapped into this process. It is unmapped when this goes,
// and removed from the system then at the latest.
class SharedSegment {
  public:
    SharedSegment() = default;
    ~SharedSegment() {
        if (info.shmaddr != nullptr) {
            shmdt(info.shmaddr);
        }
        markForRemoval();
    }
    SharedSegment(const SharedSegment&) = delete;
    SharedSegment& operator=(const SharedSegment&) = delete;

    bool create(std::size_t bytes) {
        info.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
        if (info.shmid < 0) {
            return false;
        }
        void* address = shmat(info.shmid, nullptr, 0);
        if (address == reinterpret_cast<void*>(-1)) {
            return false;
        }
        info.shmaddr = static_cast<char*>(address);
        return true;
    }
    // The segment then vanishes with its last user, even if the process dies.
    void markForRemoval() {
        if (info.shmid >= 0 && !removed_) {
            shmctl(info.shmid, IPC_RMID, nullptr);
            removed_ = true;
        }
    }

    XShmSegmentInfo info{0, -1, nullptr, False};  // Xlib keeps its address in the image

  private:
    bool removed_ = false;
};

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
            XSetIOErrorExitHandler(display_.get(), onConnectionLost, this);
        }
    }

    // The server lets go of the segment before it is unmapped; a lost server holds nothing.
    ~X11Grabber() override {
        if (sharedImage_ && !lost_) {
            XShmDetach(display_.get(), &segment_->info);
            XSync(display_.get(), False);
        }
    }

    X11Grabber(const X11Grabber&) = delete;
    X11Grabber& operator=(const X11Grabber&) = delete;

    bool connected() const { return display_ != nullptr; }

    // The format the server would deliver, from an image header without pixels.
    std::string checkFormat() {
        const int screen = DefaultScreen(display_.get());
        const XImageOwner probe(XCreateImage(display_.get(), DefaultVisual(display_.get(), screen),
                                             DefaultDepth(display_.get(), screen), ZPixmap, 0,
                                             nullptr, width_, height_, 32, 0));
        return probe ? unsupportedFormat(*probe) : "no image format for the default visual";
    }

    bool attachSharedMemory();

    bool grab() override {
        if (lost_) {
            return false;
        }
        ErrorTrap trap(display_.get());
        const Window root = DefaultRootWindow(display_.get());
        if (sharedImage_) {
            const Bool ok = XShmGetImage(display_.get(), root, sharedImage_.get(), rect_.left,
                                         rect_.top, AllPlanes);
            return ok && !trap.caught() && !lost_;
        }
        XImageOwner fresh(XGetImage(display_.get(), root, rect_.left, rect_.top, width_, height_,
                                    AllPlanes, ZPixmap));
        if (trap.caught() || lost_ || !fresh || !unsupportedFormat(*fresh).empty()) {
            return false;
        }
        plainImage_ = std::move(fresh);
        return true;
    }

    const unsigned char* rows() const override {
        const XImage* image = sharedImage_ ? sharedImage_.get() : plainImage_.get();
        return image != nullptr ? reinterpret_cast<const unsigned char*>(image->data) : nullptr;
    }
    std::size_t rowStride() const override {
        const XImage* image = sharedImage_ ? sharedImage_.get() : plainImage_.get();
        return image != nullptr ? static_cast<std::size_t>(image->bytes_per_line) : 0;
    }
    std::int32_t width() const override { return static_cast<std::int32_t>(width_); }
    std::int32_t height() const override { return static_cast<std::int32_t>(height_); }

  private:
    static void onConnectionLost(Display*, void* self) {
        static_cast<X11Grabber*>(self)->lost_ = true;
    }

    // Released in the reverse order: images, segment, connection, then the I/O error handler.
    MonitorRect rect_;
    unsigned width_;
    unsigned height_;
    IoErrorHandlerScope ioErrors_;
    XDisplayOwner display_;
    std::unique_ptr<SharedSegment> segment_;
    SharedXImageOwner sharedImage_;
    XImageOwner plainImage_;
    bool lost_ = false;
};

// One segment for the grabber's life, marked for removal as soon as the server has attached it.
bool X11Grabber::attachSharedMemory() {
    Display* display = display_.get();
    if (!XShmQueryExtension(display)) {
        return false;
    }
    const int screen = DefaultScreen(display);
    auto segment = std::make_unique<SharedSegment>();
    SharedXImageOwner image(XShmCreateImage(display, DefaultVisual(display, screen),
                                            DefaultDepth(display, screen), ZPixmap, nullptr,
                                            &segment->info, width_, height_));
    if (!image || !segment->create(static_cast<std::size_t>(image->bytes_per_line) * height_)) {
        return false;
    }
    image->data = segment->info.shmaddr;
    ErrorTrap trap(display);
    const bool attached = XShmAttach(display, &segment->info) && !trap.failedAfterSync();
    segment->markForRemoval();
    if (!attached) {
        return false;
    }
    segment_ = std::move(segment);
    sharedImage_ = std::move(image);
    return true;
}

}  // namespace

GrabberResult openX11Grabber(const MonitorRect& rect, X11Transfer transfer) {
    if (rect.right <= rect.left || rect.bottom <= rect.top) {
        return {nullptr, GrabberFailure::NoBitmap, "the monitor has no pixels"};
    }
    auto grabber = std::make_unique<X11Grabber>(rect);
    if (!grabber->connected()) {
        return {nullptr, GrabberFailure::NoBitmap,
                std::string("cannot connect to X display ") + XDisplayName(nullptr)};
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

}  // namespace platform

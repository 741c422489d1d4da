#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/windows/gdi_grabber.h"

namespace {

using platform::GdiHandle;

// Hands out numbered handles, logs every call and counts what is still held.
class RecordingGdi final : public platform::GdiCalls {
  public:
    bool screenFails = false;
    bool memoryFails = false;
    bool bitmapFails = false;
    bool bitsFail = false;
    bool bitBltFails = false;

    std::vector<std::string> calls;
    std::map<std::string, int> held;  // handle name -> acquisitions minus releases
    std::vector<unsigned char> pixels = std::vector<unsigned char>(64);

    GdiHandle getScreenDC() override { return acquire("screen", screenFails); }
    GdiHandle createCompatibleDC(GdiHandle dc) override {
        calls.push_back("compatible " + name(dc));
        return acquire("memory", memoryFails);
    }
    GdiHandle createDibSection(GdiHandle dc, std::int32_t width, std::int32_t height,
                               void** bits) override {
        calls.push_back("dib " + name(dc) + " " + std::to_string(width) + "x" +
                        std::to_string(height));
        *bits = bitsFail ? nullptr : pixels.data();
        return acquire("dib", bitmapFails);
    }
    GdiHandle selectObject(GdiHandle dc, GdiHandle object) override {
        calls.push_back("select " + name(dc) + " " + name(object));
        return handle("previous");
    }
    bool bitBlt(GdiHandle target, std::int32_t width, std::int32_t height, GdiHandle source,
                std::int32_t x, std::int32_t y) override {
        calls.push_back("blt " + name(target) + " " + std::to_string(width) + "x" +
                        std::to_string(height) + " " + name(source) + " " + std::to_string(x) +
                        "," + std::to_string(y));
        return !bitBltFails;
    }
    void deleteObject(GdiHandle object) override { release("delete", object); }
    void deleteDC(GdiHandle dc) override { release("deletedc", dc); }
    void releaseDC(GdiHandle dc) override { release("releasedc", dc); }

  private:
    GdiHandle handle(const std::string& n) {
        static const std::vector<std::string> names = {"screen", "memory", "dib", "previous"};
        const auto it = std::find(names.begin(), names.end(), n);
        return reinterpret_cast<GdiHandle>(0x1000 + (it - names.begin()) * 0x10);
    }
    std::string name(GdiHandle h) const {
        if (h == nullptr) {
            return "null";
        }
        static const char* names[] = {"screen", "memory", "dib", "previous"};
        return names[(reinterpret_cast<std::uintptr_t>(h) - 0x1000) / 0x10];
    }
    GdiHandle acquire(const std::string& n, bool fails) {
        if (n == "screen") {
            calls.push_back("getdc");
        }
        if (fails) {
            return nullptr;
        }
        ++held[n];
        return handle(n);
    }
    void release(const std::string& call, GdiHandle h) {
        calls.push_back(call + " " + name(h));
        --held[name(h)];
    }
};

void expectNothingHeld(const RecordingGdi& gdi) {
    for (const auto& [name, count] : gdi.held) {
        EXPECT_EQ(count, 0) << name;
    }
}

TEST(GdiGrabber, AcquiresInOrderAndReleasesInTheReverseWithTheOldBitmapPutBack) {
    RecordingGdi gdi;
    {
        platform::GrabberResult result = platform::openGdiGrabber(gdi, {1920, 0, 3200, 1024});
        ASSERT_NE(result.grabber, nullptr);
        EXPECT_EQ(result.failure, platform::GrabberFailure::NoFailure);
        EXPECT_EQ(gdi.calls,
                  (std::vector<std::string>{"getdc", "compatible screen", "dib screen 1280x1024",
                                            "select memory dib"}));
        EXPECT_EQ(result.grabber->rows(), gdi.pixels.data());
        EXPECT_EQ(result.grabber->rowStride(), 1280u * 4);
        gdi.calls.clear();
    }
    EXPECT_EQ(gdi.calls, (std::vector<std::string>{"select memory previous", "delete dib",
                                                   "deletedc memory", "releasedc screen"}));
    expectNothingHeld(gdi);
}

TEST(GdiGrabber, AFailedFactoryReleasesExactlyWhatItAcquired) {
    const struct {
        bool screenFails, memoryFails, bitmapFails, bitsFail;
        std::vector<std::string> released;
    } cases[] = {
        {false, false, true, false, {"deletedc memory", "releasedc screen"}},
        // A bitmap without pixel memory is still a bitmap to delete, but was never selected.
        {false, false, false, true, {"delete dib", "deletedc memory", "releasedc screen"}},
        {false, true, true, false, {"releasedc screen"}},
        {true, true, true, false, {}},
    };
    for (const auto& c : cases) {
        RecordingGdi gdi;
        gdi.screenFails = c.screenFails;
        gdi.memoryFails = c.memoryFails;
        gdi.bitmapFails = c.bitmapFails;
        gdi.bitsFail = c.bitsFail;
        const platform::GrabberResult result = platform::openGdiGrabber(gdi, {0, 0, 640, 480});
        EXPECT_EQ(result.grabber, nullptr);
        EXPECT_EQ(result.failure, platform::GrabberFailure::NoBitmap);
        const std::vector<std::string> tail(gdi.calls.begin() + 3, gdi.calls.end());
        EXPECT_EQ(tail, c.released);
        expectNothingHeld(gdi);
    }
}

TEST(GdiGrabber, GrabsCopyFromTheMonitorOriginNegativeOrNot) {
    RecordingGdi gdi;
    platform::GrabberResult result = platform::openGdiGrabber(gdi, {-1280, -200, 0, 824});
    ASSERT_NE(result.grabber, nullptr);
    gdi.calls.clear();
    EXPECT_TRUE(result.grabber->grab());
    gdi.bitBltFails = true;
    EXPECT_FALSE(result.grabber->grab());
    EXPECT_EQ(gdi.calls, (std::vector<std::string>{"blt memory 1280x1024 screen -1280,-200",
                                                   "blt memory 1280x1024 screen -1280,-200"}));
}

}  // namespace

#include <array>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/windows/gdi_grabber.h"

namespace {

using platform::GdiHandle;

// Hands out named handles, logs every call and counts what is still held.
class RecordingGdi final : public platform::GdiCalls {
  public:
    std::map<std::string, bool> fails;  // "screen", "memory", "dib", "bits", "blt"
    std::vector<std::string> calls;
    std::map<std::string, int> held;
    std::vector<unsigned char> pixels = std::vector<unsigned char>(64);

    GdiHandle getScreenDC() override {
        calls.push_back("getdc");
        return acquire("screen");
    }
    GdiHandle createCompatibleDC(GdiHandle dc) override {
        calls.push_back("compatible " + name(dc));
        return acquire("memory");
    }
    GdiHandle createDibSection(GdiHandle dc, std::int32_t w, std::int32_t h, void** bits) override {
        calls.push_back("dib " + name(dc) + " " + std::to_string(w) + "x" + std::to_string(h));
        *bits = fails["bits"] ? nullptr : pixels.data();
        return acquire("dib");
    }
    GdiHandle selectObject(GdiHandle dc, GdiHandle object) override {
        calls.push_back("select " + name(dc) + " " + name(object));
        return handle("previous");
    }
    bool bitBlt(GdiHandle target, std::int32_t w, std::int32_t h, GdiHandle source, std::int32_t x,
                std::int32_t y) override {
        calls.push_back("blt " + name(target) + " " + std::to_string(w) + "x" + std::to_string(h) +
                        " " + name(source) + " " + std::to_string(x) + "," + std::to_string(y));
        return !fails["blt"];
    }
    void deleteObject(GdiHandle object) override { release("delete", object); }
    void deleteDC(GdiHandle dc) override { release("deletedc", dc); }
    void releaseDC(GdiHandle dc) override { release("releasedc", dc); }

  private:
    static constexpr std::array<const char*, 4> kNames = {"screen", "memory", "dib", "previous"};
    std::array<char, 4> slots_{};

    GdiHandle handle(const std::string& n) {
        for (std::size_t i = 0; i < kNames.size(); ++i) {
            if (n == kNames[i]) {
                return &slots_[i];
            }
        }
        return nullptr;
    }
    std::string name(GdiHandle h) const {
        return h == nullptr ? "null" : kNames[static_cast<char*>(h) - slots_.data()];
    }
    GdiHandle acquire(const std::string& n) {
        if (fails[n]) {
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
        std::vector<std::string> failing;
        std::vector<std::string> released;
    } cases[] = {
        {{"dib"}, {"deletedc memory", "releasedc screen"}},
        // A bitmap without pixel memory is still a bitmap to delete, but was never selected.
        {{"bits"}, {"delete dib", "deletedc memory", "releasedc screen"}},
        {{"memory", "dib"}, {"releasedc screen"}},
        {{"screen", "memory", "dib"}, {}},
    };
    for (const auto& c : cases) {
        RecordingGdi gdi;
        for (const std::string& call : c.failing) {
            gdi.fails[call] = true;
        }
        const platform::GrabberResult result = platform::openGdiGrabber(gdi, {0, 0, 640, 480});
        EXPECT_EQ(result.grabber, nullptr);
        EXPECT_EQ(result.failure, platform::GrabberFailure::NoBitmap);
        EXPECT_EQ(std::vector<std::string>(gdi.calls.begin() + 3, gdi.calls.end()), c.released);
        expectNothingHeld(gdi);
    }
}

TEST(GdiGrabber, GrabsCopyFromTheMonitorOriginNegativeOrNot) {
    RecordingGdi gdi;
    platform::GrabberResult result = platform::openGdiGrabber(gdi, {-1280, -200, 0, 824});
    ASSERT_NE(result.grabber, nullptr);
    gdi.calls.clear();
    EXPECT_TRUE(result.grabber->grab());
    gdi.fails["blt"] = true;
    EXPECT_FALSE(result.grabber->grab());
    EXPECT_EQ(gdi.calls, (std::vector<std::string>(2, "blt memory 1280x1024 screen -1280,-200")));
}

}  // namespace

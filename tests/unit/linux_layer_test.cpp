// The Linux platform layer: the desktop wallpaper lookup, and the X11 monitors and grabbers on
// real X servers, which tests/e2e/monitor_test.sh starts and names in the environment (anywhere
// else that case skips itself).
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>
#include <tuple>

#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <linux/videodev2.h>

#include "platform/linux/camera_formats.h"
#include "platform/linux/desktop_wallpaper.h"
#include "platform/linux/glib_owners.h"
#include "platform/linux/session.h"
#include "platform/linux/wayland/monitors.h"
#include "platform/linux/x11/grabber.h"
#include "tests/support/temp_dir.h"

// After the test framework, whose names the X11 macros (None) would replace.
#include <X11/Xlib.h>

namespace {

namespace fs = std::filesystem;
using Files = std::vector<std::pair<std::string, std::string>>;

const char* const kXfce = "~/.config/xfce4/xfconf/xfce-perchannel-xml/xfce4-desktop.xml";
const char* const kKde = "~/.config/plasma-org.kde.plasma.desktop-appletsrc";
const std::string kBackground = "[org/gnome/desktop/background]\n";
const char* const kSway = "~/.config/sway/config";

// The wallpaper found in a fresh home holding `files`, GSettings in "~/keyfile" when that is
// given and "~/etc" as the system's configuration. "~" stands for the home in the names, the
// texts and the answer; "~~" is a "~" of its own.
std::string lookUp(const Files& files, const char* desktop = "") {
    TempDir home;
    const std::string dir = home.path().string();
    const auto expand = [&](const std::string& text) {
        std::string expanded;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const bool literal = text.compare(i, 2, "~~") == 0;
            expanded += text[i] != '~' ? std::string(1, text[i]) : literal ? "~" : dir;
            i += literal;
        }
        return expanded;
    };
    for (const auto& [name, text] : files) {
        fs::create_directories(fs::path(expand(name)).parent_path());
        std::ofstream(expand(name)) << expand(text);
    }
    const platform::GObjectOwner<GSettingsBackend> backend(
        g_keyfile_settings_backend_new((dir + "/keyfile").c_str(), "/", nullptr));
    GSettingsSchemaSource* schemas =
        fs::exists(dir + "/keyfile") ? g_settings_schema_source_get_default() : nullptr;
    const std::string found = platform::findWallpaper(
        {home.path(), home / ".config", desktop, schemas, backend.get(), home / "etc"});
    return found.starts_with(dir) ? std::string("~").append(found, dir.size()) : found;
}

// Each desktop's own setting, with its rules; then every desktop naming ~/NAME.png, where the
// running desktop's own comes first, then the fixed order. An existing file wins, otherwise the
// first path found.
TEST(DesktopWallpaper, TheRunningDesktopsSettingFirstThenTheFixedOrderEachByItsOwnRules) {
    const std::string uris = kBackground + "picture-uri='file://~/light%20%C3%A9.png'\n" +
                             "picture-uri-dark='file://~/dark.jpg'\n";
    const std::string dark = "[org/gnome/desktop/interface]\ncolor-scheme='prefer-dark'\n";
    const auto every = [](const std::vector<std::string>& existing) {
        Files files{{"~/keyfile", kBackground + "picture-uri='file://~/gnome.png'\n"},
                    {kXfce, "<channel><property name=\"last-image\" value=\"~/xfce.png\"/>"},
                    {kKde, "[a][Wallpaper][org.kde.image][General]\nImage=~/kde.png\n"},
                    {"~/.fehbg", "feh --bg-scale ~/feh.png\n"},
                    {kSway, "output * bg ~/sway.png fill\n"}};
        for (const std::string& name : existing) {
            files.emplace_back("~/" + name + ".png", "");
        }
        return files;
    };
    const struct {
        Files files;
        std::string expected;
        const char* desktop = "";  // XDG_CURRENT_DESKTOP
    } cases[] = {
        {{{"~/keyfile", uris}}, "~/light \xC3\xA9.png"},
        {{{"~/keyfile", uris + dark}}, "~/dark.jpg"},
        {{{"~/keyfile", uris + "picture-options='none'\n"}}, ""},  // a solid colour
        {{{"~/keyfile", kBackground + "picture-uri='/srv/w.png'\n"}}, "/srv/w.png"},
        {{{kXfce,
           "<c><property name=\"image-path\" value=\"/o.png\"/><p><property "
           "name=\"last-image\" value=\"/T &amp; J.jpg\"/></p></c>"}},
         "/T & J.jpg"},
        {{{kKde,
           "[a]\nImage=/no.png\n[a][Wallpaper][org.kde.image][General]\nImage=file:///M%20P/"
           "k.png\n"}},
         "/M P/k.png"},
        // A wallpaper package: its largest image.
        {{{kKde, "[Containments][7][Wallpaper][org.kde.image][General]\nImage=file://~/P/\n"},
          {"~/P/contents/images/1920x1080.png", ""},
          {"~/P/contents/images/1000x2160.jpg", ""}},
         "~/P/contents/images/1000x2160.jpg"},
        {{{"~/.fehbg", "#!/bin/sh\nfeh --image-bg black --bg-fill '~/it'\\''s.jpg' '/2.png'\n"}},
         "~/it's.jpg"},
        {every({}), "~/gnome.png"},
        {every({"feh"}), "~/feh.png"},
        {every({"kde", "feh"}), "~/kde.png"},
        {every({"xfce", "kde", "feh"}), "~/xfce.png"},
        {every({}), "~/kde.png", "ubuntu:KDE"},
        {every({"xfce", "feh"}), "~/xfce.png", "ubuntu:KDE"},
        {every({"gnome", "xfce", "kde"}), "~/xfce.png", "XFCE"},
        {every({"sway"}), "~/sway.png"},
        {every({"feh", "sway"}), "~/feh.png"},
        {every({"gnome", "sway"}), "~/sway.png", "sway"},
        // sway's own config: comments, solid colours and other commands skipped, $variables
        // (the longest name) and "~" expanded, quotes removed, blocks; the first file wins.
        {{{kSway,
           "# output * bg /c.png fill\nset $d /s v\nset $dir $d/w\nset $di /no\n"
           "output HEADLESS-1 mode 1x1 bg #2040c0 solid_color\noutput NAME pos 0 0\n"
           "output HEADLESS-2 background \"$dir/m p.jpg\" fill\noutput * bg /z.png fill\n"}},
         "/s v/w/m p.jpg"},
        {{{kSway, "output * bg '~~/q r.png' stretch\n"}}, "~/q r.png"},
        {{{kSway,
           "output HEADLESS-2 {\n  mode 1x1\n}\n# {\nset $p a\noutput * {\n  bg $p/b.png fill\n"
           "}\n"}},
         "~/.config/sway/a/b.png"},
        // The first config that exists is sway's: ~/.sway's, XDG_CONFIG_HOME's, ~/.i3's, the
        // system's, the system's only while sway runs.
        {{{"~/.sway/config", "\n"}, {kSway, "output * bg /xdg.png fill\n"}}, ""},
        {{{"~/.i3/config", "output * bg /i3.png fill\n"}, {kSway, "output * bg /x.png fill\n"}},
         "/x.png"},
        {{{"~/etc/sway/config", "output * bg /etc.png fill\n"}}, "/etc.png", "sway"},
        {{{"~/etc/sway/config", "output * bg /etc.png fill\n"}}, ""},
        {{}, "", "sway"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lookUp(c.files, c.desktop), c.expected) << c.desktop;
    }
    // A value nobody set (the schema's default) counts only when its file exists.
    const std::string fromDefault = lookUp({{"~/keyfile", dark}});
    EXPECT_TRUE(fromDefault.empty() || fs::exists(fromDefault)) << fromDefault;
}

// Sets (null: unsets) an environment variable until the end of the scope.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        value != nullptr ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedVariable() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

std::size_t openFiles() {
    return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
}

// Without xdg-output: the mode at the output's position, turned by the odd transforms (90, 270
// and their flipped forms) and divided by the scale (none below 1).
TEST(WaylandOutputs, WithoutXdgOutputTheAreaIsTheModeTurnedAndScaled) {
    const struct {
        std::int32_t transform, scale;
        platform::MonitorRect area;
    } cases[] = {
        {0, 1, {100, 50, 2020, 1130}}, {1, 1, {100, 50, 1180, 1970}}, {2, 1, {100, 50, 2020, 1130}},
        {3, 1, {100, 50, 1180, 1970}}, {5, 1, {100, 50, 1180, 1970}}, {6, 2, {100, 50, 1060, 590}},
        {7, 2, {100, 50, 640, 1010}},  {0, 0, {100, 50, 2020, 1130}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "transform " << c.transform << " scale " << c.scale);
        EXPECT_EQ(platform::guessedLogicalArea(100, 50, 1920, 1080, c.transform, c.scale), c.area);
    }
}

// MJPG only where a size comes compressed alone: an uncompressed format offering it, discretely
// or in a stepwise range, leaves the choice to the camera.
TEST(CameraFormats, MjpgWhereTheSizeIsOfferedOnlyCompressed) {
    using platform::CameraFormat;
    const std::uint32_t mjpg = v4l2_fourcc('M', 'J', 'P', 'G');
    const std::uint32_t yuyv = v4l2_fourcc('Y', 'U', 'Y', 'V');
    const std::uint32_t h264 = v4l2_fourcc('H', '2', '6', '4');
    const CameraFormat usb2Yuyv{yuyv, false, {{640, 480}, {1280, 720}}};
    const CameraFormat usb2Mjpg{mjpg, true, {{640, 480}, {1280, 720}, {1920, 1080}}};
    const CameraFormat h264Only{h264, true, {{1920, 1080}}};
    CameraFormat stepwise{yuyv, false, {}};
    stepwise.minimum = {160, 120};
    stepwise.maximum = {1920, 1080};
    stepwise.step = {16, 8};
    CameraFormat smallRange = stepwise;
    smallRange.maximum = {1280, 720};
    const struct {
        std::vector<CameraFormat> formats;
        std::uint32_t width, height, chosen;
    } cases[] = {
        {{usb2Yuyv, usb2Mjpg}, 1920, 1080, mjpg},   {{usb2Yuyv, usb2Mjpg}, 1280, 720, 0},
        {{usb2Yuyv, usb2Mjpg}, 800, 600, 0},  // offered by none: the camera picks
        {{usb2Yuyv, h264Only}, 1920, 1080, 0},      {{stepwise, usb2Mjpg}, 1920, 1080, 0},
        {{stepwise, usb2Mjpg}, 1920, 1084, 0},      {{stepwise, usb2Mjpg}, 1928, 1080, 0},
        {{smallRange, usb2Mjpg}, 1920, 1080, mjpg}, {{}, 640, 480, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << &c - cases << ": " << c.width << "x" << c.height);
        EXPECT_EQ(platform::chooseCameraFormat(c.formats, c.width, c.height), c.chosen);
    }
    EXPECT_TRUE(platform::listCameraFormats(99).empty());  // no such device
}

// VELMORA_SESSION=x11|wayland decides; otherwise a socket that accepts, as a compositor's does,
// makes the session Wayland, and the probe's connection is closed again.
TEST(Session, TheOverrideElseAWaylandDisplayThatAcceptsAConnection) {
    TempDir dir;
    const std::string socketPath = (dir / "wayland-0").string();  // the library's default name
    const ScopedVariable runtime("XDG_RUNTIME_DIR", dir.path().c_str());
    sockaddr_un address{AF_UNIX, {}};
    socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
    const int listening = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listening, 8), 0);
    using enum platform::Session;
    const struct {
        const char* forced;  // VELMORA_SESSION
        const char* display;
        platform::Session expected;
    } cases[] = {{nullptr, nullptr, X11},         {nullptr, socketPath.c_str(), Wayland},
                 {nullptr, "/no/wayland-0", X11}, {"x11", socketPath.c_str(), X11},
                 {"wayland", nullptr, Wayland},   {"X11", socketPath.c_str(), Wayland},
                 {"Wayland", nullptr, X11}};
    const std::size_t files = openFiles();
    for (const auto& c : cases) {
        const ScopedVariable forced("VELMORA_SESSION", c.forced);
        const ScopedVariable display("WAYLAND_DISPLAY", c.display);
        EXPECT_EQ(platform::currentSession(), c.expected)
            << (c.forced ? c.forced : "-") << ' ' << (c.display ? c.display : "-");
    }
    EXPECT_EQ(openFiles(), files);
    close(listening);
}

// The compositor's outputs, each "left,top,right,bottom,name ", as the session that
// tests/e2e/wayland_test.sh starts names them in the environment.
TEST(WaylandLayer, MonitorsInTheCompositorsOrderWithTheirLogicalAreasAndNames) {
    const char* expected = std::getenv("VELMORA_WAYLAND_MONITORS");
    if (expected == nullptr) {
        GTEST_SKIP() << "needs a session from tests/e2e/wayland_test.sh";
    }
    std::ostringstream listed;
    for (const auto& [r, name] : platform::listWaylandMonitors()) {
        listed << r.left << ',' << r.top << ',' << r.right << ',' << r.bottom << ',' << name << ' ';
    }
    EXPECT_EQ(listed.str(), expected);
}

using platform::X11Transfer;

// What grabbers leave behind: the shared-memory segments that this process made and that still
// exist, and the Xlib error handlers in force.
std::tuple<int, XErrorHandler, XIOErrorHandler> traces() {
    std::ifstream table("/proc/sysvipc/shm");
    int segments = 0;
    // Past the header, then after each segment's creator.
    for (long key, id, perms, size, creator;
         table.ignore(1 << 16, '\n') >> key >> id >> perms >> size >> creator;) {
        segments += creator == getpid();
    }
    const XErrorHandler error = XSetErrorHandler(nullptr);
    const XIOErrorHandler io = XSetIOErrorHandler(nullptr);
    XSetErrorHandler(error);
    XSetIOErrorHandler(io);
    return {segments, error, io};
}

// The server's monitors, in its order: RandR's, else Xinerama's heads, else the root window.
// Where the root window shows the pattern, the right one of two monitors is grabbed both ways
// until the case ends the server.
TEST(X11Layer, MonitorsInTheServersOrderAndGrabsThatFailOnceTheServerIsGone) {
    const char* monitors = std::getenv("VELMORA_X11_MONITORS");
    if (monitors == nullptr) {
        GTEST_SKIP() << "needs a server from tests/e2e/monitor_test.sh";
    }
    std::ostringstream listed;
    for (const platform::Monitor& m : platform::systemMonitors().monitors()) {
        const platform::MonitorRect& r = m.rect;
        listed << m.name << '=' << r.left << ',' << r.top << ',' << r.right << ',' << r.bottom
               << ' ';
    }
    EXPECT_EQ(listed.str(), monitors);
    const char* pattern = std::getenv("VELMORA_X11_PATTERN");
    if (pattern == nullptr) {
        return;
    }
    const cv::Mat expected = cv::imread(pattern)(cv::Rect(1920, 0, 1280, 1024));
    const auto before = traces();
    {
        const platform::GrabberResult grabbers[] = {
            platform::openX11Grabber({1920, 0, 3200, 1024}, X11Transfer::SharedMemory),
            platform::openX11Grabber({1920, 0, 3200, 1024}, X11Transfer::Plain)};
        for (const auto& opened : grabbers) {
            ASSERT_TRUE(opened.grabber && opened.grabber->grab()) << opened.detail;
            cv::Mat bgr;
            cv::cvtColor(cv::Mat(1024, 1280, CV_8UC4, const_cast<uchar*>(opened.grabber->rows()),
                                 opened.grabber->rowStride()),
                         bgr, cv::COLOR_BGRA2BGR);
            EXPECT_EQ(cv::norm(bgr, expected, cv::NORM_INF), 0);
        }
        // Areas off the screen fail to grab, empty ones to open, and the process goes on.
        for (const X11Transfer transfer : {X11Transfer::SharedMemory, X11Transfer::Plain}) {
            EXPECT_FALSE(platform::openX11Grabber({3000, 0, 3400, 100}, transfer).grabber->grab());
        }
        EXPECT_EQ(platform::openX11Grabber({5, 5, 4, 6}).failure,
                  platform::GrabberFailure::NoBitmap);
        EXPECT_EQ(std::get<0>(traces()), 1);  // the shared grabber's segment alone
        ASSERT_EQ(kill(std::stoi(std::getenv("VELMORA_X11_SERVER")), SIGTERM), 0);
        for (const auto& opened : grabbers) {
            for (int attempt = 0; attempt < 500 && opened.grabber->grab(); ++attempt) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            EXPECT_FALSE(opened.grabber->grab());
        }
    }
    EXPECT_EQ(traces(), before);
    EXPECT_TRUE(platform::systemMonitors().monitors().empty());
}

}  // namespace

#include "app/velmora_options.h"

#include <algorithm>
#include <cctype>
#include <charconv>

const std::string_view kVelmoraUsage =
    "usage: velmora [--camera [N] [--size WxH]] [--monitor [N|NAME] [--region X,Y,WxH]]\n"
    "               [--forget-monitor] [--wallpaper] [--tile] [--scopes] [--snapshots DIR]\n"
    "               [--list] [--help] [--version]\n";

const std::string_view kVelmoraHelp =
    "\n"
    "Shows a camera or a monitor frame by frame in seven windows: the image, its gray copy, its\n"
    "centred 2D Fourier spectrum, a Laplacian edge map, a motion mask, and the colour and gray\n"
    "histograms with the frame rate and the 5 %-95 % dynamic range. Without options it asks on\n"
    "the console: 1 for the camera with the highest working index (0 to 15), 2 for a monitor (the\n"
    "wallpaper with one monitor, the last monitor live with two or more).\n"
    "\n"
    "Options (at most one of --camera, --monitor, --wallpaper and --list):\n"
    "  --camera [N]        the camera, as the answer 1 chooses it, or device index N only\n"
    "  --size WxH          ask the camera for frames of W x H (on Linux as MJPG where the camera\n"
    "                      offers that size only compressed); the status line tells the size it\n"
    "                      delivers\n"
    "  --monitor [N|NAME]  a monitor, as the answer 2 chooses it, or the monitor of that number\n"
    "                      (as --list counts them) or name, captured live even when it is the\n"
    "                      only one\n"
    "  --region X,Y,WxH    only that rectangle of the monitor, in the monitor's own coordinates\n"
    "  --forget-monitor    forget the monitor the screen cast portal was told to remember\n"
    "                      (Wayland), so that it asks again; alone, or with --monitor\n"
    "  --wallpaper         the desktop wallpaper as a still image, whatever the monitors\n"
    "  --tile              lay the windows out side by side over the monitor they open on\n"
    "  --scopes            three more windows: Waveform, RGB Parade and Vectorscope, with the\n"
    "                      sharpness and the clipped pixels\n"
    "  --snapshots DIR     save snapshots under DIR (default: the pictures folder's Velmora)\n"
    "  --list              print the cameras, monitors and wallpaper, one line each, and end\n"
    "  --help              print this help and end\n"
    "  --version           print the version and end\n"
    "\n"
    "Keys in any window: q or Esc ends the run; Space freezes the windows on the frame they show\n"
    "(the source is still read) and frees them again; s saves a snapshot of what they show: a\n"
    "new folder velmora-YYYYMMDD-HHMMSS with the seven pictures, frame.png at full resolution\n"
    "and numbers.csv, the frame's row of velmora-render --stats; w opens or closes the scopes.\n"
    "Exit status: 0 after a run; 1 when no source could be made, the console input ended before\n"
    "an answer, or the image library failed; 2 for bad options.\n";

namespace {

bool isNumber(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

// A whole non-negative int, or none.
std::optional<int> numberOf(std::string_view text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (!isNumber(text) || ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

// "WxH", both positive.
std::optional<cv::Size> sizeOf(std::string_view text) {
    const std::size_t x = text.find('x');
    if (x == std::string_view::npos) {
        return std::nullopt;
    }
    const std::optional<int> width = numberOf(text.substr(0, x));
    const std::optional<int> height = numberOf(text.substr(x + 1));
    if (!width || !height || *width == 0 || *height == 0) {
        return std::nullopt;
    }
    return cv::Size(*width, *height);
}

// "X,Y,WxH".
std::optional<cv::Rect> regionOf(std::string_view text) {
    const std::size_t first = text.find(',');
    const std::size_t second = first == std::string_view::npos ? first : text.find(',', first + 1);
    if (second == std::string_view::npos) {
        return std::nullopt;
    }
    const std::optional<int> x = numberOf(text.substr(0, first));
    const std::optional<int> y = numberOf(text.substr(first + 1, second - first - 1));
    const std::optional<cv::Size> size = sizeOf(text.substr(second + 1));
    if (!x || !y || !size) {
        return std::nullopt;
    }
    return cv::Rect(cv::Point(*x, *y), *size);
}

class ArgReader {
  public:
    explicit ArgReader(const std::vector<std::string>& args) : args_(args) {}

    bool done() const { return next_ >= args_.size(); }
    const std::string& take() { return args_[next_++]; }
    // The next argument when it is a value rather than an option.
    std::optional<std::string> takeValue() {
        if (done() || args_[next_].starts_with("--")) {
            return std::nullopt;
        }
        return args_[next_++];
    }

  private:
    const std::vector<std::string>& args_;
    std::size_t next_ = 0;
};

using Kind = SourceRequest::Kind;

// One option and its value into `options`; false for anything malformed or a second source.
bool takeOption(const std::string& name, ArgReader& reader, VelmoraOptions& options) {
    const auto choose = [&](Kind kind) {
        if (options.source || options.list) {
            return false;
        }
        options.source = SourceRequest{kind, {}, {}, {}, {}};
        return true;
    };
    if (name == "--camera") {
        if (!choose(Kind::Camera)) {
            return false;
        }
        const std::optional<std::string> index = reader.takeValue();
        options.source->camera = index ? numberOf(*index) : std::nullopt;
        return !index || options.source->camera.has_value();
    }
    if (name == "--monitor") {
        if (!choose(Kind::Monitor)) {
            return false;
        }
        options.source->monitor = reader.takeValue();
        return true;
    }
    if (name == "--wallpaper") {
        return choose(Kind::Wallpaper);
    }
    if (name == "--list") {
        if (options.source || options.list) {
            return false;
        }
        options.list = true;
        return true;
    }
    const std::pair<const char*, bool*> switches[] = {{"--tile", &options.tile},
                                                      {"--scopes", &options.scopes},
                                                      {"--forget-monitor", &options.forgetMonitor}};
    for (const auto& [flag, value] : switches) {
        if (name == flag) {
            *value = true;
            return true;
        }
    }
    return false;
}

// --size, --region and --snapshots: the value is checked here, its place once every option is
// read.
bool takeShape(const std::string& name, ArgReader& reader, std::optional<cv::Size>& size,
               std::optional<cv::Rect>& region, std::filesystem::path& snapshots) {
    const std::optional<std::string> value = reader.takeValue();
    if (!value) {
        return false;
    }
    if (name == "--size") {
        size = sizeOf(*value);
        return size.has_value();
    }
    if (name == "--snapshots") {
        snapshots = *value;
        return !value->empty();
    }
    region = regionOf(*value);
    return region.has_value();
}

}  // namespace

ParsedVelmoraArgs parseVelmoraArgs(const std::vector<std::string>& args) {
    ParsedVelmoraArgs parsed;
    ArgReader reader(args);
    std::optional<cv::Size> size;
    std::optional<cv::Rect> region;
    while (!reader.done()) {
        const std::string& name = reader.take();
        if (name == "--help" || name == "--version") {
            parsed.request = name == "--help" ? VelmoraRequest::Help : VelmoraRequest::Version;
            return parsed;
        }
        const bool shape = name == "--size" || name == "--region" || name == "--snapshots";
        if (!(shape ? takeShape(name, reader, size, region, parsed.options.snapshots)
                    : takeOption(name, reader, parsed.options))) {
            return {};
        }
    }
    std::optional<SourceRequest>& source = parsed.options.source;
    const bool monitor = source && source->kind == Kind::Monitor;
    if ((size && (!source || source->kind != Kind::Camera)) || (region && !monitor) ||
        (parsed.options.forgetMonitor && (parsed.options.list || (source && !monitor)))) {
        return {};
    }
    if (source) {
        source->size = size;
        source->region = region;
    }
    parsed.request = VelmoraRequest::Run;
    return parsed;
}

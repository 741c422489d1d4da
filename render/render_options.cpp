#include "render/render_options.h"

#include <charconv>
#include <cmath>

const std::string_view kRenderUsage =
    "usage: velmora-render [--fps VALUE] [--every-frame] [--scopes] [--stats FILE]\n"
    "                      OUTDIR INPUT...\n";

const std::string_view kRenderHelp =
    "\n"
    "Runs every frame of the INPUTs, in order and as one stream, through the per-frame work of\n"
    "velmora and writes the image each of its seven windows shows after the last frame as PNG\n"
    "into OUTDIR (created if missing).\n"
    "\n"
    "INPUT is an image file (PNG, JPEG, WebP or BMP), a video file, or an image sequence given\n"
    "as a printf-style pattern such as shots/frame_%04d.png (numbered from 0 or 1 up to the\n"
    "first number missing). Every frame is taken as 8-bit BGR, as image files decode: gray is\n"
    "repeated, 16-bit levels keep their high byte, alpha is dropped. Image and video files must\n"
    "be regular files of at most 2 GiB; an image may declare at most 50 million pixels. Every\n"
    "INPUT is opened before the first frame; one that cannot be read gives\n"
    "\"error: cannot read PATH: REASON\", status 1 and nothing written.\n"
    "\n"
    "No input is ever written: an output that is the same file as an input (also through a link,\n"
    "or a member of a sequence) gives \"error: OUTPUT would overwrite input INPUT\", status 1\n"
    "and nothing written. Every file appears whole or not at all: it is written under a\n"
    "temporary name beside it and renamed when complete.\n"
    "\n"
    "Options:\n"
    "  --fps VALUE     print VALUE as the frame rate on the histogram windows (default: the\n"
    "                  rate measured while rendering)\n"
    "  --every-frame   write the images of every frame, frame N into OUTDIR/NNNNNN/ (six\n"
    "                  digits)\n"
    "  --scopes        write the scope windows' pictures too: waveform.png, rgb-parade.png\n"
    "                  and vectorscope.png\n"
    "  --stats FILE    write one CSV row per frame to FILE, its folder created if missing (-\n"
    "                  for standard output, one whole line at a time):\n"
    "                  frame,input,width,height,low_point,high_point,dynamic_range,\n"
    "                  motion_pixels,time,sharpness,clipped_low,clipped_high\n"
    "                  (the gray histogram's 5 % and 95 % points, the white pixels of the\n"
    "                  motion view, a video frame's time in seconds from the start of its\n"
    "                  file (empty for images), the variance of the gray frame's 3 x 3\n"
    "                  Laplacian, and the pixels with a channel at 0 and at 255)\n"
    "  --help          print this help and exit\n"
    "  --version       print the version and exit\n"
    "\n"
    "Frames are numbered from 1 across all inputs, in --stats and in --every-frame's folders.\n"
    "While it runs, \"frame N of M\" is shown on standard error when that is a terminal.\n"
    "Exit status: 0 when done; 1 when an input cannot be read, an output cannot be written or\n"
    "would overwrite an input, or the image library reports an error; 2 for bad arguments.\n";

namespace {

std::optional<double> parseFps(const std::string& text) {
    double value = 0.0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || !std::isfinite(value) || value < 0.0) {
        return std::nullopt;
    }
    return value;
}

// Takes the option at args[i] and its value; false for an unknown option or a missing value.
bool takeOption(const std::vector<std::string>& args, std::size_t& i, RenderOptions& options) {
    const std::string& name = args[i];
    if (name == "--every-frame") {
        options.everyFrame = true;
        return true;
    }
    if (name == "--scopes") {
        options.scopes = true;
        return true;
    }
    if (i + 1 >= args.size() || (name != "--fps" && name != "--stats")) {
        return false;
    }
    const std::string& value = args[++i];
    if (name == "--stats") {
        options.statsFile = value;
        return !value.empty();
    }
    options.fps = parseFps(value);
    return options.fps.has_value();
}

}  // namespace

ParsedArgs parseRenderArgs(const std::vector<std::string>& args) {
    ParsedArgs parsed;
    std::size_t i = 0;
    for (; i < args.size() && args[i].starts_with("-"); ++i) {
        if (args[i] == "--help" || args[i] == "--version") {
            parsed.request = args[i] == "--help" ? RenderRequest::Help : RenderRequest::Version;
            return parsed;
        }
        if (args[i] == "--") {
            ++i;
            break;
        }
        if (!takeOption(args, i, parsed.options)) {
            return parsed;
        }
    }
    if (args.size() < i + 2) {
        return parsed;
    }
    parsed.options.outDir = args[i];
    parsed.options.inputs.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
    parsed.request = RenderRequest::Render;
    return parsed;
}

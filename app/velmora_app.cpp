#include "app/velmora_app.h"

#include "app/snapshot.h"
#include "app/source_prompt.h"
#include "app/window_tiling.h"
#include "app/window_titles.h"

namespace {

// The command line's choice, or the prompt's answer; none when the console ended first.
std::optional<SourceRequest> chooseSource(const VelmoraOptions& options,
                                          const VelmoraSystem& system) {
    if (options.source) {
        return options.source;
    }
    switch (promptForSource(system.in, system.out)) {
        case SourceChoice::Camera:
            return SourceRequest{SourceRequest::Kind::Camera, {}, {}, {}, {}};
        case SourceChoice::Monitor:
            return SourceRequest{SourceRequest::Kind::Monitor, {}, {}, {}, {}};
        case SourceChoice::None:
            break;
    }
    return std::nullopt;
}

}  // namespace

int runVelmora(const VelmoraOptions& options, const VelmoraSystem& system, WindowLayer& windows,
               const MonotonicClock& now) {
    if (options.list) {
        system.listSources(system.out);
        return 0;
    }
    if (options.forgetMonitor) {
        system.forgetMonitorChoice();
        if (!options.source) {
            return 0;
        }
    }
    const std::optional<SourceRequest> request = chooseSource(options, system);
    if (!request) {
        return 1;
    }
    std::unique_ptr<FrameSource> source = system.makeSource(*request);
    if (!source) {
        return 1;
    }
    LoopSettings settings{sizeWindows, options.snapshots, system.localTime, options.scopes};
    if (options.tile) {
        settings.place = [&system](WindowLayer& w, const std::vector<std::string>& titles,
                                   cv::Size frame) {
            placeTiled(w, titles, frame, system.monitors());
        };
    }
    if (settings.snapshots.empty()) {
        settings.snapshots = defaultSnapshotFolder();
    }
    const LoopEnd end = runFrameLoop(*source, windows, now, settings);
    source.reset();
    return end == LoopEnd::Error ? 1 : 0;
}

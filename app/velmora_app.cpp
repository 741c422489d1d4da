#include "app/velmora_app.h"

#include "app/source_prompt.h"

int runVelmora(std::istream& in, std::ostream& out, const SourceFactories& factories,
               WindowLayer& windows, const MonotonicClock& now) {
    const SourceChoice choice = promptForSource(in, out);
    if (choice == SourceChoice::None) {
        return 1;
    }
    std::unique_ptr<FrameSource> source =
        choice == SourceChoice::Camera ? factories.camera() : factories.monitor();
    if (!source) {
        return 1;
    }
    const LoopEnd end = runFrameLoop(*source, windows, now);
    source.reset();
    return end == LoopEnd::Error ? 1 : 0;
}

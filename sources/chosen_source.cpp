#include "sources/chosen_source.h"

#include <ostream>

#include "sources/monitor_source.h"
#include "sources/usb_source.h"

std::unique_ptr<FrameSource> makeSource(const SourceRequest& request, const CaptureOpener& open,
                                        platform::MonitorPlatform& os) {
    switch (request.kind) {
        case SourceRequest::Kind::Camera:
            return createCameraSource(request, open);
        case SourceRequest::Kind::Monitor:
            return createMonitorSource(os);
        case SourceRequest::Kind::Wallpaper:
            return createWallpaperSource(os);
    }
    return nullptr;
}

void listSources(std::ostream& out, const CaptureOpener& open, platform::MonitorPlatform&) {
    listCameras(out, open);
}

#pragma once

#include "platform/windows/gdi_grabber.h"

namespace platform {

// The real user32 and gdi32 calls.
GdiCalls& win32Gdi();

}  // namespace platform

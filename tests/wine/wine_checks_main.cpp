// velmora-wine-checks: every check group in turn; the status is the number of failures.
#include <cstdio>

#include "tests/wine/call_recorder.h"

int main() {
    using namespace wine_check;
    for (void (*group)() :
         {startupChecks, windowFrameChecks, comChecks, gdiChecks, resourceChecks}) {
        group();
    }
    std::fprintf(stderr, "%s\n", failures == 0 ? "ok" : "FAILED");
    return failures;
}
